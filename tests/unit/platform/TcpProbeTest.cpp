// The reachability probe before a mount, on loopback: a port that takes the connection, ports that refuse,
// a listener too full to answer, and names that are left to the resolver.

#include "platform/linux/TcpProbe.h"

#include <gtest/gtest.h>

#include <chrono>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace izuzez::platform;
using namespace std::chrono_literals;

namespace
{

// A listening socket on 127.0.0.1 that never accepts; with `fill`, its one queue place is taken, so that the
// kernel drops further connection requests unanswered, as an absent host leaves them.
class Listener
{
public:
    explicit Listener(bool fill = false)
    {
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
        listen(m_fd, 0);
        socklen_t length = sizeof address;
        getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
        if (fill)
        {
            m_filler = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            connect(m_filler, reinterpret_cast<sockaddr *>(&address), sizeof address);
        }
    }
    ~Listener()
    {
        if (m_filler >= 0)
            close(m_filler);
        close(m_fd);
    }
    std::uint16_t port() const { return m_port; }

private:
    int m_fd = -1;
    int m_filler = -1;
    std::uint16_t m_port = 0;
};

// A port nothing listens on: one that a listener had a moment ago.
std::uint16_t ClosedPort()
{
    return Listener().port();
}

TEST(TcpProbeTest, TellsAnsweredRefusedSilentAndNames)
{
    const Listener open;
    const Listener full(true);
    const std::uint16_t closed = ClosedPort();
    const struct
    {
        const char *name;
        std::string host;
        std::vector<std::uint16_t> ports;
        ProbeResult result;
        std::chrono::milliseconds atMost;
    } cases[] = {
        {"one port of two answers", "127.0.0.1", {closed, open.port()}, ProbeResult::Answered, 1000ms},
        {"every port refuses", "127.0.0.1", {closed}, ProbeResult::Refused, 1000ms},
        {"IPv6 loopback, closed", "::1", {closed}, ProbeResult::Refused, 1000ms},
        {"a full queue stays silent", "127.0.0.1", {full.port()}, ProbeResult::NoAnswer, 2000ms},
        {"a name", "nas.invalid", {445}, ProbeResult::NotAnAddress, 100ms},
        {"no ports", "127.0.0.1", {}, ProbeResult::NotAnAddress, 100ms},
    };
    for (const auto &c : cases)
    {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ProbeTcp(c.host, c.ports, 600ms), c.result) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, c.atMost) << c.name;
    }
}

} // namespace
