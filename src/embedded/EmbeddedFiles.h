#pragma once

#include <cstddef>
#include <span>

namespace izuzez::embedded
{

// One file carried inside the program, found by resource type and number.
struct EmbeddedFile
{
    const char *type; // "CODEPAGE" or "BT"
    int id;
    const char *fileName; // the name it is written under on a device
    const char *kind;     // "codepage", "unicode_map", "module-2.4.21", "module-2.6.6", "module-2.6.12.6", "helper"
    const unsigned char *data;
    std::size_t size;
};

std::span<const EmbeddedFile> EmbeddedFiles();

} // namespace izuzez::embedded
