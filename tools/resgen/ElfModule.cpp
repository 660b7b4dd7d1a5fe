#include "ElfModule.h"

#include "ByteWriter.h"

#include <string_view>

namespace izuzez::resgen
{

namespace
{
constexpr std::uint32_t SHT_PROGBITS = 1, SHT_SYMTAB = 2, SHT_STRTAB = 3;
constexpr std::uint32_t SHF_WRITE = 1, SHF_ALLOC = 2, SHF_EXECINSTR = 4;
constexpr std::uint8_t STB_LOCAL = 0, STB_GLOBAL = 1;
constexpr std::uint8_t STT_OBJECT = 1, STT_FUNC = 2, STT_SECTION = 3, STT_FILE = 4;
constexpr std::uint16_t SHN_ABS = 0xFFF1;

struct Section
{
    std::string name;
    std::uint32_t type = SHT_PROGBITS;
    std::uint32_t flags = 0;
    std::uint32_t align = 1;
    std::vector<std::uint8_t> data;
    std::uint32_t link = 0, info = 0, entsize = 0;
    std::uint32_t nameOffset = 0, offset = 0;
};

struct Symbol
{
    std::string name;
    std::uint32_t value, size;
    std::uint8_t bind, type;
    std::uint16_t section;
};

std::vector<std::uint8_t> Tables(const ModuleRequest &entry, bool bigEndian)
{
    const Charset &cs = *entry.charset;
    ByteWriter out(bigEndian);
    if (!entry.alias)
        for (std::uint16_t v : cs.single)
            out.u16(v);
    std::array<std::uint8_t, 256> lower{}, upper{};
    for (int b = 0; b < 256; ++b)
    {
        lower[b] = upper[b] = static_cast<std::uint8_t>(b);
        if (b >= 'a' && b <= 'z')
            upper[b] = static_cast<std::uint8_t>(b - 32);
        if (b >= 'A' && b <= 'Z')
            lower[b] = static_cast<std::uint8_t>(b + 32);
    }
    for (auto [l, u] : CasePairs(cs))
    {
        upper[l] = u;
        lower[u] = l;
    }
    for (int b = 0; b < 256; ++b)
        out.u8(lower[b]);
    for (int b = 0; b < 256; ++b)
        out.u8(upper[b]);
    if (!entry.alias && cs.doubleByte)
    {
        out.u32(static_cast<std::uint32_t>(cs.pairs.size()));
        for (auto [code, unicode] : cs.pairs)
        {
            out.u16(code);
            out.u16(unicode);
        }
    }
    out.cstr(cs.name);
    out.pad(4);
    return std::move(out.bytes());
}

std::vector<std::uint8_t> ModInfo(const ModuleRequest &entry)
{
    ByteWriter out;
    const std::string description = "description=NLS " + entry.charset->name;
    switch (entry.target)
    {
    case ModuleTarget::PowerPc2421:
        out.cstr("kernel_version=2.4.21");
        out.cstr("license=Dual BSD/GPL");
        break;
    case ModuleTarget::Arm266:
        out.cstr("license=Dual BSD/GPL");
        out.cstr("vermagic=2.6.6 ARMv5 gcc-3.4");
        out.cstr("depends=");
        break;
    case ModuleTarget::Arm26126:
        out.cstr("license=Dual BSD/GPL");
        out.cstr("vermagic=2.6.12.6 ARMv5 gcc-3.4");
        out.cstr("depends=");
        break;
    }
    out.cstr(description);
    return std::move(out.bytes());
}
} // namespace

std::optional<std::vector<std::uint8_t>> MakeModule(const ModuleRequest &entry)
{
    const bool ppc = entry.target == ModuleTarget::PowerPc2421;
    const bool bigEndian = ppc;
    std::vector<Section> sections(1); // the null section

    ByteWriter code(bigEndian);
    if (ppc)
    {
        code.u32(0x38600000); // li r3,0
        code.u32(0x4E800020); // blr
        code.u32(0x4E800020); // blr
    }
    else
    {
        code.u32(0xE3A00000); // mov r0,#0
        code.u32(0xE12FFF1E); // bx lr
        code.u32(0xE12FFF1E); // bx lr
    }
    sections.push_back({".text", SHT_PROGBITS, SHF_ALLOC | SHF_EXECINSTR, 4, std::move(code.bytes())});
    const std::uint16_t textIndex = 1;
    const std::vector<std::uint8_t> tables = Tables(entry, bigEndian);
    sections.push_back({".rodata", SHT_PROGBITS, SHF_ALLOC, 4, tables});
    const std::uint16_t rodataIndex = 2;
    sections.push_back({".modinfo", SHT_PROGBITS, SHF_ALLOC, 1, ModInfo(entry)});
    std::uint16_t thisModuleIndex = 0;
    if (!ppc)
    {
        // struct module: list head, state, then the name.
        ByteWriter module(bigEndian);
        module.text("", 12);
        module.text(entry.moduleName, 60);
        module.text("", 184);
        thisModuleIndex = static_cast<std::uint16_t>(sections.size());
        sections.push_back({".gnu.linkonce.this_module", SHT_PROGBITS, SHF_ALLOC | SHF_WRITE, 4, module.bytes()});
    }

    std::vector<Symbol> symbols{
        {"", 0, 0, STB_LOCAL, 0, 0},
        {entry.moduleName + ".c", 0, 0, STB_LOCAL, STT_FILE, SHN_ABS},
        {"", 0, 0, STB_LOCAL, STT_SECTION, textIndex},
        {"", 0, 0, STB_LOCAL, STT_SECTION, rodataIndex},
        {"charset_tables", 0, static_cast<std::uint32_t>(tables.size()), STB_LOCAL, STT_OBJECT, rodataIndex},
    };
    const std::uint32_t firstGlobal = static_cast<std::uint32_t>(symbols.size());
    symbols.push_back({"init_module", 0, 8, STB_GLOBAL, STT_FUNC, textIndex});
    symbols.push_back({"cleanup_module", 8, 4, STB_GLOBAL, STT_FUNC, textIndex});
    if (thisModuleIndex != 0)
        symbols.push_back({"__this_module", 0, 256, STB_GLOBAL, STT_OBJECT, thisModuleIndex});

    ByteWriter strtab(bigEndian);
    strtab.u8(0);
    ByteWriter symtab(bigEndian);
    for (const Symbol &s : symbols)
    {
        std::uint32_t nameOffset = 0;
        if (!s.name.empty())
        {
            nameOffset = static_cast<std::uint32_t>(strtab.size());
            strtab.cstr(s.name);
        }
        symtab.u32(nameOffset);
        symtab.u32(s.value);
        symtab.u32(s.size);
        symtab.u8(static_cast<std::uint32_t>(s.bind << 4 | s.type));
        symtab.u8(0);
        symtab.u16(s.section);
    }
    const std::uint32_t symtabIndex = static_cast<std::uint32_t>(sections.size());
    sections.push_back({".symtab", SHT_SYMTAB, 0, 4, std::move(symtab.bytes()), symtabIndex + 1, firstGlobal, 16});
    sections.push_back({".strtab", SHT_STRTAB, 0, 1, std::move(strtab.bytes())});
    sections.push_back({".shstrtab", SHT_STRTAB, 0, 1, {}});
    const std::size_t shstrtabIndex = sections.size() - 1;
    // .comment fills the file up to its size; it sits after the section headers so that they stay aligned.
    ByteWriter comment;
    comment.cstr("GCC: (GNU) 3.4.4");
    sections.push_back({".comment", SHT_PROGBITS, 0, 1, std::move(comment.bytes())});

    ByteWriter names;
    names.u8(0);
    for (std::size_t i = 1; i < sections.size(); ++i)
    {
        sections[i].nameOffset = static_cast<std::uint32_t>(names.size());
        names.cstr(sections[i].name);
    }
    sections[shstrtabIndex].data = std::move(names.bytes());

    const std::uint32_t headerSize = 52, sectionHeaderSize = 40;
    std::uint32_t offset = headerSize;
    for (std::size_t i = 1; i + 1 < sections.size(); ++i)
    {
        offset = (offset + sections[i].align - 1) / sections[i].align * sections[i].align;
        sections[i].offset = offset;
        offset += static_cast<std::uint32_t>(sections[i].data.size());
    }
    offset = (offset + 3) / 4 * 4;
    const std::uint32_t shoff = offset;
    const std::uint32_t commentOffset = shoff + static_cast<std::uint32_t>(sections.size()) * sectionHeaderSize;
    Section &last = sections.back();
    last.offset = commentOffset;
    const std::uint32_t minimal = commentOffset + static_cast<std::uint32_t>(last.data.size());
    if (entry.size != 0)
    {
        if (entry.size < minimal)
            return std::nullopt;
        last.data.resize(entry.size - commentOffset, 0);
    }

    ByteWriter file(bigEndian);
    file.u8(0x7F);
    file.text("ELF", 3);
    file.u8(1); // ELFCLASS32
    file.u8(bigEndian ? 2 : 1);
    file.u8(1); // EV_CURRENT
    file.text("", 9);
    file.u16(1); // ET_REL
    file.u16(ppc ? 20 : 40);
    file.u32(1);
    file.u32(0); // entry
    file.u32(0); // no program headers
    file.u32(shoff);
    file.u32(0); // ARM: the old ABI of these kernels has no flags
    file.u16(headerSize);
    file.u16(0);
    file.u16(0);
    file.u16(sectionHeaderSize);
    file.u16(static_cast<std::uint32_t>(sections.size()));
    file.u16(static_cast<std::uint32_t>(shstrtabIndex));
    for (std::size_t i = 1; i + 1 < sections.size(); ++i)
    {
        while (file.size() < sections[i].offset)
            file.u8(0);
        file.append(sections[i].data);
    }
    while (file.size() < shoff)
        file.u8(0);
    for (const Section &s : sections)
    {
        const bool null = s.name.empty();
        file.u32(s.nameOffset);
        file.u32(null ? 0 : s.type);
        file.u32(s.flags);
        file.u32(0); // address
        file.u32(null ? 0 : s.offset);
        file.u32(static_cast<std::uint32_t>(s.data.size()));
        file.u32(s.link);
        file.u32(s.info);
        file.u32(null ? 0 : s.align);
        file.u32(s.entsize);
    }
    file.append(last.data);
    return std::move(file.bytes());
}

} // namespace izuzez::resgen
