#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "protocol/DeviceList.h"
#include "protocol/Endpoints.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/Search.h"
#include "support/LoopbackSockets.h"
#include "support/PrivateNetwork.h"
#include "support/Wire.h"

// The two receiver sockets of an interface must be read in the order the host received the datagrams.
namespace
{
using namespace izuzez::test;

using namespace std::chrono_literals;

timespec RealNow()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

std::int64_t Nanoseconds(const timespec &t)
{
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The kernel switches arrival stamping on a little after the first socket asks for it; until then a datagram
// is stamped when it is first looked at, not when it arrived. Waits (bounded) until a probe sent to `fd` is
// stamped before it is read.
bool WaitForArrivalStamps(int sender, int fd)
{
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        if (!SendToUnicast(sender, {0}))
            return false;
        const timespec sent = RealNow();
        std::this_thread::sleep_for(20ms);
        const std::optional<timespec> stamp = ReceiveArrivalStamp(fd);
        if (!stamp)
            continue;
        if (Nanoseconds(*stamp) < Nanoseconds(sent) + 10000000)
            return true;
    }
    return false;
}

class ArrivalOrderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!EnterPrivateNetwork())
            GTEST_SKIP() << "cannot make a network namespace here";
        ResetProtocolState();
        SetInterfaceFilter({"127.0.0.1"});
        OpenEndpoints();
        const ReceiverSocket &receiver = g_ProtocolState.receiverSocket[0];
        ASSERT_EQ(g_ProtocolState.interfaceCount, 1);
        ASSERT_GE(receiver.unicastFd, 0);
        ASSERT_GE(receiver.groupFd, 0);
        m_sender = LoopbackSender();
        ASSERT_GE(m_sender, 0);
        ASSERT_TRUE(WaitForArrivalStamps(m_sender, receiver.unicastFd));
    }
    void TearDown() override
    {
        if (m_sender >= 0)
            close(m_sender);
        ResetProtocolState();
        SetInterfaceFilter({});
    }

    // 'G' sends to the group, 'U' to the interface's own address.
    void Send(char way, const std::vector<std::uint8_t> &bytes)
    {
        ASSERT_TRUE(way == 'G' ? SendToGroup(m_sender, bytes) : SendToUnicast(m_sender, bytes));
    }

    // What ReceiveDatagram hands out, first byte of each, until nothing is left (bounded). Waits a moment
    // first: a datagram still on its way through the stack cannot be put in order yet.
    std::vector<int> ReceiveAll(std::size_t expected)
    {
        std::this_thread::sleep_for(20ms);
        std::vector<int> order;
        std::uint8_t buffer[kPacketBufferSize + 1];
        const auto end = std::chrono::steady_clock::now() + 5s;
        while (order.size() < expected && std::chrono::steady_clock::now() < end)
        {
            if (!WaitReadable(g_ProtocolState.receiverSocket[0], 100ms))
                continue;
            const long length = ReceiveDatagram(g_ProtocolState.receiverSocket[0], buffer);
            if (length > 0)
                order.push_back(buffer[0]);
        }
        return order;
    }

    ReplyFields Device(std::uint8_t lastOctet)
    {
        ReplyFields fields;
        fields.clientId = g_ProtocolState.clientId;
        fields.address = {10, 0, 0, lastOctet};
        return fields;
    }

    int m_sender = -1;
};

TEST_F(ArrivalOrderTest, PairIsReadInArrivalOrder)
{
    // The long ones: a stream on one socket must not pass a datagram waiting on the other.
    const char *patterns[] = {
        "GU",
        "UG",
        "GUGUGUGU",
        "UUGGUGUUUG",
        "GUUUUUUUUUUUUUUUUUUUUUUUUUUUUUUUUUUUUUUU",
        "UGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG",
    };
    for (const std::string pattern : patterns)
    {
        std::vector<int> sent;
        for (std::size_t i = 0; i < pattern.size(); ++i)
        {
            Send(pattern[i], {static_cast<std::uint8_t>(i + 1)});
            sent.push_back(static_cast<int>(i + 1));
        }
        EXPECT_EQ(ReceiveAll(sent.size()), sent) << pattern;
    }
}

TEST_F(ArrivalOrderTest, StreamOnOneSocketDoesNotStarveTheOtherWithinTheSearch)
{
    // 120 datagrams of another instance by unicast, with this instance's reply by group as the 41st; the
    // search's 100 polls reach it only when the pair is read in arrival order.
    ReplyFields foreign = Device(9);
    foreign.clientId[0] ^= 0xFF;
    const std::vector<std::uint8_t> noise = MakeSearchReply(foreign);
    for (int i = 0; i < 40; ++i)
        Send('U', noise);
    Send('G', MakeSearchReply(Device(7)));
    for (int i = 0; i < 80; ++i)
        Send('U', noise);
    SearchDevices(1, 8);
    EXPECT_TRUE(FindDeviceByIp("10.0.0.7"));
    EXPECT_FALSE(FindDeviceByIp("10.0.0.9"));
}
} // namespace
