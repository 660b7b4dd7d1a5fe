#include "support/LoopbackSockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace izuzez::test
{
namespace
{

sockaddr_in GroupAddress()
{
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(kPort);
    inet_pton(AF_INET, kGroup, &group.sin_addr);
    return group;
}

bool SendThroughLoopback(int fd)
{
    in_addr loopback{};
    inet_pton(AF_INET, "127.0.0.1", &loopback);
    return setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &loopback, sizeof loopback) == 0;
}

} // namespace

int JoinGroupOnLoopback()
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int on = 1, off = 0;
    const sockaddr_in group = GroupAddress();
    ip_mreq membership{};
    membership.imr_multiaddr = group.sin_addr;
    inet_pton(AF_INET, "127.0.0.1", &membership.imr_interface);
    if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        bind(fd, reinterpret_cast<const sockaddr *>(&group), sizeof group) != 0 ||
        setsockopt(fd, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off) != 0 ||
        setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0 || !SendThroughLoopback(fd))
    {
        close(fd);
        return -1;
    }
    return fd;
}

void SendToGroup(int fd, const Bytes &datagram)
{
    const sockaddr_in group = GroupAddress();
    sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr *>(&group), sizeof group);
}

void SendToGroup(const Bytes &datagram)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    if (SendThroughLoopback(fd))
        SendToGroup(fd, datagram);
    close(fd);
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

} // namespace izuzez::test
