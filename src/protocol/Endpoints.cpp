#include "protocol/Endpoints.h"

#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "protocol/LocalInterfaces.h"

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
    in_addr address{};
    if (inet_pton(AF_INET, text, &address) != 1)
        address.s_addr = htonl(INADDR_NONE);
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

int OpenBound(in_addr address)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    SetInt(fd, SOL_SOCKET, SO_RCVBUF, kReceiveBufferBytes);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(kProtocolPort);
    local.sin_addr = address;
    // Address reuse lets a second instance bind the same address and port.
    if (SetInt(fd, SOL_SOCKET, SO_REUSEADDR, 1) != 0 ||
        bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0)
    {
        close(fd);
        return -1;
    }
    return fd;
}

ReceiverSocket OpenReceiver(const char *interfaceText)
{
    ReceiverSocket receiver;
    const in_addr interfaceAddress = AddressOf(interfaceText);
    receiver.unicastFd = OpenBound(interfaceAddress);

    int fd = OpenBound(g_ProtocolState.groupAddress.sin_addr);
    if (fd >= 0)
    {
        ip_mreq membership{};
        membership.imr_multiaddr = g_ProtocolState.groupAddress.sin_addr;
        membership.imr_interface = interfaceAddress;
        // Without IP_MULTICAST_ALL off, a socket bound to the group gets the group's datagrams from every
        // interface on which any socket of the host joined it.
        if (SetInt(fd, IPPROTO_IP, IP_MULTICAST_ALL, 0) != 0 ||
            setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0)
            CloseFd(fd);
        else
            SetInt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, 0);
    }
    receiver.groupFd = fd;
    return receiver;
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
        state.receiverSocket[i] = OpenReceiver(state.interfaceAddress[i]);
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
    for (int fd : {receiver.unicastFd, receiver.groupFd})
    {
        if (fd < 0)
            continue;
        // MSG_TRUNC makes recv report the real length, so an oversize datagram is recognised and skipped.
        const ssize_t length = recv(fd, buffer, kPacketBufferSize, MSG_DONTWAIT | MSG_TRUNC);
        if (length < 0)
            continue;
        if (length > kPacketBufferSize)
            return -1;
        buffer[length] = 0;
        return static_cast<long>(length);
    }
    return -1;
}
