#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptedSource.h"
#include "StateFixture.h"
#include "protocol/Exchange.h"
#include "protocol/Ipv4Text.h"
#include "protocol/Search.h"
#include "protocol/SearchTally.h"
#include "support/Wire.h"

// The counted search of the doctor and of search --wait, and the window's search that listens on while an
// interface is busy, on scripted datagrams and a fake clock.
namespace
{
using namespace izuzez::test;
using namespace std::chrono_literals;

const ClientId kId = {9, 8, 7, 6, 5, 4, 0, 0, 0, 0};
const ClientIdBytes kOwn = {9, 8, 7, 6, 5, 4, 0, 0, 0, 0};
const ClientIdBytes kOther = {1, 2, 3, 4, 5, 6, 0, 0, 0, 0};

Bytes Reply(std::uint8_t opcode, const ClientIdBytes &id, Address address, std::uint8_t classByte = 1,
            std::uint8_t typeByte = 8)
{
    ReplyFields fields;
    fields.opcode = opcode;
    fields.clientId = id;
    fields.address = address;
    fields.classByte = classByte;
    fields.typeByte = typeByte;
    return MakeSearchReply(fields);
}

Address Nth(int n)
{
    return {10, 0, static_cast<std::uint8_t>(n / 250), static_cast<std::uint8_t>(n % 250 + 1)};
}

class SearchTallyTest : public ProtocolStateTest<kId>
{
protected:
    void SetUp() override
    {
        ProtocolStateTest<kId>::SetUp();
        ProtocolState &s = g_ProtocolState;
        s.interfaceCount = 1;
        CopyText(s.interfaceAddress[0], "10.0.0.1");
        s.endpointsOpen = true;
        s.sourceFactory = [this](int) { return std::make_unique<ScriptedSource>(m_script); };
    }
    Script m_script;
};

// The polls of one interface's search: datagrams count, failed receives do not, the cap ends them.
TEST_F(SearchTallyTest, SearchPollsCountDatagramsButNotFailedReceives)
{
    Script script;
    std::uint8_t buffer[kPacketBufferSize + 1];
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

TEST_F(SearchTallyTest, SearchPollsStopAtTheCap)
{
    Script script;
    std::uint8_t buffer[kPacketBufferSize + 1];
    script.flood = [] { return std::nullopt; };
    script.readyCost = 10us;
    ScriptedSource source(script);
    PollSearchReplies(source, 100, 500us, script.now + 300ms, buffer, [](const std::uint8_t *, std::size_t) {});
    EXPECT_GE(script.now - Clock::time_point{}, 300ms);
    EXPECT_LT(script.now - Clock::time_point{}, 301ms);
}

TEST_F(SearchTallyTest, SortsEveryKindOfDatagram)
{
    Bytes shortReply = Reply(8, kOwn, {10, 0, 0, 9});
    shortReply.resize(100);
    struct Case
    {
        const char *what;
        Bytes datagram;
        bool listed;
        SearchDatagram kind;
    } cases[] = {
        {"own basic reply", Reply(2, kOwn, {10, 0, 0, 2}), false, SearchDatagram::Accepted},
        {"own full reply, address listed", Reply(8, kOwn, {10, 0, 0, 2}), true, SearchDatagram::Repeated},
        {"basic reply ignores class", Reply(2, kOwn, {10, 0, 0, 2}, 5, 5), false, SearchDatagram::Accepted},
        {"filtered reply of another class", Reply(7, kOwn, {10, 0, 0, 3}, 2, 8), false, SearchDatagram::Filtered},
        {"full reply of another type", Reply(8, kOwn, {10, 0, 0, 3}, 1, 9), false, SearchDatagram::Filtered},
        {"another instance's reply", Reply(8, kOther, {10, 0, 0, 4}), false, SearchDatagram::ForeignClient},
        {"a search request", SearchRequest(Bytes(kOther.begin(), kOther.end())), false, SearchDatagram::OtherKind},
        {"a query reply", MakeQueryReply(kOwn, {10, 0, 0, 5}, "x"), false, SearchDatagram::OtherKind},
        {"full reply cut short", shortReply, false, SearchDatagram::Malformed},
        {"one byte", Bytes{8}, false, SearchDatagram::Malformed},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ClassifySearchDatagram(c.datagram.data(), c.datagram.size(), 1, 8, c.listed), c.kind) << c.what;
}

TEST_F(SearchTallyTest, ListsEveryDeviceBeyondAHundredAndStopsWhenQuiet)
{
    constexpr int kDevices = 300;
    for (int i = 0; i < kDevices; ++i)
    {
        m_script.answer.push_back(Reply(8, kOwn, Nth(i)));
        if (i % 3 == 0)
            m_script.answer.push_back(Reply(8, kOther, {10, 9, 9, 9}));
        if (i % 50 == 0)
            m_script.answer.push_back(Reply(8, kOwn, Nth(i))); // a duplicate
    }
    SearchTally tally;
    const Clock::time_point start = m_script.now;
    SearchInterfaceUntilQuiet(0, 1, 8, 200ms, 5000ms, &tally);
    EXPECT_EQ(g_ProtocolState.deviceList.count, kDevices);
    EXPECT_EQ(tally.accepted, kDevices);
    EXPECT_EQ(tally.repeated, kDevices / 50);
    EXPECT_EQ(tally.foreignClient, kDevices / 3);
    ASSERT_EQ(tally.acceptedFrom.size(), static_cast<std::size_t>(kDevices));
    EXPECT_EQ(tally.acceptedFrom.back(), "10.0.1.50");
    // Done once a quiet spell passed after the last reply, not at the budget.
    EXPECT_GE(m_script.now - start, 200ms);
    EXPECT_LT(m_script.now - start, 300ms);
}

TEST_F(SearchTallyTest, AFloodOfForeignDatagramsEndsAtTheBudget)
{
    m_script.answer.push_back(Reply(8, kOwn, {10, 0, 0, 2}));
    m_script.flood = [] { return Reply(8, kOther, {10, 9, 9, 9}); };
    m_script.floodAfterRequest = true;
    m_script.readyCost = 100us;
    SearchTally tally;
    const Clock::time_point start = m_script.now;
    SearchInterfaceUntilQuiet(0, 1, 8, 1000ms, 800ms, &tally);
    EXPECT_EQ(tally.accepted, 1);
    EXPECT_GT(tally.foreignClient, 1000);
    // Foreign datagrams do not count as replies, so the quiet time ran out first.
    EXPECT_LE(m_script.now - start, 1001ms);
}

TEST_F(SearchTallyTest, WholeSearchIsCappedAndCountsEachInterface)
{
    g_ProtocolState.interfaceCount = 2;
    CopyText(g_ProtocolState.interfaceAddress[1], "10.1.0.1");
    // Replies from ever new addresses: never quiet, so only the budget ends each interface.
    int next = 0;
    m_script.flood = [&next] { return Reply(8, kOwn, Nth(next++ % 60000)); };
    m_script.readyCost = 100us;
    std::vector<SearchTally> tallies;
    SearchDevicesUntilQuiet(1, 8, 50ms, 400ms, &tallies);
    ASSERT_EQ(tallies.size(), 2u);
    // The first interface may not take the whole search: the second gets its share.
    EXPECT_GT(tallies[0].accepted, 0);
    EXPECT_GT(tallies[1].accepted + tallies[1].repeated, 0);
    EXPECT_EQ(g_ProtocolState.deviceList.count, tallies[0].accepted + tallies[1].accepted);
    EXPECT_LE(m_script.now - Clock::time_point{}, 450ms);
}

// The window's search listens on only where the plain search left replies coming, and within the cap.
TEST_F(SearchTallyTest, ListensOnOnlyWhileAnInterfaceIsBusyAndWithinTheCap)
{
    constexpr auto kQuiet = 300ms;
    constexpr auto kCap = 400ms;
    struct Case
    {
        const char *what;
        int atOnce;                     // replies readable as soon as the request is sent
        int spread;                     // replies spread evenly over the next 300 ms
        bool endless;                   // replies from ever new addresses, never quiet
        std::chrono::milliseconds lone; // one more reply this long after the request (0: none)
        bool listensOn;
        int listed; // by the search that listens on
    } cases[] = {
        {"a small network", 3, 0, false, 0ms, false, 3},
        {"a reply well before the polls end", 3, 0, false, 60ms, false, 4},
        {"a hundred datagrams read", 300, 0, false, 0ms, true, 300},
        {"replies still coming in the last polls", 0, 80, false, 0ms, true, 80},
        {"never quiet", 0, 0, true, 0ms, true, -1},
    };
    for (const Case &c : cases)
    {
        int next = 0;
        const auto script = [&]
        {
            m_script = Script{};
            next = 0;
            for (int i = 0; i < c.atOnce; ++i)
                m_script.answer.push_back(Reply(8, kOwn, Nth(i)));
            for (int i = 0; i < c.spread; ++i)
                m_script.later.emplace_back(std::chrono::microseconds(300ms) * i / c.spread,
                                            Reply(8, kOwn, Nth(1000 + i)));
            if (c.lone > 0ms)
                m_script.later.emplace_back(c.lone, Reply(8, kOwn, Nth(2000)));
            if (c.endless)
            {
                m_script.flood = [&next] { return Reply(8, kOwn, Nth(next++ % 60000)); };
                m_script.readyCost = 100us;
            }
        };
        script();
        SearchDevices(1, 8);
        const auto plain = m_script.now - Clock::time_point{};
        const int plainListed = g_ProtocolState.deviceList.count;
        script();
        SearchDevicesListeningWhileBusy(1, 8, kQuiet, kCap);
        const auto took = m_script.now - Clock::time_point{};
        if (c.listed >= 0)
        {
            EXPECT_EQ(g_ProtocolState.deviceList.count, c.listed) << c.what;
        }
        if (!c.listensOn)
        {
            EXPECT_EQ(took, plain) << c.what;
            EXPECT_EQ(g_ProtocolState.deviceList.count, plainListed) << c.what;
            continue;
        }
        EXPECT_GT(g_ProtocolState.deviceList.count, plainListed) << c.what;
        EXPECT_LE(took, plain + kCap + 1ms) << c.what;
        if (!c.endless)
        {
            EXPECT_LT(took, std::max<Clock::duration>(plain, 300ms) + kQuiet + 5ms) << c.what;
        }
    }
}

TEST(SubnetTest, NetworksAndMembership)
{
    struct Case
    {
        const char *a;
        const char *b;
        int prefix;
        bool same;
        const char *network;
    } cases[] = {
        {"10.0.0.20", "10.0.0.1", 24, true, "10.0.0.0/24"},
        {"192.168.0.20", "10.0.0.1", 24, false, "192.168.0.0/24"},
        {"10.0.1.20", "10.0.0.1", 24, false, "10.0.1.0/24"},
        {"10.0.1.20", "10.0.0.1", 16, true, "10.0.0.0/16"},
        {"172.16.5.4", "172.16.5.5", 32, false, "172.16.5.4/32"},
        {"1.2.3.4", "200.1.1.1", 0, true, "0.0.0.0/0"},
        {"169.254.7.1", "169.254.200.3", 16, true, "169.254.0.0/16"},
    };
    for (const Case &c : cases)
    {
        std::uint32_t a = 0, b = 0;
        ASSERT_TRUE(ParseIpv4(c.a, a) && ParseIpv4(c.b, b)) << c.a;
        EXPECT_EQ(InSameSubnet(a, b, c.prefix), c.same) << c.a << " " << c.b << "/" << c.prefix;
        EXPECT_EQ(NetworkText(a, c.prefix), c.network);
    }
}
} // namespace
