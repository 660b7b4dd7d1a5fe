#include "SambaFiles.h"

#include "ByteWriter.h"

#include <algorithm>
#include <set>

namespace izuzez::resgen
{

std::vector<std::uint8_t> MakeSambaCodepage(const Charset &charset, int codepage, std::uint32_t size)
{
    std::vector<std::array<std::uint8_t, 4>> entries;
    if (!charset.doubleByte)
    {
        std::set<int> used;
        for (auto [lower, upper] : CasePairs(charset))
        {
            entries.push_back({lower, upper, 1, 1});
            used.insert(lower);
            used.insert(upper);
        }
        std::size_t wanted = size == 0 ? entries.size() : (size - 8) / 4;
        // Filler entries map a byte to itself and set no flag, so they change nothing.
        for (int b = 0x80; b < 256 && entries.size() < wanted; ++b)
            if (!used.contains(b))
                entries.push_back({static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(b), 0, 0});
        for (int b = 1; b < 0x80 && entries.size() < wanted; ++b)
            entries.push_back({static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(b), 0, 0});
        entries.resize(std::min(entries.size(), wanted));
    }
    ByteWriter out;
    out.U16(1);
    out.U16(static_cast<std::uint32_t>(codepage));
    out.U32(static_cast<std::uint32_t>(entries.size() * 4));
    for (const auto &e : entries)
        for (std::uint8_t b : e)
            out.U8(b);
    return std::move(out.bytes());
}

std::vector<std::uint8_t> MakeUnicodeMap(const Charset &charset, int codepage)
{
    ByteWriter out;
    out.U8(0x01);
    out.U8(0x80);
    out.Text(charset.name, 16);
    out.U16(static_cast<std::uint32_t>(codepage));
    out.U16(charset.doubleByte ? 2 : 1);
    const std::uint32_t toUnicodeEntries = charset.doubleByte ? 65536 : 256;
    out.U32(toUnicodeEntries);
    out.U32(65536);
    std::vector<std::uint16_t> toUnicode(toUnicodeEntries, 0);
    for (int b = 0; b < 256; ++b)
        toUnicode[b] = charset.single[b];
    for (auto [code, unicode] : charset.pairs)
        toUnicode[code] = unicode;
    for (std::uint16_t v : toUnicode)
        out.U16(v);
    for (std::uint16_t v : charset.fromUnicode)
        out.U16(v);
    return std::move(out.bytes());
}

} // namespace izuzez::resgen
