#pragma once

#include "Charset.h"

#include <cstdint>
#include <vector>

namespace izuzez::resgen
{

// codepage.NNN: version 1, code page, table length, then (lower, upper, map to upper, map to lower) entries,
// little-endian. Double-byte code pages have no table. size 0 = the case pairs only; otherwise the table is
// cut or filled up (entries that map nothing) to that size.
std::vector<std::uint8_t> MakeSambaCodepage(const Charset &charset, int codepage, std::uint32_t size);

// unicode_map.NNN: a 30-byte header (01 80, name, code page, bytes per character, table lengths), the
// code-to-Unicode table (256 or 65536 entries) and the Unicode-to-code table (65536 entries).
std::vector<std::uint8_t> MakeUnicodeMap(const Charset &charset, int codepage);

} // namespace izuzez::resgen
