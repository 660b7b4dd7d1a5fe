#pragma once

#include "embedded/EmbeddedFiles.h"

#include <cstdint>
#include <string_view>

namespace izuzez::platform
{

// Resources of the program's own module, found by type (without regard to case) and number. The module
// argument is accepted for the shape of the calls and must be null (this program).
using HMODULE = void *;
using HRSRC = const embedded::EmbeddedFile *;
using HGLOBAL = const embedded::EmbeddedFile *;

HRSRC FindResourceA(HMODULE module, int id, std::string_view type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
const void *LockResource(HGLOBAL loaded);
std::uint32_t SizeofResource(HMODULE module, HRSRC resource);

} // namespace izuzez::platform
