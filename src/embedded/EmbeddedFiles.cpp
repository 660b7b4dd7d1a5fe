#include "EmbeddedFiles.h"

#include <array>

// The blob is assembled in; hidden, so that it needs no dynamic relocation.
asm(".section .rodata\n"
    ".balign 16\n"
    ".globl izuzezEmbeddedBlob\n"
    ".hidden izuzezEmbeddedBlob\n"
    "izuzezEmbeddedBlob:\n"
    ".incbin \"" IZUZEZ_EMBEDDED_BLOB "\"\n"
    ".previous\n");

extern "C" const unsigned char izuzezEmbeddedBlob[];

namespace izuzez::embedded
{

namespace
{
struct IndexEntry
{
    const char *type;
    int id;
    const char *fileName;
    const char *kind;
    std::size_t offset;
    std::size_t size;
};

constexpr IndexEntry index[] = {
#include "EmbeddedIndex.inc"
};

std::array<EmbeddedFile, std::size(index)> MakeFiles()
{
    std::array<EmbeddedFile, std::size(index)> files{};
    for (std::size_t i = 0; i < files.size(); ++i)
        files[i] = {index[i].type, index[i].id, index[i].fileName, index[i].kind, izuzezEmbeddedBlob + index[i].offset,
                    index[i].size};
    return files;
}
} // namespace

std::span<const EmbeddedFile> EmbeddedFiles()
{
    static const auto files = MakeFiles();
    return files;
}

} // namespace izuzez::embedded
