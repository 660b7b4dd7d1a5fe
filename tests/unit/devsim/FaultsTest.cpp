#include "Simulator.h"

#include "support/Wire.h"

#include <gtest/gtest.h>

using namespace izuzez::devsim;
using namespace izuzez::test;

namespace
{

DeviceConfig FaultyDevice(const Faults &faults, std::vector<int> kinds = {kFullSearchReply})
{
    DeviceConfig device;
    device.name = "faulty";
    device.address = {10, 0, 0, 50};
    device.netmask = "255.255.255.0";
    device.gateway = "10.0.0.1";
    device.product.model = "M";
    device.uuidPrefix = {1, 2, 3, 4, 5, 6};
    device.listen = {"127.0.0.1"};
    device.ssl = "1";
    device.kinds = std::move(kinds);
    device.faults = faults;
    return device;
}

const Bytes kDeviceUuid{1, 2, 3, 4, 5, 6, 10, 0, 0, 50};

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
