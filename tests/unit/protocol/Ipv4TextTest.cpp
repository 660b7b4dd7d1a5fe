#include "protocol/Ipv4Text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace
{

using V = Ipv4Verdict;

struct ReadCase
{
    std::string text;
    Ipv4Verdict verdict;
    std::array<int, 4> octets;
};

const ReadCase readCases[] = {
    {"192.168.0.1", V::Address, {192, 168, 0, 1}},
    {"0.0.0.0", V::Address, {0, 0, 0, 0}},
    {"255.255.255.255", V::Address, {255, 255, 255, 255}},
    {"1.2.3.0", V::Address, {1, 2, 3, 0}},
    // Kept as written, for the octet rule's message.
    {"10.0.0.300", V::OctetAbove255, {10, 0, 0, 300}},
    {"256.1.1.1", V::OctetAbove255, {256, 1, 1, 1}},
    // A leading zero wins over every other fault, so that it gets its own message.
    {"1.2.3.04", V::LeadingZero, {}},
    {"010.1.1.1", V::LeadingZero, {}},
    {"01.2.3", V::LeadingZero, {}},
    {"1.2.3.4.05", V::LeadingZero, {}},
    {"1.2.3", V::NotDotted, {}},
    {"1.2.3.4.5", V::NotDotted, {}},
    {"1..3.4", V::NotDotted, {}},
    {"1.2.3.4 ", V::NotDotted, {}},
    {" 1.2.3.4", V::NotDotted, {}},
    {" 01.2.3.4", V::NotDotted, {}},
    {"1.2.3.-4", V::NotDotted, {}},
    {"1234.1.1.1", V::NotDotted, {}},
    {"0x1.2.3.4", V::LeadingZero, {}}, // hex to some readers
    {"16909060", V::NotDotted, {}},
    {"a.b.c.d", V::NotDotted, {}},
    {"", V::NotDotted, {}},
    {std::string("1.2.3.4\0", 8), V::NotDotted, {}},
};

// ParseIpv4 reads through ReadIpv4: the host-order number for an address, the output untouched otherwise.
TEST(ReadIpv4, VerdictOctetsAndNumber)
{
    for (const ReadCase &c : readCases)
    {
        SCOPED_TRACE("'" + c.text + "'");
        const Ipv4Reading reading = ReadIpv4(c.text);
        EXPECT_EQ(reading.verdict, c.verdict);
        EXPECT_EQ(reading.octets, c.octets);
        std::uint32_t address = 0xDEADBEEF;
        EXPECT_EQ(ParseIpv4(c.text, address), c.verdict == V::Address);
        const std::uint32_t expected = c.verdict != V::Address
                                           ? 0xDEADBEEFu
                                           : (std::uint32_t(c.octets[0]) << 24) | (std::uint32_t(c.octets[1]) << 16) |
                                                 (std::uint32_t(c.octets[2]) << 8) | std::uint32_t(c.octets[3]);
        EXPECT_EQ(address, expected);
    }
}

} // namespace
