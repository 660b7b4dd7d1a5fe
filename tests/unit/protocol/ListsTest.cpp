#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "StateFixture.h"
#include "protocol/DeviceList.h"
#include "protocol/FixedText.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/Search.h"
#include "protocol/ShareList.h"
#include "support/Wire.h"

namespace
{
using namespace izuzez::test;
const ClientId kId = {9, 8, 7, 6, 5, 4, 0, 0, 0, 0};

using ListsTest = ProtocolStateTest<kId>;

std::vector<std::string> ListedIps()
{
    std::vector<std::string> ips;
    for (const DeviceRecord *r = g_ProtocolState.deviceList.head; r != nullptr; r = r->next)
        ips.emplace_back(r->server_ip);
    return ips;
}

// Count, head, tail and the links agree.
void ExpectConsistentList()
{
    const DeviceList &list = g_ProtocolState.deviceList;
    int reachable = 0;
    const DeviceRecord *last = nullptr;
    for (const DeviceRecord *r = list.head; r != nullptr; r = r->next, ++reachable)
        last = r;
    EXPECT_EQ(reachable, list.count);
    EXPECT_EQ(last, list.tail);
    const std::vector<std::string> ips = ListedIps();
    EXPECT_EQ(std::set<std::string>(ips.begin(), ips.end()).size(), ips.size()) << "duplicate server_ip";
}

bool Feed(const ReplyFields &fields, int interfaceIndex = 0, int classFilter = 1, int typeFilter = 8)
{
    const ExactDatagram datagram(MakeSearchReply(fields));
    return HandleSearchDatagram(datagram.data(), datagram.size(), classFilter, typeFilter, interfaceIndex);
}

ReplyFields Reply(std::uint8_t opcode, std::uint8_t last, const std::string &name = "dev")
{
    ReplyFields fields;
    fields.opcode = opcode;
    fields.clientId = kId;
    fields.address = {192, 168, 1, last};
    fields.name = name;
    return fields;
}

TEST_F(ListsTest, SearchRepliesBuildAUniqueListInArrivalOrder)
{
    EXPECT_TRUE(Feed(Reply(2, 5, "first"), 0));
    EXPECT_TRUE(Feed(Reply(8, 3), 0));
    EXPECT_FALSE(Feed(Reply(2, 5, "again"), 1)); // same device seen on a second interface
    EXPECT_TRUE(Feed(Reply(7, 9), 1));
    EXPECT_FALSE(Feed(Reply(8, 9), 1)); // a later full reply does not fill in the record

    EXPECT_EQ(ListedIps(), (std::vector<std::string>{"192.168.1.5", "192.168.1.3", "192.168.1.9"}));
    ExpectConsistentList();
    const DeviceRecord *first = g_ProtocolState.deviceList.head;
    EXPECT_STREQ(first->server_name, "first");
    EXPECT_EQ(first->interfaceIndex, 0);
    EXPECT_STREQ(first->server_MODEL, "");
    EXPECT_EQ(g_ProtocolState.deviceList.tail->interfaceIndex, 1);
    EXPECT_STREQ(g_ProtocolState.deviceList.tail->server_MODEL, "");

    FreeDeviceList();
    EXPECT_TRUE(IsDeviceListEmpty());
    EXPECT_EQ(g_ProtocolState.deviceList.head, nullptr);
    EXPECT_EQ(g_ProtocolState.deviceList.tail, nullptr);
}

TEST_F(ListsTest, SearchReplyAcceptance)
{
    struct Case
    {
        const char *label;
        ReplyFields fields;
        int classFilter, typeFilter;
        bool added;
    };
    ReplyFields foreign = Reply(2, 1);
    foreign.clientId[0] ^= 1;
    ReplyFields wrongClass = Reply(7, 2);
    wrongClass.classByte = 2;
    ReplyFields wrongType = Reply(8, 3);
    wrongType.typeByte = 7;
    ReplyFields basicOddBytes = Reply(2, 4); // bytes 56/57 of a basic reply are its name length
    basicOddBytes.name = std::string(300, 'x');
    ReplyFields idTail = Reply(2, 5);
    idTail.clientId[8] = 0x77;
    const Case cases[] = {
        {"another instance's reply", foreign, 1, 8, false},
        {"filtered reply of another class", wrongClass, 1, 8, false},
        {"full reply of another type", wrongType, 1, 8, false},
        {"class filter 0 accepts any", wrongClass, 0, 8, true},
        {"type filter 0 accepts any", wrongType, 1, 0, true},
        {"basic reply is never filtered", basicOddBytes, 1, 8, true},
        {"bytes 7..10 of the id are ignored", idTail, 1, 8, true},
    };
    for (const Case &c : cases)
    {
        FreeDeviceList();
        EXPECT_EQ(Feed(c.fields, 0, c.classFilter, c.typeFilter), c.added) << c.label;
        EXPECT_EQ(g_ProtocolState.deviceList.count, c.added ? 1 : 0) << c.label;
    }
}

TEST_F(ListsTest, FullReplyFillsEveryField)
{
    // Fixed texts that fill their fields carry no terminator: they are cut at their size - 1.
    ReplyFields fields = Reply(8, 20, "Recorder");
    fields.dhcp = '1';
    fields.mask = std::string(16, 'm');
    fields.model = std::string(64, 'M');
    fields.mac = "00:11:22:33:44:55";
    fields.hwVersion = "B";
    fields.swVersion = std::string(70, 'v');
    ASSERT_TRUE(Feed(fields, 2));
    const DeviceRecord &r = *g_ProtocolState.deviceList.head;
    EXPECT_STREQ(r.server_name, "Recorder");
    EXPECT_STREQ(r.server_ip, "192.168.1.20");
    EXPECT_EQ(std::string(r.server_mask), std::string(15, 'm'));
    EXPECT_STREQ(r.server_gateway, "192.168.0.1");
    EXPECT_STREQ(r.dhcp, "1");
    EXPECT_EQ(r.server_uuid[6], 192);
    EXPECT_EQ(r.server_uuid[9], 20);
    EXPECT_EQ(std::string(r.server_MODEL), std::string(63, 'M'));
    EXPECT_STREQ(r.server_mac, "00:11:22:33:44:55");
    EXPECT_STREQ(r.server_HW_version, "B");
    EXPECT_EQ(std::string(r.server_SW_version), std::string(63, 'v'));
    EXPECT_EQ(r.interfaceIndex, 2);
}

TEST_F(ListsTest, AppendDeviceCutsOverlongTexts)
{
    const std::string longName(400, 'n');
    const std::uint8_t uuid[10] = {};
    DeviceRecord *r =
        AppendDevice(longName.c_str(), "1.2.3.4-and-more-text", "255.255.255.255.255", nullptr, uuid, '0', 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(std::string(r->server_name), std::string(255, 'n'));
    EXPECT_EQ(std::string(r->server_ip), "1.2.3.4-and-mor");
    EXPECT_EQ(std::string(r->server_mask), "255.255.255.255");
    EXPECT_STREQ(r->server_gateway, "");
}

TEST_F(ListsTest, ShareListSplitting)
{
    struct Case
    {
        std::string text;
        std::vector<std::string> names;
    };
    const std::string longName(300, 'L');
    const Case cases[] = {
        {"", {}},
        {":::", {}},
        {"public", {"public"}},
        {"public:media:public::backup:", {"public", "media", "backup"}},
        {":usb1:usb1:USB1", {"usb1", "USB1"}},
        {longName + ":" + longName + "x", {longName.substr(0, 255)}},
    };
    for (const Case &c : cases)
    {
        FreeShareNameList();
        FillShareNameList(c.text);
        std::vector<std::string> names;
        const ShareNameEntry *last = nullptr;
        for (const ShareNameEntry *e = g_ProtocolState.shareNameList.head; e != nullptr; e = e->next)
        {
            names.emplace_back(e->name);
            last = e;
        }
        EXPECT_EQ(names, c.names) << c.text;
        EXPECT_EQ(g_ProtocolState.shareNameList.count, static_cast<int>(c.names.size()));
        EXPECT_EQ(g_ProtocolState.shareNameList.tail, last);
    }
}

TEST(LocalInterfacesTest, SelectionOrderFilterAndLimit)
{
    struct Case
    {
        const char *label;
        std::vector<LocalAddress> candidates;
        std::vector<std::string> filter;
        std::vector<std::string> expected;
    };
    std::vector<LocalAddress> many;
    for (int i = 1; i <= 10; ++i)
        many.push_back({"10.0.0." + std::to_string(i), false, "", -1});
    many.insert(many.begin(), {"127.0.0.1", true, "", -1});
    const Case cases[] = {
        {"none", {}, {}, {}},
        {"loopback last",
         {{"127.0.0.1", true, "", -1}, {"192.168.1.2", false, "", -1}, {"10.0.0.2", false, "", -1}},
         {},
         {"192.168.1.2", "10.0.0.2", "127.0.0.1"}},
        {"at most eight, loopback squeezed out",
         many,
         {},
         {"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5", "10.0.0.6", "10.0.0.7", "10.0.0.8"}},
        {"filter keeps table order", many, {"127.0.0.1", "10.0.0.9", "10.9.9.9"}, {"10.0.0.9", "127.0.0.1"}},
        {"duplicate address kept once", {{"10.0.0.1", false, "", -1}, {"10.0.0.1", false, "", -1}}, {}, {"10.0.0.1"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SelectLocalAddresses(c.candidates, c.filter), c.expected) << c.label;
}

TEST(LocalInterfacesTest, ClientIdHasSixRandomBytesThenZeros)
{
    std::set<std::vector<std::uint8_t>> seen;
    for (int i = 0; i < 8; ++i)
    {
        const ClientId id = MakeClientId();
        EXPECT_EQ(id[6] | id[7] | id[8] | id[9], 0);
        seen.insert(std::vector<std::uint8_t>(id.begin(), id.begin() + 6));
    }
    EXPECT_GT(seen.size(), 6u); // made in the same second, still different
}
} // namespace
