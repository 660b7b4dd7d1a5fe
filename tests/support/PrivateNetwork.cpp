#include "PrivateNetwork.h"

#include <cstring>

#include <arpa/inet.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
// The device protocol's port and group, written out: support code never borrows the program's constants.
constexpr int kProtocolPort = 13579;
constexpr char kMulticastGroup[] = "224.0.0.1";

bool BringLoopbackUp()
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    up = up && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    close(fd);
    return up;
}

bool SendTo(int fd, const char *address, const std::vector<std::uint8_t> &bytes)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kProtocolPort);
    inet_pton(AF_INET, address, &to.sin_addr);
    return sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to) ==
           static_cast<ssize_t>(bytes.size());
}
} // namespace

bool EnterPrivateNetwork()
{
    static const bool entered = []
    {
        if (unshare(CLONE_NEWNET) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0)
            return false;
        return BringLoopbackUp();
    }();
    return entered;
}

int LoopbackSender()
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    in_addr loopback{};
    inet_pton(AF_INET, "127.0.0.1", &loopback);
    if (fd >= 0 && setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &loopback, sizeof loopback) != 0)
    {
        close(fd);
        return -1;
    }
    return fd;
}

bool SendToGroupOnLoopback(int fd, const std::vector<std::uint8_t> &bytes)
{
    return SendTo(fd, kMulticastGroup, bytes);
}

bool SendToLoopbackUnicast(int fd, const std::vector<std::uint8_t> &bytes)
{
    return SendTo(fd, "127.0.0.1", bytes);
}

int HoldPort(const char *address, bool reuse)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int on = reuse ? 1 : 0;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(kProtocolPort);
    inet_pton(AF_INET, address, &local.sin_addr);
    if (bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0)
    {
        close(fd);
        return -1;
    }
    return fd;
}
