#include "platform/linux/TcpProbe.h"

#include "platform/linux/TimedConnect.h"

#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>

namespace izuzez::platform
{

namespace
{

constexpr auto kRetryPause = std::chrono::milliseconds(250);
constexpr int kMostAttempts = 400;

bool NumericAddress(const std::string &host, std::uint16_t port, SocketAddress &target)
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

} // namespace

ProbeResult ProbeTcp(const std::string &host, const std::vector<std::uint16_t> &ports, std::chrono::milliseconds window)
{
    std::vector<SocketAddress> targets;
    for (const std::uint16_t port : ports)
    {
        SocketAddress target;
        if (!NumericAddress(host, port, target))
            return ProbeResult::NotAnAddress;
        targets.push_back(target);
    }
    if (targets.empty())
        return ProbeResult::NotAnAddress;
    const auto deadline = std::chrono::steady_clock::now() + window;
    for (int i = 0; i < kMostAttempts; ++i)
    {
        const ConnectResult connected = ConnectWithin(targets, deadline);
        if (connected == ConnectResult::Connected)
            return ProbeResult::Answered;
        if (connected == ConnectResult::Refused)
            return ProbeResult::Refused;
        if (std::chrono::steady_clock::now() + kRetryPause >= deadline)
            return ProbeResult::NoAnswer;
        std::this_thread::sleep_for(kRetryPause);
    }
    return ProbeResult::NoAnswer;
}

} // namespace izuzez::platform
