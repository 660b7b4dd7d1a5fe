#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ScriptedSource.h"
#include "StateFixture.h"
#include "protocol/DeviceList.h"
#include "protocol/Exchange.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "protocol/Packets.h"
#include "protocol/Search.h"
#include "protocol/ShareList.h"
#include "support/Wire.h"

// Every device operation run against scripted datagrams on a fake clock: its drain count, failed-poll limit,
// waits and match rule, as the operations themselves wire them.
namespace
{
using namespace izuzez::test;
using namespace std::chrono_literals;

const ClientId kId = {7, 1, 7, 1, 7, 1, 0, 0, 0, 0};
// Devices may fill the id's last four bytes: only the first six are this instance's.
const ClientId kIdWithTail = {7, 1, 7, 1, 7, 1, 0x99, 0, 0, 0x42};
const std::array<std::uint8_t, 4> kSelected = {192, 168, 0, 10};
const std::array<std::uint8_t, 4> kNew = {192, 168, 0, 20};
const std::array<std::uint8_t, 4> kStranger = {192, 168, 0, 99};

enum class Match
{
    Selected,
    NewIp,
    Anyone
};

struct Operation
{
    const char *name;
    int (*run)();
    std::uint8_t requestOpcode;
    int subCommand;
    Match match;
    int drain;
    int limit;
    std::function<std::string()> result; // the text the reply left, where the operation keeps one
};

template <std::size_t N> std::function<std::string()> Field(const char (&field)[N])
{
    return [&field] { return std::string(FieldText(field)); };
}

std::string FirstShareName()
{
    const ShareNameEntry *head = g_ProtocolState.shareNameList.head;
    return head != nullptr ? head->name : "";
}

const std::vector<Operation> &Operations()
{
    ProtocolState &s = g_ProtocolState;
    static const std::vector<Operation> table = {
        {"CheckAdminPassword", CheckAdminPassword, kOpQueryRequest, kQueryPasswordCheck, Match::Selected, 0, 10, {}},
        {"QueryShareList", QueryShareList, kOpQueryRequest, kQueryShareList, Match::Selected, 11, 20, FirstShareName},
        {"QueryWorkgroup", QueryWorkgroup, kOpQueryRequest, kQueryWorkgroup, Match::Selected, 6, 10,
         Field(s.workgroupText)},
        {"QueryCodepage", QueryCodepage, kOpQueryRequest, kQueryCodepage, Match::Selected, 11, 10,
         Field(s.codepageText)},
        {"QueryIdeok", QueryIdeok, kOpQueryRequest, kQueryIdeok, Match::Selected, 11, 20, Field(s.ideokText)},
        {"QueryShareName", QueryShareName, kOpQueryRequest, kQueryShareName, Match::Selected, 11, 20,
         Field(s.shareNameText)},
        {"QueryBtFirmware", QueryBtFirmware, kOpQueryRequest, kQueryBtFirmware, Match::Selected, 11, 20,
         Field(s.btFirmwareText)},
        {"QueryDomain", QueryDomain, kOpQueryRequest, kQueryDomain, Match::Selected, 11, 20, Field(s.domainText)},
        {"QuerySsl", QuerySsl, kOpQueryRequest, kQuerySsl, Match::Selected, 11, 20, Field(s.sslText)},
        {"SetStaticAddress", SetStaticAddress, kOpSettingRequest, kSetStaticAddress, Match::NewIp, 0, 100, {}},
        {"SetDhcp", SetDhcp, kOpSettingRequest, kSetDhcp, Match::Anyone, 0, 100, Field(s.selectedIp)},
        {"SendSetting5", SendSetting5, kOpSettingRequest, kSetSetting5, Match::NewIp, 0, 10, {}},
        {"SetWorkgroup", SetWorkgroup, kOpSettingRequest, kSetWorkgroup, Match::NewIp, 0, 10, {}},
        {"SetCodepage", SetCodepage, kOpSettingRequest, kSetCodepage, Match::NewIp, 0, 10, {}},
        {"SetAccessMode", SetAccessMode, kOpSettingRequest, kSetAccessMode, Match::NewIp, 0, 10, {}},
        {"SendStopCommand", SendStopCommand, kOpSettingRequest, kSetStop, Match::NewIp, 0, 10, {}},
        {"NotifyInstalled", NotifyInstalled, kOpSettingRequest, kSetInstalled, Match::NewIp, 0, 10, {}},
    };
    return table;
}

class OperationBudgetTest : public ProtocolStateTest<kId>
{
protected:
    // A fresh state with one selected device on a scripted interface 0.
    void Prepare()
    {
        ResetProtocolState();
        ProtocolState &s = g_ProtocolState;
        s.clientId = kId;
        s.interfaceCount = 1;
        CopyText(s.interfaceAddress[0], "192.168.0.2");
        s.endpointsOpen = true;
        m_script = Script{};
        s.sourceFactory = [this](int)
        {
            ++m_script.sources;
            return std::make_unique<ScriptedSource>(m_script);
        };
        SelectFakeDevice("192.168.0.10", kSelected);
        CopyText(s.newIp, "192.168.0.20");
        CopyText(s.newNetmask, "255.255.255.0");
        CopyText(s.userName, "admin");
    }

    // The reply the operation waits for, from `address`; query replies carry `text`.
    static std::vector<std::uint8_t> Reply(const Operation &op, std::array<std::uint8_t, 4> address,
                                           const std::string &text = "fresh", const ClientId &id = kIdWithTail)
    {
        return op.requestOpcode == kOpQueryRequest ? MakeQueryReply(id, address, text) : MakeSettingReply(id, address);
    }
    static std::vector<std::uint8_t> GoodReply(const Operation &op, const std::string &text = "fresh")
    {
        return Reply(op, op.match == Match::NewIp ? kNew : kSelected, text);
    }
    // A reply of the awaited kind that must not end the wait: another instance's.
    static std::vector<std::uint8_t> ForeignReply(const Operation &op)
    {
        ClientId other = kId;
        other[0] ^= 0x80;
        return Reply(op, kSelected, "fresh", other);
    }

    Script m_script;
};

// 10 ms per drain wait, 10 ms per poll and 100 ms per pause after a failed one.
std::chrono::milliseconds Nominal(const Operation &op)
{
    return op.drain * 10ms + (op.limit + 1) * 10ms + op.limit * 100ms;
}

TEST_F(OperationBudgetTest, SilentDeviceUsesTheWholeBudget)
{
    for (const Operation &op : Operations())
    {
        SCOPED_TRACE(op.name);
        Prepare();
        EXPECT_EQ(op.run(), 0);
        ASSERT_EQ(m_script.sent.size(), 1u);
        const std::vector<std::uint8_t> &request = m_script.sent.front();
        ASSERT_GE(request.size(), 24u);
        EXPECT_EQ(request[0], op.requestOpcode);
        EXPECT_EQ(request[kOffSubCommand], op.subCommand);
        EXPECT_EQ(m_script.waitsBeforeSend, op.drain);
        EXPECT_EQ(m_script.waits, op.drain + op.limit + 1);
        EXPECT_EQ(m_script.pauses, op.limit);
        EXPECT_EQ(m_script.now - Clock::time_point{}, Nominal(op));
    }
}

// Before every failed poll come another opcode and a failed receive, which do not count, then another
// instance's reply, which does.
TEST_F(OperationBudgetTest, LastAllowedFailedPollStillGetsTheAnswer)
{
    for (const Operation &op : Operations())
    {
        for (const int failedPolls : {op.limit, op.limit + 1})
        {
            const bool inTime = failedPolls == op.limit;
            SCOPED_TRACE(std::string(op.name) + " after " + std::to_string(failedPolls) + " failed polls");
            Prepare();
            for (int i = 0; i < failedPolls; ++i)
            {
                std::vector<std::uint8_t> other = GoodReply(op);
                other[0] = op.requestOpcode == kOpQueryRequest ? 6 : 4;
                m_script.answer.push_back(other);
                m_script.answer.push_back(std::nullopt);
                m_script.answer.push_back(ForeignReply(op));
            }
            m_script.answer.push_back(GoodReply(op));
            EXPECT_EQ(op.run() != 0, inTime);
            EXPECT_EQ(m_script.pauses, op.limit);
            EXPECT_EQ(m_script.waiting.size(), inTime ? 0u : 1u); // the answer came too late
        }
    }
}

TEST_F(OperationBudgetTest, DrainDiscardsExactlyItsCount)
{
    for (const Operation &op : Operations())
    {
        for (int stale : {op.drain, op.drain + 1})
        {
            SCOPED_TRACE(std::string(op.name) + " with " + std::to_string(stale) + " leftover replies");
            Prepare();
            for (int i = 0; i < stale; ++i)
                m_script.waiting.push_back(GoodReply(op, "stale"));
            m_script.answer.push_back(GoodReply(op, "fresh"));
            EXPECT_NE(op.run(), 0);
            // A leftover beyond the drain is taken for the answer and the fresh one stays unread.
            const bool tookStale = stale > op.drain;
            EXPECT_EQ(m_script.waiting.size(), tookStale ? 1u : 0u);
            if (op.result && op.requestOpcode == kOpQueryRequest)
            {
                EXPECT_EQ(op.result(), tookStale ? "stale" : "fresh");
            }
            EXPECT_EQ(m_script.pauses, 0);
        }
    }
}

// Other opcodes and failed receives, alternately: neither counts as a failed poll, only the deadline ends them.
TEST_F(OperationBudgetTest, FloodOfOtherOpcodesEndsAtThreeTimesTheBudget)
{
    for (const Operation &op : Operations())
    {
        SCOPED_TRACE(op.name);
        Prepare();
        m_script.flood = [n = 0]() mutable
        { return n++ % 2 == 0 ? Datagram(MakeSearchReply(ReplyFields{})) : Datagram(); };
        m_script.floodAfterRequest = true;
        m_script.readyCost = 200us;
        EXPECT_EQ(op.run(), 0);
        EXPECT_GE(m_script.now - Clock::time_point{}, 3 * Nominal(op));
        EXPECT_LT(m_script.now - Clock::time_point{}, 3 * Nominal(op) + 1ms);
        EXPECT_EQ(m_script.pauses, 0);
    }
}

TEST_F(OperationBudgetTest, ReplyMustComeFromTheMatchedAddress)
{
    struct From
    {
        const char *label;
        std::array<std::uint8_t, 4> address;
        Match accepts; // Anyone accepts every address
    };
    const From senders[] = {
        {"selected device", kSelected, Match::Selected},
        {"new address", kNew, Match::NewIp},
        {"another device", kStranger, Match::Anyone},
    };
    for (const Operation &op : Operations())
    {
        for (const From &from : senders)
        {
            SCOPED_TRACE(std::string(op.name) + " answered by the " + from.label);
            Prepare();
            m_script.answer.push_back(Reply(op, from.address, "\x01"));
            const bool accepted = op.match == Match::Anyone || op.match == from.accepts;
            EXPECT_EQ(op.run() != 0, accepted);
        }
    }
}

// The selected record moves to the new address, in its uuid too, so that the next request reaches the device.
TEST_F(OperationBudgetTest, AddressChangesMoveTheSelectedRecord)
{
    Prepare();
    CopyText(g_ProtocolState.newNetmask, "255.255.0.0");
    CopyText(g_ProtocolState.newGateway, "192.168.0.254");
    m_script.answer.push_back(MakeSettingReply(kId, kNew));
    ASSERT_EQ(SetStaticAddress(), 1);
    EXPECT_STREQ(g_ProtocolState.selectedIp, "192.168.0.20");
    const DeviceRecord *record = FindSelectedDevice();
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->server_mask, "255.255.0.0");
    EXPECT_STREQ(record->server_gateway, "192.168.0.254");
    EXPECT_EQ(record->server_uuid[9], 20);

    m_script.answer.push_back(MakeSettingReply(kId, kStranger)); // DHCP: the address the device answers from
    ASSERT_EQ(SetDhcp(), 1);
    EXPECT_STREQ(g_ProtocolState.selectedIp, "192.168.0.99");
    ASSERT_EQ(FindSelectedDevice(), record);
    EXPECT_EQ(record->server_uuid[9], 99);
    EXPECT_STREQ(record->server_mask, "255.255.0.0");
}

TEST_F(OperationBudgetTest, PasswordVerdictIsByte28ReadSigned)
{
    struct Verdict
    {
        const char *label;
        std::vector<std::uint8_t> tail; // bytes from 28 on
        int expected;
    };
    const Verdict verdicts[] = {
        {"no verdict byte (28 bytes)", {}, 0}, {"refused", {0x00}, 0}, {"accepted", {0x01}, 1}, {"0xFF", {0xFF}, -1},
        {"0x80", {0x80, 0x01}, -128},          {"0x7F", {0x7F}, 127},
    };
    for (const Verdict &v : verdicts)
    {
        SCOPED_TRACE(v.label);
        Prepare();
        std::vector<std::uint8_t> reply = MakeQueryReply(kId, kSelected, "");
        ASSERT_EQ(reply.size(), 28u);
        reply.insert(reply.end(), v.tail.begin(), v.tail.end());
        m_script.answer.push_back(reply);
        EXPECT_EQ(CheckAdminPassword(), v.expected);
        EXPECT_EQ(m_script.pauses, 0);
    }
    // Too short to reach the payload: a failed poll, not a verdict.
    Prepare();
    std::vector<std::uint8_t> shortReply = MakeQueryReply(kId, kSelected, "");
    shortReply.pop_back();
    m_script.answer.push_back(shortReply);
    EXPECT_EQ(CheckAdminPassword(), 0);
    EXPECT_EQ(m_script.pauses, 10);
}

// Without a selected device or before the endpoints are open every operation fails at once and leaves the
// answers of the last one alone (the share list is emptied all the same).
TEST_F(OperationBudgetTest, NothingIsSentWithoutASelectedDeviceOrOpenEndpoints)
{
    for (const bool endpointsOpen : {true, false})
    {
        for (const Operation &op : Operations())
        {
            SCOPED_TRACE(std::string(op.name) + (endpointsOpen ? " without a selected device" : " before open"));
            Prepare();
            if (endpointsOpen)
                CopyText(g_ProtocolState.selectedIp, "192.168.0.1"); // a prefix of the listed address is no match
            g_ProtocolState.endpointsOpen = endpointsOpen;
            CopyText(g_ProtocolState.sslText, "keep");
            FillShareNameList("old:shares");
            m_script.answer.push_back(GoodReply(op));
            EXPECT_EQ(op.run(), 0);
            EXPECT_EQ(m_script.sources, 0);
            EXPECT_TRUE(m_script.sent.empty());
            EXPECT_STREQ(g_ProtocolState.sslText, "keep");
            EXPECT_EQ(g_ProtocolState.shareNameList.count, op.run == QueryShareList ? 0 : 2);
        }
    }
    SearchDevices(1, 8);
    EXPECT_EQ(m_script.sources, 0);
    EXPECT_EQ(g_ProtocolState.deviceList.count, 0);
}
} // namespace
