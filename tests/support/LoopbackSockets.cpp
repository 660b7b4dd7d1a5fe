#include "support/LoopbackSockets.h"

#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace izuzez::test
{
namespace
{

sockaddr_in At(const char *address)
{
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(kPort);
    inet_pton(AF_INET, address, &at.sin_addr);
    return at;
}

bool SendThroughLoopback(int fd)
{
    in_addr loopback{};
    inet_pton(AF_INET, "127.0.0.1", &loopback);
    return setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &loopback, sizeof loopback) == 0;
}

bool SendTo(int fd, const char *address, const Bytes &datagram)
{
    const sockaddr_in to = At(address);
    return sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to) ==
           static_cast<ssize_t>(datagram.size());
}

// Closes `fd` and gives -1 unless `ok`.
int KeepIf(int fd, bool ok)
{
    if (ok)
        return fd;
    if (fd >= 0)
        close(fd);
    return -1;
}

} // namespace

int LoopbackSender()
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    return KeepIf(fd, fd >= 0 && SendThroughLoopback(fd));
}

int JoinGroupOnLoopback()
{
    const int fd = HoldPort(kGroup, true);
    const int off = 0;
    ip_mreq membership{};
    inet_pton(AF_INET, kGroup, &membership.imr_multiaddr);
    inet_pton(AF_INET, "127.0.0.1", &membership.imr_interface);
    return KeepIf(fd, fd >= 0 && setsockopt(fd, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off) == 0 &&
                          setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) == 0 &&
                          SendThroughLoopback(fd));
}

int HoldPort(const char *address, bool reuse)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int on = reuse ? 1 : 0;
    const sockaddr_in local = At(address);
    return KeepIf(fd, setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
                          bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0);
}

bool SendToGroup(int fd, const Bytes &datagram)
{
    return SendTo(fd, kGroup, datagram);
}

bool SendToUnicast(int fd, const Bytes &datagram)
{
    return SendTo(fd, "127.0.0.1", datagram);
}

std::optional<Bytes> Receive(int fd, std::chrono::milliseconds limit)
{
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(limit.count())) <= 0)
        return std::nullopt;
    Bytes buffer(65536);
    const ssize_t n = recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (n < 0)
        return std::nullopt;
    buffer.resize(static_cast<std::size_t>(n));
    return buffer;
}

std::optional<timespec> ReceiveArrivalStamp(int fd)
{
    std::uint8_t byte = 0;
    iovec io{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
    msghdr message{nullptr, 0, &io, 1, control, sizeof control, 0};
    if (recvmsg(fd, &message, MSG_DONTWAIT) < 0)
        return std::nullopt;
    const cmsghdr *item = CMSG_FIRSTHDR(&message);
    if (item == nullptr || item->cmsg_level != SOL_SOCKET || item->cmsg_type != SCM_TIMESTAMPNS)
        return std::nullopt;
    timespec stamp{};
    std::memcpy(&stamp, CMSG_DATA(item), sizeof stamp);
    return stamp;
}

} // namespace izuzez::test
