#pragma once

#include "Charset.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace izuzez::resgen
{

enum class ModuleTarget
{
    PowerPc2421, // .o: ELF32, big-endian, EM_PPC, kernel_version=2.4.21
    Arm266,      // .ko: ELF32, little-endian, EM_ARM, vermagic 2.6.6
    Arm26126,    // .ko: the same for 2.6.12.6
};

struct ModuleRequest
{
    ModuleTarget target;
    std::string moduleName; // "nls_cp950"
    const Charset *charset; // tables carried in .rodata
    bool alias;             // only the case tables and the name of the charset it stands for
    std::uint32_t size;     // exact file size; 0 = as small as possible
};

// A relocatable object with .text (init and cleanup), .rodata (the tables), .modinfo, the module structure
// for 2.6, a symbol table and a .comment section that takes up the rest of the size. Empty when the
// content does not fit into the size.
std::optional<std::vector<std::uint8_t>> MakeModule(const ModuleRequest &entry);

} // namespace izuzez::resgen
