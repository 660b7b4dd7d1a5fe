#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The one reader of IPv4 address texts, for the protocol, the command line, the window and the simulator.
// An address is "A.B.C.D": four decimal numbers of one to three digits joined by dots, nothing before or
// after, no leading zeros (a reader elsewhere may take "010" for octal 8), each at most 255.

enum class Ipv4Verdict
{
    Address,
    LeadingZero,   // a dot-separated part of two or more characters starts with '0', whatever else is wrong
    OctetAbove255, // dotted, but an octet is above 255
    NotDotted,     // anything else
};

struct Ipv4Reading
{
    Ipv4Verdict verdict = Ipv4Verdict::NotDotted;
    // The numbers as written, values above 255 included so that the address rules can name the octet;
    // zero unless the verdict is Address or OctetAbove255.
    std::array<int, 4> octets{};
};

Ipv4Reading ReadIpv4(std::string_view text);

// The address as a host-order number; false, leaving `address` alone, unless the verdict is Address.
bool ParseIpv4(std::string_view text, std::uint32_t &address);
