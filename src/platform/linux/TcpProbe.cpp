#include "platform/linux/TcpProbe.h"

#include <cerrno>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace izuzez::platform
{

namespace
{

constexpr auto kRetryPause = std::chrono::milliseconds(250);
constexpr int kMostAttempts = 400;

struct Target
{
    sockaddr_storage address{};
    socklen_t length = 0;
};

bool NumericAddress(const std::string &host, std::uint16_t port, Target &target)
{
    target = {};
    auto *v4 = reinterpret_cast<sockaddr_in *>(&target.address);
    if (inet_pton(AF_INET, host.c_str(), &v4->sin_addr) == 1)
    {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        target.length = sizeof(sockaddr_in);
        return true;
    }
    auto *v6 = reinterpret_cast<sockaddr_in6 *>(&target.address);
    if (inet_pton(AF_INET6, host.c_str(), &v6->sin6_addr) == 1)
    {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        target.length = sizeof(sockaddr_in6);
        return true;
    }
    return false;
}

// One round: a connection to every port, waited for until the first is taken, all have failed, or the
// deadline. Refused when every port refused; NoAnswer for anything else that failed.
ProbeResult Attempt(const std::vector<Target> &targets, std::chrono::steady_clock::time_point deadline)
{
    std::vector<pollfd> fds;
    int refused = 0;
    bool answered = false;
    for (const Target &target : targets)
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
    int pending = static_cast<int>(fds.size());
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
            getsockopt(p.fd, SOL_SOCKET, SO_ERROR, &error, &size);
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
        return ProbeResult::Answered;
    return refused == static_cast<int>(targets.size()) ? ProbeResult::Refused : ProbeResult::NoAnswer;
}

} // namespace

ProbeResult ProbeTcp(const std::string &host, const std::vector<std::uint16_t> &ports, std::chrono::milliseconds window)
{
    std::vector<Target> targets;
    for (const std::uint16_t port : ports)
    {
        Target target;
        if (!NumericAddress(host, port, target))
            return ProbeResult::NotAnAddress;
        targets.push_back(target);
    }
    if (targets.empty())
        return ProbeResult::NotAnAddress;
    const auto deadline = std::chrono::steady_clock::now() + window;
    for (int i = 0; i < kMostAttempts; ++i)
    {
        const ProbeResult result = Attempt(targets, deadline);
        if (result != ProbeResult::NoAnswer || std::chrono::steady_clock::now() + kRetryPause >= deadline)
            return result;
        std::this_thread::sleep_for(kRetryPause);
    }
    return ProbeResult::NoAnswer;
}

} // namespace izuzez::platform
