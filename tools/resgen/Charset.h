#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace izuzez::resgen
{

// One code page as glibc's iconv knows it. Unicode values are BMP code points; 0 = unmapped.
struct Charset
{
    std::string name;
    bool doubleByte = false;
    std::array<std::uint16_t, 256> single{};                    // byte -> Unicode
    std::array<bool, 256> leadByte{};                           // bytes that start a two-byte character
    std::vector<std::pair<std::uint16_t, std::uint16_t>> pairs; // two-byte code (lead << 8 | trail) -> Unicode
    std::vector<std::uint16_t> fromUnicode;                     // 65536 entries: Unicode -> code (0 = none)
};

// False when iconv does not know the name.
bool LoadCharset(const std::string &name, Charset &out);

// Case pairs of the upper half (lower byte, upper byte) as far as both letters exist in the code page.
std::vector<std::pair<std::uint8_t, std::uint8_t>> CasePairs(const Charset &charset);

} // namespace izuzez::resgen
