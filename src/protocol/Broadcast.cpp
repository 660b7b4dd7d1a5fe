#include "protocol/Broadcast.h"

#include "protocol/Ipv4Text.h"

#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

std::string BroadcastAddress(const std::string &localAddress, int prefix)
{
    std::uint32_t address = 0;
    if (prefix < 0 || prefix >= 31 || !ParseIpv4(localAddress, address))
        return "255.255.255.255";
    const std::uint32_t hostBits = prefix == 0 ? 0xFFFFFFFFu : (0xFFFFFFFFu >> prefix);
    in_addr out{};
    out.s_addr = htonl(address | hostBits);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &out, text, sizeof text);
    return text;
}

std::string SendBroadcast(const std::string &localAddress, const std::string &broadcast, int port,
                          const std::uint8_t *data, std::size_t size)
{
    sockaddr_in from{};
    sockaddr_in to{};
    from.sin_family = AF_INET;
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, localAddress.c_str(), &from.sin_addr) != 1 ||
        inet_pton(AF_INET, broadcast.c_str(), &to.sin_addr) != 1)
        return "not an IPv4 address";
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::strerror(errno);
    const int on = 1;
    std::string problem;
    if (setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0 ||
        bind(fd, reinterpret_cast<const sockaddr *>(&from), sizeof from) != 0 ||
        sendto(fd, data, size, 0, reinterpret_cast<const sockaddr *>(&to), sizeof to) != static_cast<ssize_t>(size))
        problem = std::strerror(errno);
    close(fd);
    return problem;
}
