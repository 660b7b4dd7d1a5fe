#include "ElfModule.h"

#include "ByteWriter.h"

#include <algorithm>
#include <elf.h>
#include <string_view>

namespace izuzez::resgen
{

namespace
{
// The modules are ELF32 of the device's byte order, so <elf.h>'s structures are filled and then written
// field by field through a ByteWriter rather than copied from memory.
struct Section
{
    std::string name;
    Elf32_Shdr header{};
    std::vector<std::uint8_t> data;
};

struct Symbol
{
    std::string name;
    Elf32_Sym entry{};
};

Section MakeSection(std::string name, Elf32_Word type, Elf32_Word flags, Elf32_Word align,
                    std::vector<std::uint8_t> data, Elf32_Word link = 0, Elf32_Word info = 0, Elf32_Word entsize = 0)
{
    Section section{std::move(name), {}, std::move(data)};
    section.header.sh_type = type;
    section.header.sh_flags = flags;
    section.header.sh_addralign = align;
    section.header.sh_link = link;
    section.header.sh_info = info;
    section.header.sh_entsize = entsize;
    return section;
}

Symbol MakeSymbol(std::string name, Elf32_Addr value, Elf32_Word size, unsigned char bind, unsigned char type,
                  Elf32_Section section)
{
    Symbol symbol{std::move(name), {}};
    symbol.entry.st_value = value;
    symbol.entry.st_size = size;
    symbol.entry.st_info = static_cast<unsigned char>(ELF32_ST_INFO(bind, type));
    symbol.entry.st_shndx = section;
    return symbol;
}

void Put(ByteWriter &out, const Elf32_Ehdr &h)
{
    for (const unsigned char byte : h.e_ident)
        out.U8(byte);
    out.U16(h.e_type);
    out.U16(h.e_machine);
    out.U32(h.e_version);
    out.U32(h.e_entry);
    out.U32(h.e_phoff);
    out.U32(h.e_shoff);
    out.U32(h.e_flags);
    out.U16(h.e_ehsize);
    out.U16(h.e_phentsize);
    out.U16(h.e_phnum);
    out.U16(h.e_shentsize);
    out.U16(h.e_shnum);
    out.U16(h.e_shstrndx);
}

void Put(ByteWriter &out, const Elf32_Shdr &h)
{
    out.U32(h.sh_name);
    out.U32(h.sh_type);
    out.U32(h.sh_flags);
    out.U32(h.sh_addr);
    out.U32(h.sh_offset);
    out.U32(h.sh_size);
    out.U32(h.sh_link);
    out.U32(h.sh_info);
    out.U32(h.sh_addralign);
    out.U32(h.sh_entsize);
}

void Put(ByteWriter &out, const Elf32_Sym &s)
{
    out.U32(s.st_name);
    out.U32(s.st_value);
    out.U32(s.st_size);
    out.U8(s.st_info);
    out.U8(s.st_other);
    out.U16(s.st_shndx);
}

std::vector<std::uint8_t> Tables(const ModuleRequest &entry, bool bigEndian)
{
    const Charset &cs = *entry.charset;
    ByteWriter out(bigEndian);
    if (!entry.alias)
        for (std::uint16_t v : cs.single)
            out.U16(v);
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
        out.U8(lower[b]);
    for (int b = 0; b < 256; ++b)
        out.U8(upper[b]);
    if (!entry.alias && cs.doubleByte)
    {
        out.U32(static_cast<std::uint32_t>(cs.pairs.size()));
        for (auto [code, unicode] : cs.pairs)
        {
            out.U16(code);
            out.U16(unicode);
        }
    }
    out.CString(cs.name);
    out.Pad(4);
    return std::move(out.bytes());
}

std::vector<std::uint8_t> ModInfo(const ModuleRequest &entry)
{
    ByteWriter out;
    const std::string description = "description=NLS " + entry.charset->name;
    switch (entry.target)
    {
    case ModuleTarget::PowerPc2421:
        out.CString("kernel_version=2.4.21");
        out.CString("license=Dual BSD/GPL");
        break;
    case ModuleTarget::Arm266:
        out.CString("license=Dual BSD/GPL");
        out.CString("vermagic=2.6.6 ARMv5 gcc-3.4");
        out.CString("depends=");
        break;
    case ModuleTarget::Arm26126:
        out.CString("license=Dual BSD/GPL");
        out.CString("vermagic=2.6.12.6 ARMv5 gcc-3.4");
        out.CString("depends=");
        break;
    }
    out.CString(description);
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
        code.U32(0x38600000); // li r3,0
        code.U32(0x4E800020); // blr
        code.U32(0x4E800020); // blr
    }
    else
    {
        code.U32(0xE3A00000); // mov r0,#0
        code.U32(0xE12FFF1E); // bx lr
        code.U32(0xE12FFF1E); // bx lr
    }
    sections.push_back(MakeSection(".text", SHT_PROGBITS, SHF_ALLOC | SHF_EXECINSTR, 4, std::move(code.bytes())));
    const Elf32_Section textIndex = 1;
    const std::vector<std::uint8_t> tables = Tables(entry, bigEndian);
    sections.push_back(MakeSection(".rodata", SHT_PROGBITS, SHF_ALLOC, 4, tables));
    const Elf32_Section rodataIndex = 2;
    sections.push_back(MakeSection(".modinfo", SHT_PROGBITS, SHF_ALLOC, 1, ModInfo(entry)));
    Elf32_Section thisModuleIndex = SHN_UNDEF;
    if (!ppc)
    {
        // struct module: list head, state, then the name.
        ByteWriter module(bigEndian);
        module.Text("", 12);
        module.Text(entry.moduleName, 60);
        module.Text("", 184);
        thisModuleIndex = static_cast<Elf32_Section>(sections.size());
        sections.push_back(
            MakeSection(".gnu.linkonce.this_module", SHT_PROGBITS, SHF_ALLOC | SHF_WRITE, 4, module.bytes()));
    }

    std::vector<Symbol> symbols{
        MakeSymbol("", 0, 0, STB_LOCAL, STT_NOTYPE, SHN_UNDEF),
        MakeSymbol(entry.moduleName + ".c", 0, 0, STB_LOCAL, STT_FILE, SHN_ABS),
        MakeSymbol("", 0, 0, STB_LOCAL, STT_SECTION, textIndex),
        MakeSymbol("", 0, 0, STB_LOCAL, STT_SECTION, rodataIndex),
        MakeSymbol("charset_tables", 0, static_cast<Elf32_Word>(tables.size()), STB_LOCAL, STT_OBJECT, rodataIndex),
    };
    const Elf32_Word firstGlobal = static_cast<Elf32_Word>(symbols.size());
    symbols.push_back(MakeSymbol("init_module", 0, 8, STB_GLOBAL, STT_FUNC, textIndex));
    symbols.push_back(MakeSymbol("cleanup_module", 8, 4, STB_GLOBAL, STT_FUNC, textIndex));
    if (thisModuleIndex != SHN_UNDEF)
        symbols.push_back(MakeSymbol("__this_module", 0, 256, STB_GLOBAL, STT_OBJECT, thisModuleIndex));

    ByteWriter strtab(bigEndian);
    strtab.U8(0);
    ByteWriter symtab(bigEndian);
    for (Symbol &s : symbols)
    {
        if (!s.name.empty())
        {
            s.entry.st_name = static_cast<Elf32_Word>(strtab.size());
            strtab.CString(s.name);
        }
        Put(symtab, s.entry);
    }
    const Elf32_Word symtabIndex = static_cast<Elf32_Word>(sections.size());
    sections.push_back(MakeSection(".symtab", SHT_SYMTAB, 0, 4, std::move(symtab.bytes()), symtabIndex + 1, firstGlobal,
                                   sizeof(Elf32_Sym)));
    sections.push_back(MakeSection(".strtab", SHT_STRTAB, 0, 1, std::move(strtab.bytes())));
    sections.push_back(MakeSection(".shstrtab", SHT_STRTAB, 0, 1, {}));
    const std::size_t shstrtabIndex = sections.size() - 1;
    // .comment fills the file up to its size; it sits after the section headers so that they stay aligned.
    ByteWriter comment;
    comment.CString("GCC: (GNU) 3.4.4");
    sections.push_back(MakeSection(".comment", SHT_PROGBITS, 0, 1, std::move(comment.bytes())));

    ByteWriter names;
    names.U8(0);
    for (std::size_t i = 1; i < sections.size(); ++i)
    {
        sections[i].header.sh_name = static_cast<Elf32_Word>(names.size());
        names.CString(sections[i].name);
    }
    sections[shstrtabIndex].data = std::move(names.bytes());

    Elf32_Off offset = sizeof(Elf32_Ehdr);
    for (std::size_t i = 1; i + 1 < sections.size(); ++i)
    {
        Elf32_Shdr &header = sections[i].header;
        offset = (offset + header.sh_addralign - 1) / header.sh_addralign * header.sh_addralign;
        header.sh_offset = offset;
        offset += static_cast<Elf32_Off>(sections[i].data.size());
    }
    offset = (offset + 3) / 4 * 4;
    const Elf32_Off shoff = offset;
    const Elf32_Off commentOffset = shoff + static_cast<Elf32_Off>(sections.size() * sizeof(Elf32_Shdr));
    Section &last = sections.back();
    last.header.sh_offset = commentOffset;
    const std::uint32_t minimal = commentOffset + static_cast<std::uint32_t>(last.data.size());
    if (entry.size != 0)
    {
        if (entry.size < minimal)
            return std::nullopt;
        last.data.resize(entry.size - commentOffset, 0);
    }
    for (Section &s : sections)
        s.header.sh_size = static_cast<Elf32_Word>(s.data.size());

    Elf32_Ehdr header{};
    std::copy_n(ELFMAG, SELFMAG, header.e_ident);
    header.e_ident[EI_CLASS] = ELFCLASS32;
    header.e_ident[EI_DATA] = bigEndian ? ELFDATA2MSB : ELFDATA2LSB;
    header.e_ident[EI_VERSION] = EV_CURRENT;
    header.e_type = ET_REL;
    header.e_machine = ppc ? EM_PPC : EM_ARM;
    header.e_version = EV_CURRENT;
    header.e_shoff = shoff;
    header.e_flags = 0; // ARM: the old ABI of these kernels has no flags
    header.e_ehsize = sizeof(Elf32_Ehdr);
    header.e_shentsize = sizeof(Elf32_Shdr);
    header.e_shnum = static_cast<Elf32_Half>(sections.size());
    header.e_shstrndx = static_cast<Elf32_Half>(shstrtabIndex);

    ByteWriter file(bigEndian);
    Put(file, header);
    for (std::size_t i = 1; i + 1 < sections.size(); ++i)
    {
        while (file.size() < sections[i].header.sh_offset)
            file.U8(0);
        file.Append(sections[i].data);
    }
    while (file.size() < shoff)
        file.U8(0);
    for (const Section &s : sections)
        Put(file, s.header);
    file.Append(last.data);
    return std::move(file.bytes());
}

} // namespace izuzez::resgen
