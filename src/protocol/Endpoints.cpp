#include "protocol/Endpoints.h"

#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include "protocol/Ipv4Text.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/SearchTally.h"

namespace
{
void CloseFd(int &fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

in_addr AddressOf(const char *text)
{
    std::uint32_t host = INADDR_NONE;
    ParseIpv4(text, host);
    in_addr address{};
    address.s_addr = htonl(host);
    return address;
}

int SetInt(int fd, int level, int option, int value)
{
    return setsockopt(fd, level, option, &value, sizeof value);
}

int OpenSender()
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    SetInt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, 0);
    return fd;
}

// Replies come in bursts: a hundred devices answering one search, or a flood on the group ahead of the
// awaited reply. The default buffer (about 200 KiB) fills with a few hundred datagrams and silently drops
// the rest, the awaited reply among them; ask for more. The kernel caps the value at net.core.rmem_max.
constexpr int kReceiveBufferBytes = 1 << 20;

// Closes fd and returns errno as it was when the set-up step failed.
int FailedSetup(int fd)
{
    const int error = errno != 0 ? errno : EINVAL;
    close(fd);
    return error;
}

// A receiver socket bound to `address` at the protocol port, or -1 with the reason in `error`.
int OpenBound(in_addr address, int &error)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
    {
        error = errno;
        return -1;
    }
    SetInt(fd, SOL_SOCKET, SO_RCVBUF, kReceiveBufferBytes);
    // The arrival time of each datagram lets the pair be read in the order the host received it.
    SetInt(fd, SOL_SOCKET, SO_TIMESTAMPNS, 1);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(kProtocolPort);
    local.sin_addr = address;
    // Address reuse lets a second instance bind the same address and port.
    if (SetInt(fd, SOL_SOCKET, SO_REUSEADDR, 1) != 0 ||
        bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0)
    {
        error = FailedSetup(fd);
        return -1;
    }
    error = 0;
    return fd;
}

ReceiverSocket OpenReceiver(const char *interfaceText, ReceiverFault &fault)
{
    ReceiverSocket receiver;
    const in_addr interfaceAddress = AddressOf(interfaceText);
    receiver.unicastFd = OpenBound(interfaceAddress, fault.unicastError);

    int fd = OpenBound(g_ProtocolState.groupAddress.sin_addr, fault.groupError);
    if (fd >= 0)
    {
        ip_mreq membership{};
        membership.imr_multiaddr = g_ProtocolState.groupAddress.sin_addr;
        membership.imr_interface = interfaceAddress;
        // Without IP_MULTICAST_ALL off, a socket bound to the group gets the group's datagrams from every
        // interface on which any socket of the host joined it.
        if (SetInt(fd, IPPROTO_IP, IP_MULTICAST_ALL, 0) != 0 ||
            setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0)
        {
            fault.groupError = FailedSetup(fd);
            fd = -1;
        }
        else
            SetInt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, 0);
    }
    receiver.groupFd = fd;
    return receiver;
}

// What waits at the head of one receiver socket, looked at without taking it.
struct Waiting
{
    bool present = false;
    bool stamped = false;
    timespec arrival{};
};

Waiting PeekHead(int fd)
{
    Waiting head;
    if (fd < 0)
        return head;
    std::uint8_t byte = 0;
    iovec io{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
    msghdr message{};
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    if (recvmsg(fd, &message, MSG_PEEK | MSG_DONTWAIT | MSG_TRUNC) < 0)
        return head;
    head.present = true;
    for (cmsghdr *item = CMSG_FIRSTHDR(&message); item != nullptr; item = CMSG_NXTHDR(&message, item))
    {
        if (item->cmsg_level == SOL_SOCKET && item->cmsg_type == SCM_TIMESTAMPNS &&
            item->cmsg_len >= CMSG_LEN(sizeof(timespec)))
        {
            std::memcpy(&head.arrival, CMSG_DATA(item), sizeof head.arrival);
            head.stamped = true;
        }
    }
    return head;
}

bool ArrivedEarlier(const timespec &a, const timespec &b)
{
    return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_nsec < b.tv_nsec;
}

// The socket of the pair whose waiting datagram the host received first; -1 when neither has one. Without
// both arrival times the unicast socket goes first.
int EarliestSocket(const ReceiverSocket &receiver)
{
    const Waiting unicast = PeekHead(receiver.unicastFd);
    const Waiting group = PeekHead(receiver.groupFd);
    if (!unicast.present)
        return group.present ? receiver.groupFd : -1;
    if (group.present && unicast.stamped && group.stamped && ArrivedEarlier(group.arrival, unicast.arrival))
        return receiver.groupFd;
    return receiver.unicastFd;
}

std::string DescribeFault(const char *address, const char *which, int error)
{
    return std::string("cannot listen on ") + address + " port " + std::to_string(kProtocolPort) + " (" + which +
           "): " + std::strerror(error) + (error == EADDRINUSE ? " - another program holds the port" : "");
}
} // namespace

void OpenEndpoints()
{
    CloseEndpoints();
    InitLocalInterfaces();
    ProtocolState &state = g_ProtocolState;
    state.groupAddress = {};
    state.groupAddress.sin_family = AF_INET;
    state.groupAddress.sin_port = htons(kProtocolPort);
    state.groupAddress.sin_addr = AddressOf(kMulticastGroup);
    for (int i = 0; i < state.interfaceCount; ++i)
        state.senderSocket[i] = OpenSender();
    for (int i = 0; i < state.interfaceCount; ++i)
        state.receiverSocket[i] = OpenReceiver(state.interfaceAddress[i], state.receiverFault[i]);
    state.endpointsOpen = true;
}

void CloseEndpoints()
{
    ProtocolState &state = g_ProtocolState;
    for (int i = 0; i < kInterfaceLimit; ++i)
    {
        CloseFd(state.senderSocket[i]);
        CloseFd(state.receiverSocket[i].unicastFd);
        CloseFd(state.receiverSocket[i].groupFd);
        state.receiverFault[i] = {};
    }
    state.endpointsOpen = false;
}

bool SendToGroup(int interfaceIndex, const std::uint8_t *data, std::size_t length)
{
    const ProtocolState &state = g_ProtocolState;
    if (interfaceIndex < 0 || interfaceIndex >= state.interfaceCount || state.senderSocket[interfaceIndex] < 0)
        return false;
    const int fd = state.senderSocket[interfaceIndex];
    const in_addr interfaceAddress = AddressOf(state.interfaceAddress[interfaceIndex]);
    setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &interfaceAddress, sizeof interfaceAddress);
    const ssize_t sent =
        sendto(fd, data, length, 0, reinterpret_cast<const sockaddr *>(&state.groupAddress), sizeof state.groupAddress);
    return sent == static_cast<ssize_t>(length);
}

bool WaitReadable(const ReceiverSocket &receiver, std::chrono::microseconds timeout)
{
    pollfd fds[2] = {{receiver.unicastFd, POLLIN, 0}, {receiver.groupFd, POLLIN, 0}};
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(timeout - seconds);
    timespec wait{static_cast<time_t>(seconds.count()), static_cast<long>(nanoseconds.count())};
    // Negative descriptors are ignored by ppoll, so a pair that failed to open just times out.
    const int ready = ppoll(fds, 2, &wait, nullptr);
    return ready > 0 && ((fds[0].revents | fds[1].revents) & (POLLIN | POLLERR)) != 0;
}

long ReceiveDatagram(const ReceiverSocket &receiver, std::uint8_t *buffer)
{
    const int fd = EarliestSocket(receiver);
    if (fd < 0)
        return -1;
    // MSG_TRUNC makes recv report the real length, so an oversize datagram is recognised and skipped.
    const ssize_t length = recv(fd, buffer, kPacketBufferSize, MSG_DONTWAIT | MSG_TRUNC);
    if (length < 0)
        return -1;
    if (length > kPacketBufferSize)
        return kOversizeDatagram;
    buffer[length] = 0;
    return static_cast<long>(length);
}

std::vector<std::string> ReceiverWarnings()
{
    std::vector<std::string> warnings;
    const ProtocolState &state = g_ProtocolState;
    for (int i = 0; i < state.interfaceCount; ++i)
    {
        const ReceiverFault &fault = state.receiverFault[i];
        if (fault.unicastError != 0)
            warnings.push_back(DescribeFault(state.interfaceAddress[i], "unicast", fault.unicastError));
        if (fault.groupError != 0)
            warnings.push_back(DescribeFault(state.interfaceAddress[i], "group 224.0.0.1", fault.groupError));
    }
    return warnings;
}
