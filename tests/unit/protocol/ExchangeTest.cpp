#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ScriptedSource.h"
#include "StateFixture.h"
#include "protocol/Diagnostics.h"
#include "protocol/Exchange.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "protocol/Packets.h"
#include "protocol/Search.h"
#include "protocol/ShareList.h"
#include "support/Wire.h"

namespace
{
using namespace izuzez::test;
using namespace std::chrono_literals;

const ClientId kId = {1, 2, 3, 4, 5, 6, 0, 0, 0, 0};
const std::array<std::uint8_t, 4> kDevice = {192, 168, 0, 10};

class ExchangeTest : public ProtocolStateTest<kId>
{
protected:
    long Await(Script &script, const ReplyRule &rule, int limit)
    {
        const auto deadline = script.now + kDeadlineFactor * NominalExchangeTime(0, limit);
        ScriptedSource source(script);
        return AwaitReply(source, rule, limit, deadline, buffer);
    }
    std::uint8_t buffer[kPacketBufferSize + 1];
};

TEST_F(ExchangeTest, NominalBudgets)
{
    EXPECT_EQ(NominalExchangeTime(0, 10), 1110ms);
    EXPECT_EQ(NominalExchangeTime(11, 20), 110ms + 2210ms);
    EXPECT_EQ(NominalExchangeTime(0, 100), 11010ms);
}

TEST_F(ExchangeTest, SilentDeviceUsesUpTheFailedPolls)
{
    for (int limit : {10, 20, 100})
    {
        Script script;
        EXPECT_EQ(Await(script, {kOpSettingReply, "192.168.0.10"}, limit), 0);
        EXPECT_EQ(script.waits, limit + 1);
        EXPECT_EQ(script.pauses, limit);
    }
}

TEST_F(ExchangeTest, WhichDatagramsEndOrCountAPoll)
{
    struct Case
    {
        const char *label;
        std::vector<std::uint8_t> datagram;
        ReplyRule rule;
        bool accepted;
        int pausesBefore; // failed polls spent on it
    };
    ClientId other = kId;
    other[2] ^= 0x40;
    ClientId tail = kId;
    tail[9] = 0x99;
    const Bytes shortQuery = Slice(MakeQueryReply(kId, kDevice, ""), 0, 27);
    const Case cases[] = {
        {"matching query reply", MakeQueryReply(kId, kDevice, "1"), {kOpQueryReply, "192.168.0.10", 28}, true, 0},
        {"id tail differs", MakeQueryReply(tail, kDevice, "1"), {kOpQueryReply, "192.168.0.10", 28}, true, 0},
        {"other device's answer",
         MakeQueryReply(kId, {192, 168, 0, 11}, "1"),
         {kOpQueryReply, "192.168.0.10", 28},
         false,
         1},
        {"other instance's answer", MakeQueryReply(other, kDevice, "1"), {kOpQueryReply, "192.168.0.10", 28}, false, 1},
        {"query reply too short", shortQuery, {kOpQueryReply, "192.168.0.10", 28}, false, 1},
        {"other opcode does not count", MakeSettingReply(kId, kDevice), {kOpQueryReply, "192.168.0.10", 28}, false, 0},
        {"any address when there is no match field",
         MakeSettingReply(kId, {10, 0, 0, 99}),
         {kOpSettingReply, nullptr, 21},
         true,
         0},
    };
    for (const Case &c : cases)
    {
        Script script;
        script.waiting.push_back(c.datagram);
        script.waiting.push_back(std::nullopt); // a failed receive is skipped too
        script.waiting.push_back(MakeQueryReply(kId, kDevice, "late"));
        const long length = Await(script, c.rule, 10);
        if (c.accepted)
        {
            EXPECT_EQ(length, static_cast<long>(c.datagram.size())) << c.label;
            EXPECT_EQ(script.pauses, 0) << c.label;
            continue;
        }
        // The rejected datagram is followed by the reply the query rule accepts.
        if (c.rule.opcode == kOpQueryReply)
        {
            EXPECT_EQ(length, 32) << c.label;
        }
        EXPECT_EQ(script.pauses, c.pausesBefore) << c.label;
    }
}

TEST_F(ExchangeTest, FloodOfOtherOpcodesEndsAtTheDeadline)
{
    Script script;
    script.flood = [] { return MakeSearchReply(ReplyFields{}); };
    script.readyCost = 100us;
    const auto start = script.now;
    EXPECT_EQ(Await(script, {kOpQueryReply, "192.168.0.10", 28}, 10), 0);
    EXPECT_GE(script.now - start, 3 * 1110ms);
    EXPECT_LT(script.now - start, 3 * 1110ms + 200ms);
    EXPECT_EQ(script.pauses, 0);
}

TEST_F(ExchangeTest, FloodOfFailedReceivesEndsAtTheDeadline)
{
    Script script;
    script.flood = [] { return std::nullopt; };
    script.readyCost = 1ms;
    EXPECT_EQ(Await(script, {kOpSettingReply, nullptr, 21}, 100), 0);
    EXPECT_GE(script.now - Clock::time_point{}, 3 * 11010ms);
}

TEST_F(ExchangeTest, DrainDiscardsAtMostItsCount)
{
    Script script;
    for (int i = 0; i < 15; ++i)
        script.waiting.push_back(MakeQueryReply(kId, kDevice, "old"));
    ScriptedSource source(script);
    Drain(source, 11);
    EXPECT_EQ(script.waiting.size(), 4u);
    Script empty;
    ScriptedSource silent(empty);
    Drain(silent, 6);
    EXPECT_EQ(empty.now - Clock::time_point{}, 60ms);
}

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
TEST(DiagnosticsTest, QuietUnlessSwitchedOn)
{
    SetDiagnostics(false);
    testing::internal::CaptureStderr();
    DiagnosticPrint("ssl=%s\n", "1");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    SetDiagnostics(true);
    testing::internal::CaptureStderr();
    DiagnosticPrint("ssl=%s\n", "1");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ssl=1\n");
    SetDiagnostics(false);
}
} // namespace
