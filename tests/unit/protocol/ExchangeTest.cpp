#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ScriptedSource.h"
#include "StateFixture.h"
#include "protocol/Exchange.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "protocol/Packets.h"
#include "protocol/Search.h"
#include "protocol/ShareList.h"

namespace
{
using namespace izuzez::test;
using namespace std::chrono_literals;

const ClientId kId = {1, 2, 3, 4, 5, 6, 0, 0, 0, 0};
const std::array<std::uint8_t, 4> kDevice = {192, 168, 0, 10};

// The wait for one reply is tested through every operation in OperationBudgetTest; here the search's
// polls and what fails before the endpoints are open.
class ExchangeTest : public ProtocolStateTest<kId>
{
protected:
    std::uint8_t buffer[kPacketBufferSize + 1];
};

TEST_F(ExchangeTest, SearchPollsCountDatagramsButNotFailedReceives)
{
    Script script;
    for (int i = 0; i < 5; ++i)
    {
        script.waiting.push_back(std::nullopt);
        script.waiting.push_back(std::vector<std::uint8_t>{2});
    }
    int handled = 0;
    ScriptedSource source(script);
    PollSearchReplies(source, 100, 500us, script.now + 300ms, buffer,
                      [&](const std::uint8_t *, std::size_t) { ++handled; });
    EXPECT_EQ(handled, 5);
    EXPECT_EQ(script.waits, 105); // 5 failed receives + 5 datagrams + 95 empty polls
}

TEST_F(ExchangeTest, SearchPollsStopAtTheCap)
{
    Script script;
    script.flood = [] { return std::nullopt; };
    script.readyCost = 10us;
    ScriptedSource source(script);
    PollSearchReplies(source, 100, 500us, script.now + 300ms, buffer, [](const std::uint8_t *, std::size_t) {});
    EXPECT_GE(script.now - Clock::time_point{}, 300ms);
    EXPECT_LT(script.now - Clock::time_point{}, 301ms);
}

TEST_F(ExchangeTest, EverythingFailsQuietlyBeforeOpenEndpoints)
{
    SelectFakeDevice("192.168.0.10", kDevice);
    CopyText(g_ProtocolState.sslText, "keep");
    FillShareNameList("old:shares");
    const std::function<int()> operations[] = {
        CheckAdminPassword, QueryShareList, QueryWorkgroup, QueryCodepage,    QueryIdeok,      QueryShareName,
        QueryBtFirmware,    QueryDomain,    QuerySsl,       SetStaticAddress, SetDhcp,         SendSetting5,
        SetWorkgroup,       SetCodepage,    SetAccessMode,  SendStopCommand,  NotifyInstalled,
    };
    const auto start = Clock::now();
    for (const auto &operation : operations)
        EXPECT_EQ(operation(), 0);
    EXPECT_LT(Clock::now() - start, 100ms);
    EXPECT_STREQ(g_ProtocolState.sslText, "keep");
    EXPECT_EQ(g_ProtocolState.shareNameList.count, 0); // emptied even though the query failed
    EXPECT_EQ(g_ProtocolState.shareNameList.head, nullptr);
    EXPECT_STREQ(g_ProtocolState.selectedIp, "192.168.0.10");
    SearchDevices(1, 8);
    EXPECT_EQ(g_ProtocolState.deviceList.count, 0);
}
} // namespace
