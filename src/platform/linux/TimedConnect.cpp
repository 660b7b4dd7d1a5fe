#include "platform/linux/TimedConnect.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

namespace izuzez::platform
{

ConnectResult ConnectWithin(const std::vector<SocketAddress> &targets, std::chrono::steady_clock::time_point deadline)
{
    std::vector<pollfd> fds;
    std::size_t refused = 0;
    bool answered = false;
    for (const SocketAddress &target : targets)
    {
        const int fd = socket(target.address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            continue;
        if (connect(fd, reinterpret_cast<const sockaddr *>(&target.address), target.length) == 0)
            answered = true;
        else if (errno == EINPROGRESS)
        {
            fds.push_back({fd, POLLOUT, 0});
            continue;
        }
        else if (errno == ECONNREFUSED)
            ++refused;
        close(fd);
    }
    std::size_t pending = fds.size();
    while (!answered && pending > 0)
    {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        const int ready = poll(fds.data(), fds.size(), static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        for (pollfd &p : fds)
        {
            if (p.fd < 0 || p.revents == 0)
                continue;
            int error = 0;
            socklen_t size = sizeof error;
            if (getsockopt(p.fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                error = errno;
            answered = answered || error == 0;
            refused += error == ECONNREFUSED ? 1 : 0;
            close(p.fd);
            p.fd = -1; // poll skips negative descriptors
            --pending;
        }
    }
    for (const pollfd &p : fds)
        if (p.fd >= 0)
            close(p.fd);
    if (answered)
        return ConnectResult::Connected;
    return !targets.empty() && refused == targets.size() ? ConnectResult::Refused : ConnectResult::NoAnswer;
}

} // namespace izuzez::platform
