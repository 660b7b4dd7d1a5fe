#include "Simulator.h"

#include "support/Wire.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace izuzez::devsim;
using namespace izuzez::test;

namespace
{

const Ipv4 kAsker{10, 0, 0, 9};
const std::vector<std::string> kOnLoopback{"127.0.0.1"};

DeviceConfig MakeDevice(const std::string &name, Ipv4 address, std::uint8_t id)
{
    DeviceConfig device;
    device.name = name;
    device.address = address;
    device.netmask = "255.255.255.0";
    device.gateway = "10.0.0.1";
    device.uuidPrefix = {0x00, 0x1b, 0x7a, 0, 0, id};
    device.listen = {"127.0.0.1"};
    device.shares = {"public", "media"};
    device.workgroup = "WORKGROUP";
    device.codepage = "437";
    device.ideok = "1";
    device.sharename = "public";
    device.btFirmware = "0";
    device.domain = "HOMELAN";
    device.ssl = "1";
    device.adminPassword = "secret";
    return device;
}

Bytes UuidOf(const Device &device)
{
    const Uuid uuid = device.CurrentUuid();
    return Bytes(uuid.begin(), uuid.end());
}

class DevsimSimulator : public ::testing::Test
{
protected:
    DevsimSimulator() : sim({MakeDevice("one", {10, 0, 0, 21}, 1), MakeDevice("two", {10, 0, 0, 22}, 2)}) {}

    std::vector<Outgoing> Send(const Bytes &datagram)
    {
        return sim.Handle(ExactDatagram(datagram).span(), kAsker, kOnLoopback);
    }
    Bytes UuidAt(std::size_t index) const { return UuidOf(sim.Devices().at(index)); }

    Simulator sim;
};

TEST_F(DevsimSimulator, EveryDeviceAnswersASearchWithItsOwnUuid)
{
    const auto replies = Send(SearchRequest(kClientId));
    ASSERT_EQ(replies.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
    {
        EXPECT_EQ(replies[i].bytes[0], kFullSearchReply);
        EXPECT_EQ(Slice(replies[i].bytes, 1, 10), kClientId);
        EXPECT_EQ(Slice(replies[i].bytes, 11, 10), UuidAt(i));
        EXPECT_TRUE(replies[i].toGroup);
        EXPECT_EQ(replies[i].via, "127.0.0.1");
    }
    EXPECT_EQ(Slice(replies[1].bytes, 17, 4), (Bytes{10, 0, 0, 22}));
}

TEST_F(DevsimSimulator, OnlyTheAddressedDeviceAnswers)
{
    const Bytes foreign{0, 0x1b, 0x7a, 0, 0, 9, 10, 0, 0, 22};
    Bytes otherAddress = UuidAt(1);
    otherAddress[9] = 23;
    EXPECT_TRUE(Send(QueryRequest(kClientId, foreign, 19)).empty());
    EXPECT_TRUE(Send(QueryRequest(kClientId, otherAddress, 19)).empty());
    const auto replies = Send(QueryRequest(kClientId, UuidAt(1), 19));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].device, "two");
    // Devices listening elsewhere stay silent, and nobody answers what is no request.
    EXPECT_TRUE(sim.Handle(SearchRequest(kClientId), kAsker, {"192.168.5.1"}).empty());
    EXPECT_TRUE(Send(Bytes{1, 2, 3}).empty());
}

TEST_F(DevsimSimulator, QueriesAnswerWithTheDeviceTexts)
{
    const std::pair<std::uint8_t, std::string> cases[] = {
        {3, "public:media"}, {6, "WORKGROUP"}, {9, "437"},      {11, "1"},
        {12, "public"},      {15, "0"},        {18, "HOMELAN"}, {19, "1"},
    };
    for (const auto &[sub, text] : cases)
    {
        SCOPED_TRACE(int(sub));
        const auto replies = Send(QueryRequest(kClientId, UuidAt(0), sub));
        ASSERT_EQ(replies.size(), 1u);
        const Bytes &reply = replies[0].bytes;
        EXPECT_EQ(reply[0], kQueryReply);
        EXPECT_EQ(Slice(reply, 1, 10), kClientId);
        EXPECT_EQ(Slice(reply, 17, 4), (Bytes{10, 0, 0, 21}));
        EXPECT_EQ(std::string(reply.begin() + 28, reply.end()), text);
    }
    EXPECT_TRUE(Send(QueryRequest(kClientId, UuidAt(0), 42)).empty());
}

TEST_F(DevsimSimulator, PasswordCheckVerdicts)
{
    const std::pair<std::string, int> cases[] = {
        {std::string("admin\x55\xaa") + "secret", 1},
        {std::string("admin\x55\xaa"), 0},
        {std::string("admin\x55\xaa") + "Secret", 0},
        {std::string("root\x55\xaa") + "secret", 0},
        {"adminsecret", 0},
        {"", 0},
        {std::string("admin\x55\xaa") + "secret\x55\xaa", 0},
    };
    for (const auto &[payload, verdict] : cases)
    {
        SCOPED_TRACE(payload);
        const auto replies = Send(QueryRequest(kClientId, UuidAt(0), 4, payload));
        ASSERT_EQ(replies.size(), 1u);
        ASSERT_EQ(replies[0].bytes.size(), 29u);
        EXPECT_EQ(replies[0].bytes[28], verdict);
    }
}

TEST_F(DevsimSimulator, StaticAddressIsAdoptedWhenReadable)
{
    const Bytes oldUuid = UuidAt(0);
    const auto unreadable = Send(SettingRequest(kClientId, oldUuid, 1, "255.255.0.0", "", "10.0.300.1"));
    ASSERT_EQ(unreadable.size(), 1u);
    EXPECT_EQ(Slice(unreadable[0].bytes, 17, 4), (Bytes{10, 0, 0, 21}));

    const auto replies = Send(SettingRequest(kClientId, oldUuid, 1, "255.255.0.0", "10.0.9.1", "10.0.9.50"));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].bytes[0], kSettingReply);
    EXPECT_EQ(Slice(replies[0].bytes, 17, 4), (Bytes{10, 0, 9, 50}));

    EXPECT_TRUE(Send(QueryRequest(kClientId, oldUuid, 19)).empty());
    Bytes newUuid = oldUuid;
    std::copy_n(Bytes{10, 0, 9, 50}.begin(), 4, newUuid.begin() + 6);
    EXPECT_EQ(Send(QueryRequest(kClientId, newUuid, 19)).size(), 1u);

    const auto search = Send(SearchRequest(kClientId));
    ASSERT_EQ(search.size(), 2u);
    EXPECT_EQ(TextAt(search[0].bytes, 24, 16), "255.255.0.0");
    EXPECT_EQ(TextAt(search[0].bytes, 40, 16), "10.0.9.1");
    EXPECT_EQ(search[0].bytes[21], '0');
}

TEST(DevsimSimulatorDhcp, MovesToTheDhcpAddressOrStays)
{
    DeviceConfig withLease = MakeDevice("lease", {10, 0, 0, 30}, 1);
    withLease.dhcpAddress = Ipv4{10, 0, 0, 130};
    Simulator sim({withLease, MakeDevice("nolease", {10, 0, 0, 31}, 2)});
    const std::pair<std::size_t, Bytes> cases[] = {{0, {10, 0, 0, 130}}, {1, {10, 0, 0, 31}}};
    for (const auto &[index, address] : cases)
    {
        const auto replies =
            sim.Handle(SettingRequest(kClientId, UuidOf(sim.Devices()[index]), 2, "", "", ""), kAsker, kOnLoopback);
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(Slice(replies[0].bytes, 17, 4), address);
    }
    const auto search = sim.Handle(SearchRequest(kClientId), kAsker, kOnLoopback);
    ASSERT_EQ(search.size(), 2u);
    EXPECT_EQ(search[0].bytes[21], '1');
    EXPECT_EQ(search[1].bytes[21], '1');
}

TEST_F(DevsimSimulator, OtherSettingsAreStoredAndAnswered)
{
    const std::pair<std::uint8_t, std::string> cases[] = {{5, ""},    {7, "OFFICE"}, {8, "950"},
                                                          {10, "rw"}, {13, "stop"},  {14, "BT"}};
    for (const auto &[sub, payload] : cases)
    {
        SCOPED_TRACE(int(sub));
        const auto replies = Send(SettingRequest(kClientId, UuidAt(0), sub, "255.255.255.0", "10.0.0.1", payload));
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(Slice(replies[0].bytes, 17, 4), (Bytes{10, 0, 0, 21}));
    }
    const Device &device = sim.Devices()[0];
    EXPECT_EQ(device.config.workgroup, "OFFICE");
    EXPECT_EQ(device.config.codepage, "950");
    EXPECT_EQ(device.accessMode, "rw");
    EXPECT_EQ(device.stopText, "stop");
    EXPECT_EQ(device.installedText, "BT");
    const auto codepage = Send(QueryRequest(kClientId, UuidAt(0), 9));
    ASSERT_EQ(codepage.size(), 1u);
    EXPECT_EQ(std::string(codepage[0].bytes.begin() + 28, codepage[0].bytes.end()), "950");
    EXPECT_TRUE(Send(SettingRequest(kClientId, UuidAt(0), 99, "", "", "")).empty());
}

TEST(DevsimSimulatorReplies, DestinationAndDelayFollowTheDevice)
{
    DeviceConfig device = MakeDevice("uni", {10, 0, 0, 40}, 1);
    device.replyTo = ReplyDestination::Unicast;
    device.replyDelayMs = 250;
    device.listen = {"192.168.1.2", "127.0.0.1"};
    Simulator sim({device});
    const auto replies = sim.Handle(SearchRequest(kClientId), kAsker, {"127.0.0.1"});
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_FALSE(replies[0].toGroup);
    EXPECT_EQ(replies[0].unicastTo, kAsker);
    EXPECT_EQ(replies[0].delayMs, 250);
    EXPECT_EQ(replies[0].via, "127.0.0.1");
}

TEST(DevsimSimulatorScenario, SuccessiveAnswersThenARestart)
{
    DeviceConfig config = MakeDevice("nas", {10, 0, 0, 40}, 4);
    config.answerSequences[11] = {"0", "", "3"};
    config.restartMs = 150;
    Simulator sim({config});
    const Bytes id = UuidOf(sim.Devices()[0]);
    auto ask = [&](std::uint8_t sub) -> std::string
    {
        const auto replies = sim.Handle(ExactDatagram(QueryRequest(kClientId, id, sub)).span(), kAsker, kOnLoopback);
        return replies.empty() ? "<silent>" : std::string(replies[0].bytes.begin() + 28, replies[0].bytes.end());
    };
    // The last answer repeats; other queries keep their fixed answer.
    const char *const expected[] = {"0", "", "3", "3"};
    for (const char *answer : expected)
        EXPECT_EQ(ask(11), answer);
    EXPECT_EQ(ask(12), "public");
    // A code page setting makes the device restart: silent for a while, then back.
    const auto set =
        sim.Handle(ExactDatagram(SettingRequest(kClientId, id, 8, "255.255.255.0", "10.0.0.1", "950")).span(), kAsker,
                   kOnLoopback);
    EXPECT_EQ(set.size(), 1u);
    EXPECT_EQ(ask(9), "<silent>");
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_EQ(ask(9), "950");
}
// The faults of a device that otherwise answers as MakeDevice's do.
DeviceConfig FaultyDevice(const Faults &faults, std::vector<int> kinds = {kFullSearchReply})
{
    DeviceConfig device = MakeDevice("faulty", {10, 0, 0, 50}, 6);
    device.kinds = std::move(kinds);
    device.faults = faults;
    return device;
}

const Bytes kDeviceUuid{0x00, 0x1b, 0x7a, 0, 0, 6, 10, 0, 0, 50};

std::vector<Outgoing> Ask(const DeviceConfig &device, const Bytes &request)
{
    Simulator sim({device});
    return sim.Handle(ExactDatagram(request).span(), {127, 0, 0, 1}, {"127.0.0.1"});
}

TEST(DevsimFaults, ClientIdVariants)
{
    Faults foreign;
    foreign.foreignClientId = true;
    Faults tail;
    tail.clientIdTail = true;
    const auto foreignReply = Ask(FaultyDevice(foreign), SearchRequest(kClientId));
    const auto tailReply = Ask(FaultyDevice(tail), QueryRequest(kClientId, kDeviceUuid, 19));
    ASSERT_EQ(foreignReply.size(), 1u);
    ASSERT_EQ(tailReply.size(), 1u);
    for (std::size_t i = 1; i <= 6; ++i)
        EXPECT_NE(foreignReply[0].bytes[i], kClientId[i - 1]) << i;
    EXPECT_EQ(Slice(tailReply[0].bytes, 1, 6), Slice(kClientId, 0, 6));
    EXPECT_NE(Slice(tailReply[0].bytes, 7, 4), Slice(kClientId, 6, 4));
}

TEST(DevsimFaults, MixedKindsAndDuplicatesKeepTheirOrder)
{
    Faults faults;
    faults.duplicates = 1;
    DeviceConfig device = FaultyDevice(faults, {kBasicSearchReply, kFullSearchReply});
    device.product.classByte = 2; // a class the program does not ask for
    const auto replies = Ask(device, SearchRequest(kClientId));
    ASSERT_EQ(replies.size(), 4u);
    const int expected[] = {2, 2, 8, 8};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(replies[i].bytes[0], expected[i]) << i;
    EXPECT_EQ(replies[0].bytes, replies[1].bytes);
    EXPECT_EQ(replies[2].bytes[56], 2);
}

struct MalformedCase
{
    Malformed variant;
    int kind;
    std::size_t shortLength;
    std::size_t expectedSize;
    std::uint32_t expectedNameLength; // 0: not checked
};

TEST(DevsimFaults, MalformedSearchReplies)
{
    // Name "faulty" is 6 bytes; the name length sits at 56 (kind 2) or 324 (kind 8).
    const MalformedCase cases[] = {
        {Malformed::NamePastEnd, 2, 0, 66, 70},   {Malformed::NamePastEnd, 8, 0, 334, 70},
        {Malformed::NameOver255, 2, 0, 360, 300}, {Malformed::Oversize, 8, 0, 5328, 5000},
        {Malformed::Short, 2, 0, 40, 0},          {Malformed::Short, 8, 7, 7, 0},
        {Malformed::Unterminated, 8, 0, 334, 6},
    };
    for (const MalformedCase &c : cases)
    {
        SCOPED_TRACE(testing::Message() << int(c.variant) << " kind " << c.kind);
        Faults faults;
        faults.malformed = {c.variant};
        faults.shortLength = c.shortLength;
        const auto replies = Ask(FaultyDevice(faults, {c.kind}), SearchRequest(kClientId));
        ASSERT_EQ(replies.size(), 1u);
        const Bytes &reply = replies[0].bytes;
        EXPECT_EQ(reply.size(), c.expectedSize);
        if (c.expectedNameLength)
        {
            EXPECT_EQ(Le32(reply, c.kind == 2 ? 56 : 324), c.expectedNameLength);
        }
        if (c.variant == Malformed::Unterminated)
        {
            EXPECT_EQ(std::count(reply.begin() + 24, reply.begin() + 56, 0), 0);
            EXPECT_EQ(std::count(reply.begin() + 68, reply.begin() + 324, 0), 0);
        }
    }
}

TEST(DevsimFaults, MalformedQueryAndSettingReplies)
{
    Faults faults;
    faults.malformed = {Malformed::Short, Malformed::Oversize, Malformed::NamePastEnd};
    faults.malformedFor = {ReplyClass::Query, ReplyClass::Setting};
    faults.sendValid = true;
    const auto query = Ask(FaultyDevice(faults), QueryRequest(kClientId, kDeviceUuid, 19));
    ASSERT_EQ(query.size(), 3u); // the name variant has no meaning for a query reply
    EXPECT_EQ(query[0].bytes.size(), 20u);
    EXPECT_EQ(query[1].bytes.size(), 5000u);
    EXPECT_EQ(query[2].bytes.size(), 29u);
    const auto setting = Ask(FaultyDevice(faults), SettingRequest(kClientId, kDeviceUuid, 8, "", "", "950"));
    ASSERT_EQ(setting.size(), 3u);
    EXPECT_EQ(setting[0].bytes.size(), 16u);
    // Search replies are left alone unless listed.
    const auto search = Ask(FaultyDevice(faults), SearchRequest(kClientId));
    ASSERT_EQ(search.size(), 1u);
    EXPECT_EQ(search[0].bytes.size(), 334u);
}

TEST(DevsimFaults, FloodPrecedesTheDelayedReply)
{
    Faults faults;
    faults.flood = Flood{5, kBasicSearchReply, 400, {ReplyClass::Query}};
    DeviceConfig device = FaultyDevice(faults);
    device.replyDelayMs = 500;
    const auto replies = Ask(device, QueryRequest(kClientId, kDeviceUuid, 19));
    ASSERT_EQ(replies.size(), 6u);
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ(replies[i].bytes[0], kBasicSearchReply);
        EXPECT_NE(Slice(replies[i].bytes, 1, 6), Slice(kClientId, 0, 6));
        EXPECT_EQ(replies[i].delayMs, i * 80);
    }
    EXPECT_EQ(replies[5].bytes[0], kQueryReply);
    EXPECT_EQ(replies[5].delayMs, 500);
    EXPECT_EQ(Ask(device, SearchRequest(kClientId)).size(), 1u); // flood only on queries
}

TEST(DevsimFaults, SilenceAndForeignAddress)
{
    Faults silent;
    silent.silent = true;
    Faults queries;
    queries.silentQueries = true;
    Faults settings;
    settings.silentSettings = true;
    Faults moved;
    moved.replyAddress = Ipv4{10, 0, 0, 99};
    const Bytes search = SearchRequest(kClientId);
    const Bytes query = QueryRequest(kClientId, kDeviceUuid, 19);
    const Bytes setting = SettingRequest(kClientId, kDeviceUuid, 8, "", "", "950");
    struct Case
    {
        Faults faults;
        std::size_t search, query, setting;
    };
    const Case cases[] = {{silent, 0, 0, 0}, {queries, 1, 0, 1}, {settings, 1, 1, 0}, {moved, 1, 1, 1}};
    for (const Case &c : cases)
    {
        EXPECT_EQ(Ask(FaultyDevice(c.faults), search).size(), c.search);
        EXPECT_EQ(Ask(FaultyDevice(c.faults), query).size(), c.query);
        EXPECT_EQ(Ask(FaultyDevice(c.faults), setting).size(), c.setting);
    }
    EXPECT_EQ(Slice(Ask(FaultyDevice(moved), query)[0].bytes, 17, 4), (Bytes{10, 0, 0, 99}));
}

} // namespace
