#include "GroupSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace izuzez::devsim
{
namespace
{

std::string SystemError(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

in_addr ToInAddr(const Ipv4 &address)
{
    in_addr result{};
    std::memcpy(&result.s_addr, address.data(), 4);
    return result;
}

Ipv4 FromInAddr(const in_addr &address)
{
    Ipv4 result{};
    std::memcpy(result.data(), &address.s_addr, 4);
    return result;
}

sockaddr_in Endpoint(const Ipv4 &address)
{
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = htons(kProtocolPort);
    result.sin_addr = ToInAddr(address);
    return result;
}

const Ipv4 kGroup{224, 0, 0, 1};

bool SetInt(int fd, int level, int option, int value)
{
    return setsockopt(fd, level, option, &value, sizeof value) == 0;
}

} // namespace

FileDescriptor &FileDescriptor::operator=(FileDescriptor &&other) noexcept
{
    if (this != &other)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.Release();
    }
    return *this;
}

FileDescriptor::~FileDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<ListenPoint> ResolveListen(const std::string &where, std::string &error)
{
    const std::optional<Ipv4> wanted = ParseIpv4(where);
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
    {
        error = SystemError("cannot list the local interfaces");
        return std::nullopt;
    }
    std::optional<ListenPoint> found;
    for (const ifaddrs *entry = list; entry && !found; entry = entry->ifa_next)
    {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        sockaddr_in address{};
        std::memcpy(&address, entry->ifa_addr, sizeof address);
        const Ipv4 local = FromInAddr(address.sin_addr);
        if ((wanted && local == *wanted) || (!wanted && where == entry->ifa_name))
            found = ListenPoint{FormatIpv4(local), if_nametoindex(entry->ifa_name), entry->ifa_name};
    }
    freeifaddrs(list);
    // The whole of 127.0.0.0/8 is routed to lo although only 127.0.0.1 is assigned there.
    if (!found && wanted && (*wanted)[0] == 127 && if_nametoindex("lo") != 0)
        found = ListenPoint{where, if_nametoindex("lo"), "lo"};
    if (!found)
        error = wanted ? "no local interface has the address " + where
                       : "\"" + where + "\" is neither an IPv4 address nor an interface with one";
    return found;
}

std::optional<FileDescriptor> OpenGroupSocket(const ListenPoint &point, std::string &error)
{
    FileDescriptor fd(socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (fd.Get() < 0)
    {
        error = SystemError("socket");
        return std::nullopt;
    }
    if (!SetInt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, 1))
    {
        error = SystemError("SO_REUSEADDR");
        return std::nullopt;
    }
    const sockaddr_in group = Endpoint(kGroup);
    if (bind(fd.Get(), reinterpret_cast<const sockaddr *>(&group), sizeof group) != 0)
    {
        error = SystemError("bind 224.0.0.1:13579");
        return std::nullopt;
    }
    // Without this a socket bound to the group gets the group's datagrams of every interface that any
    // socket on the host joined, and a device would answer on interfaces it does not listen on.
    SetInt(fd.Get(), IPPROTO_IP, IP_MULTICAST_ALL, 0);
    ip_mreqn membership{};
    membership.imr_multiaddr = ToInAddr(kGroup);
    membership.imr_ifindex = static_cast<int>(point.ifindex);
    if (setsockopt(fd.Get(), IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0)
    {
        error = SystemError("join 224.0.0.1 on " + point.ifname + " (" + point.address + ")");
        return std::nullopt;
    }
    return fd;
}

std::optional<FileDescriptor> OpenSenderSocket(std::string &error)
{
    FileDescriptor fd(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (fd.Get() < 0)
    {
        error = SystemError("socket");
        return std::nullopt;
    }
    if (!SetInt(fd.Get(), IPPROTO_IP, IP_MULTICAST_LOOP, 1))
    {
        error = SystemError("IP_MULTICAST_LOOP");
        return std::nullopt;
    }
    return fd;
}

std::optional<Received> ReceiveDatagram(int fd)
{
    // Larger than any UDP payload, so nothing a peer sends is cut short before it is logged.
    static thread_local std::uint8_t buffer[65536];
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t n =
        recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr *>(&from), &fromLength);
    if (n < 0)
        return std::nullopt;
    Received received;
    received.bytes.assign(buffer, buffer + n);
    received.source = FromInAddr(from.sin_addr);
    received.port = ntohs(from.sin_port);
    return received;
}

bool SendToGroup(int fd, const ListenPoint &via, std::span<const std::uint8_t> bytes, std::string &error)
{
    ip_mreqn outgoing{};
    if (const auto local = ParseIpv4(via.address))
        outgoing.imr_address = ToInAddr(*local);
    outgoing.imr_ifindex = static_cast<int>(via.ifindex);
    if (setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &outgoing, sizeof outgoing) != 0)
    {
        error = SystemError("IP_MULTICAST_IF " + via.address);
        return false;
    }
    const sockaddr_in group = Endpoint(kGroup);
    if (sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&group), sizeof group) < 0)
    {
        error = SystemError("send to 224.0.0.1 via " + via.address);
        return false;
    }
    return true;
}

bool SendUnicast(int fd, const Ipv4 &to, std::span<const std::uint8_t> bytes, std::string &error)
{
    const sockaddr_in target = Endpoint(to);
    if (sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&target), sizeof target) < 0)
    {
        error = SystemError("send to " + FormatIpv4(to));
        return false;
    }
    return true;
}

} // namespace izuzez::devsim
