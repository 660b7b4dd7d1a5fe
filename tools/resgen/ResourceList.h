#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace izuzez::resgen
{

enum class Kind
{
    SambaCodepage, // codepage.NNN
    UnicodeMap,    // unicode_map.NNN
    Module24,      // 32-bit big-endian PowerPC relocatable object, Linux 2.4.21
    Module26,      // 32-bit little-endian ARM relocatable object, Linux 2.6.6
    Module2612,    // the same for Linux 2.6.12.6
    Helper,        // BitTorrent helper script
};

struct ResourceEntry
{
    std::string_view type;
    int id;
    std::string_view fileName;
    Kind kind;
    std::string_view charset; // iconv name of the mapping the file carries
    int codepage;
    bool aliasModule;   // an NLS module that only names another charset's tables (no mapping of its own)
    std::uint32_t size; // exact size in bytes; 0 = as large as the content
};

std::span<const ResourceEntry> AllResources();
std::string_view KindName(Kind kind);

} // namespace izuzez::resgen
