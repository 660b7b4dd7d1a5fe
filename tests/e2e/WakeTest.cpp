// wake through the lab: the magic packet as the lan side receives it, and the wait for the device.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/LabSuite.h"

using namespace izuzez::test;

namespace
{

const char *const kWakeDevices = R"({
  "devices": [
    {"name": "Sleeper", "address": "10.71.1.10", "netmask": "255.255.255.0", "gateway": "10.71.1.1",
     "kind": 8, "mac": "00:1B:7A:00:00:10", "listen": ["10.71.1.2"]}
  ]
})";

class WakeTest : public LabSuite<kWakeDevices>
{
protected:
    void SetUp() override
    {
        LabSuite::SetUp();
        setenv("XDG_CACHE_HOME", m_cache.file("").c_str(), 1); // never the user's own cache
    }
    TempDir m_cache;
};

TEST_F(WakeTest, TheMagicPacketIsBroadcastFromTheInterfaceGiven)
{
    const int fd = UdpSocketInNamespace(s_lab->lan(), "0.0.0.0", 9);
    ASSERT_GE(fd, 0);
    const RunResult run = s_lab->Izuzez({"wake", "00-1b-7a-00-00-10", "--interface", Lab::kHostA});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("to 10.71.1.255 from 10.71.1.1"), std::string::npos) << run.out;

    pollfd ready{fd, POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 3000), 1);
    std::array<unsigned char, 200> bytes{};
    sockaddr_in from{};
    socklen_t fromSize = sizeof from;
    const ssize_t size = recvfrom(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr *>(&from), &fromSize);
    close(fd);
    ASSERT_EQ(size, 102);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(bytes[i], 0xFF) << i;
    const unsigned char mac[6] = {0x00, 0x1B, 0x7A, 0x00, 0x00, 0x10};
    for (int i = 6; i < 102; ++i)
        EXPECT_EQ(bytes[i], mac[(i - 6) % 6]) << i;
    char sender[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &from.sin_addr, sender, sizeof sender);
    EXPECT_STREQ(sender, Lab::kHostA);
}

TEST_F(WakeTest, ByTheNameASearchSawAndWaitingForTheAnswer)
{
    const RunResult unknown = s_lab->Izuzez({"wake", "Sleeper"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("give its MAC address"), std::string::npos) << unknown.err;
    EXPECT_EQ(s_lab->Izuzez({"wake", "00:1b:7a:00:00"}).status, 2);

    ASSERT_EQ(s_lab->Izuzez({"search"}).status, 0);
    const RunResult woken = s_lab->Izuzez({"wake", "Sleeper", "--wait", "5"});
    EXPECT_EQ(woken.status, 0) << woken.err;
    EXPECT_NE(woken.out.find("from 10.71.1.1."), std::string::npos) << woken.out; // where it was seen, only
    EXPECT_EQ(woken.out.find("10.71.2.1"), std::string::npos) << woken.out;
    EXPECT_NE(woken.out.find("Sleeper answers at 10.71.1.10."), std::string::npos) << woken.out;

    const RunResult silent = s_lab->Izuzez({"wake", "00:1b:7a:00:00:99", "--wait", "1"});
    EXPECT_EQ(silent.status, 1);
    EXPECT_NE(silent.err.find("did not answer within 1 s"), std::string::npos) << silent.err;
}

} // namespace
