// Whatever arrives on the group, the reply readers stay inside the datagram and inside the record fields.
// Each datagram sits in a heap block of exactly its length, so a sanitizer build catches any over-read.

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "StateFixture.h"
#include "protocol/DeviceList.h"
#include "protocol/Packets.h"
#include "protocol/Search.h"
#include "support/Wire.h"

namespace
{
using izuzez::test::ExactDatagram;
constexpr ClientId kId = {0x21, 0x43, 0x65, 0x87, 0xa9, 0xcb, 0, 0, 0, 0};

// Random bytes shaped like a reply often enough to reach the deep paths: a reply opcode, this instance's
// ClientId, and name lengths that are small, at the edges, or huge.
std::vector<std::uint8_t> RandomDatagram(std::mt19937 &random)
{
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> shortLength(0, 400);
    const std::size_t length = (random() % 8 == 0) ? random() % 4097 : static_cast<std::size_t>(shortLength(random));
    std::vector<std::uint8_t> datagram(length);
    for (std::uint8_t &b : datagram)
        b = static_cast<std::uint8_t>(byte(random));
    if (length > 0)
    {
        static constexpr std::uint8_t kReplyOpcodes[] = {2, 4, 6, 7, 8};
        datagram[0] = kReplyOpcodes[random() % 5];
    }
    if (length > 7 && random() % 4 != 0)
        std::memcpy(datagram.data() + 1, kId.data(), 6);
    static constexpr std::size_t kLengthFields[] = {56, 68, 324};
    static constexpr std::uint32_t kLengths[] = {0, 1, 254, 255, 256, 4096, 0x7fffffff, 0xffffffff};
    for (std::size_t at : kLengthFields)
    {
        if (length >= at + 4 && random() % 2 == 0)
        {
            const std::uint32_t n =
                random() % 3 == 0 ? kLengths[random() % 8] : static_cast<std::uint32_t>(random() % 300);
            std::memcpy(datagram.data() + at, &n, 4); // little-endian host, as the wire
        }
    }
    if (length > 57 && random() % 2 == 0)
    {
        datagram[56] = 1; // let filtered and full replies through the class and type test
        datagram[57] = 8;
    }
    return datagram;
}

template <std::size_t N> bool Terminated(const char (&field)[N])
{
    return std::memchr(field, '\0', N) != nullptr;
}

using RandomDatagramTest = ProtocolStateTest<kId>;

TEST_F(RandomDatagramTest, ReadersStayInsideTheDatagramAndTheRecords)
{
    std::mt19937 random(20261208); // fixed, so that a failure can be replayed
    int accepted = 0;
    for (int i = 0; i < 20000; ++i)
    {
        const ExactDatagram datagram(RandomDatagram(random));

        accepted += HandleSearchDatagram(datagram.data(), datagram.size(), 1, 8, i % 3) ? 1 : 0;
        std::string_view text;
        if (QueryReplyText(datagram.data(), datagram.size(), text))
        {
            ASSERT_GE(text.data(), reinterpret_cast<const char *>(datagram.data()));
            ASSERT_LE(text.data() + text.size(), reinterpret_cast<const char *>(datagram.data()) + datagram.size());
        }
        char address[16];
        if (ReplyAddressText(datagram.data(), datagram.size(), address))
        {
            ASSERT_TRUE(Terminated(address));
        }
        IsOwnReply(datagram.data(), datagram.size());
    }
    EXPECT_GT(accepted, 100) << "the generator should reach the record-building paths";

    int walked = 0;
    std::set<std::string> addresses;
    for (const DeviceRecord *r = g_ProtocolState.deviceList.head; r != nullptr; r = r->next, ++walked)
    {
        ASSERT_TRUE(Terminated(r->server_name) && Terminated(r->server_ip) && Terminated(r->server_mask) &&
                    Terminated(r->server_gateway) && Terminated(r->dhcp) && Terminated(r->server_MODEL) &&
                    Terminated(r->server_mac) && Terminated(r->server_HW_version) && Terminated(r->server_SW_version));
        EXPECT_TRUE(addresses.insert(r->server_ip).second) << "listed twice: " << r->server_ip;
    }
    EXPECT_EQ(walked, g_ProtocolState.deviceList.count);
    EXPECT_EQ(walked, accepted);
}
} // namespace
