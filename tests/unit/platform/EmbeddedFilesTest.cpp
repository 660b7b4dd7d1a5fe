// The files carried for installation: every number, name, size and kind, their formats, and that binutils
// reads each module as the object it claims to be.

#include "platform/Resources.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

using namespace izuzez::platform;
using izuzez::test::RunProgram;
using izuzez::test::TempDir;

namespace
{

struct Expected
{
    const char *type;
    int id;
    const char *name;
    std::uint32_t size; // 0: any size
    const char *kind;
};

const Expected expected[] = {
    {"CODEPAGE", 151, "codepage.950", 8, "codepage"},
    {"CODEPAGE", 153, "nls_cp950.o", 106268, "module-2.4.21"},
    {"CODEPAGE", 155, "nls_big5.o", 1724, "module-2.4.21"},
    {"CODEPAGE", 174, "nls_cp950.ko", 105791, "module-2.6.6"},
    {"CODEPAGE", 192, "nls_cp950_12.ko", 105887, "module-2.6.12.6"},
    {"CODEPAGE", 156, "unicode_map.950", 262174, "unicode_map"},
    {"CODEPAGE", 157, "codepage.936", 8, "codepage"},
    {"CODEPAGE", 158, "nls_cp936.o", 129244, "module-2.4.21"},
    {"CODEPAGE", 159, "nls_gb2312.o", 1728, "module-2.4.21"},
    {"CODEPAGE", 175, "nls_cp936.ko", 128599, "module-2.6.6"},
    {"CODEPAGE", 190, "nls_cp936_12.ko", 128695, "module-2.6.12.6"},
    {"CODEPAGE", 160, "unicode_map.936", 262174, "unicode_map"},
    {"CODEPAGE", 143, "codepage.850", 132, "codepage"},
    {"CODEPAGE", 145, "nls_cp850.o", 5020, "module-2.4.21"},
    {"CODEPAGE", 179, "nls_cp850.ko", 5719, "module-2.6.6"},
    {"CODEPAGE", 187, "nls_cp850_12.ko", 5783, "module-2.6.12.6"},
    {"CODEPAGE", 148, "unicode_map.850", 131614, "unicode_map"},
    {"CODEPAGE", 161, "codepage.932", 8, "codepage"},
    {"CODEPAGE", 162, "nls_cp932.o", 82848, "module-2.4.21"},
    {"CODEPAGE", 163, "nls_euc-jp.o", 6364, "module-2.4.21"},
    {"CODEPAGE", 172, "nls_sjis.o", 1724, "module-2.4.21"},
    {"CODEPAGE", 173, "nls_cp932.ko", 82562, "module-2.6.6"},
    {"CODEPAGE", 178, "nls_euc-jp.ko", 6809, "module-2.6.6"},
    {"CODEPAGE", 189, "nls_cp932_12.ko", 82995, "module-2.6.12.6"},
    {"CODEPAGE", 193, "nls_euc-jp_12.ko", 6921, "module-2.6.12.6"},
    {"CODEPAGE", 164, "unicode_map.932", 262174, "unicode_map"},
    {"CODEPAGE", 165, "codepage.949", 8, "codepage"},
    {"CODEPAGE", 166, "nls_cp949.o", 152216, "module-2.4.21"},
    {"CODEPAGE", 167, "nls_euc-kr.o", 1728, "module-2.4.21"},
    {"CODEPAGE", 176, "nls_cp949.ko", 151405, "module-2.6.6"},
    {"CODEPAGE", 191, "nls_cp949_12.ko", 151501, "module-2.6.12.6"},
    {"CODEPAGE", 168, "unicode_map.949", 262174, "unicode_map"},
    {"CODEPAGE", 169, "codepage.866", 588, "codepage"},
    {"CODEPAGE", 170, "nls_cp866.o", 5308, "module-2.4.21"},
    {"CODEPAGE", 185, "nls_koi8-r.o", 5312, "module-2.4.21"},
    {"CODEPAGE", 177, "nls_cp866.ko", 6006, "module-2.6.6"},
    {"CODEPAGE", 183, "nls_koi8-r.ko", 6010, "module-2.6.6"},
    {"CODEPAGE", 188, "nls_cp866_12.ko", 6070, "module-2.6.12.6"},
    {"CODEPAGE", 194, "nls_koi8-r_12.ko", 6074, "module-2.6.12.6"},
    {"CODEPAGE", 171, "unicode_map.866", 588, "codepage"},
    {"CODEPAGE", 184, "unicode_map.KOI8-R", 131614, "unicode_map"},
    {"CODEPAGE", 222, "codepage.852", 0, "codepage"},
    {"CODEPAGE", 223, "unicode_map.852", 131614, "unicode_map"},
    {"CODEPAGE", 224, "nls_cp852_12.ko", 0, "module-2.6.12.6"},
    {"CODEPAGE", 225, "codepage.857", 0, "codepage"},
    {"CODEPAGE", 226, "unicode_map.857", 131614, "unicode_map"},
    {"CODEPAGE", 228, "nls_cp857_12.ko", 0, "module-2.6.12.6"},
    {"BT", 215, "bt", 0, "helper"},
    {"BT", 220, "btdog", 0, "helper"},
};

std::uint32_t Le16(const unsigned char *p)
{
    return static_cast<std::uint32_t>(p[0] | p[1] << 8);
}

std::uint32_t Le32(const unsigned char *p)
{
    return Le16(p) | Le16(p + 2) << 16;
}

const unsigned char *Bytes(int id, const char *type = "Codepage")
{
    return static_cast<const unsigned char *>(LockResource(LoadResource(nullptr, FindResourceA(nullptr, id, type))));
}

TEST(EmbeddedFilesTest, EveryFileHasItsNumberNameSizeAndKind)
{
    EXPECT_EQ(izuzez::embedded::EmbeddedFiles().size(), std::size(expected));
    for (const Expected &e : expected)
    {
        SCOPED_TRACE(e.name);
        const HRSRC found = FindResourceA(nullptr, e.id, e.type);
        ASSERT_NE(found, nullptr);
        EXPECT_STREQ(found->fileName, e.name);
        EXPECT_STREQ(found->kind, e.kind);
        EXPECT_NE(LockResource(LoadResource(nullptr, found)), nullptr);
        if (e.size != 0)
            EXPECT_EQ(SizeofResource(nullptr, found), e.size);
        else
            EXPECT_GT(SizeofResource(nullptr, found), 0u);
    }
}

TEST(EmbeddedFilesTest, TypesMatchWithoutCaseAndMissingOnesHaveNoBytes)
{
    EXPECT_EQ(FindResourceA(nullptr, 151, "codepage"), FindResourceA(nullptr, 151, "CODEPAGE"));
    EXPECT_EQ(FindResourceA(nullptr, 151, "BT"), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, 150, "Codepage"), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, 215, "bt"), FindResourceA(nullptr, 215, "BT"));
    EXPECT_EQ(LockResource(LoadResource(nullptr, nullptr)), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

TEST(EmbeddedFilesTest, SambaFilesCarryTheirHeadersAndRealMappings)
{
    const struct
    {
        int id;
        std::uint32_t codepage;
    } codepageFiles[] = {{151, 950}, {157, 936}, {143, 850}, {161, 932},
                         {165, 949}, {169, 866}, {222, 852}, {225, 857}};
    for (auto [id, codepage] : codepageFiles)
    {
        const unsigned char *p = Bytes(id);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(Le16(p), 1u) << id;
        EXPECT_EQ(Le16(p + 2), codepage) << id;
        EXPECT_EQ(Le32(p + 4) + 8, SizeofResource(nullptr, FindResourceA(nullptr, id, "Codepage"))) << id;
    }
    // 850: é (0x82) is the lower case of É (0x90), with both mapping flags.
    const unsigned char *cp850 = Bytes(143);
    bool foundPair = false;
    for (std::uint32_t i = 0; i < Le32(cp850 + 4) / 4; ++i)
        foundPair |= std::memcmp(cp850 + 8 + 4 * i, "\x82\x90\x01\x01", 4) == 0;
    EXPECT_TRUE(foundPair);
    // The map of 866 is the same file as its code page.
    EXPECT_EQ(std::memcmp(Bytes(169), Bytes(171), 588), 0);

    const struct
    {
        int id;
        const char *name;
        std::uint32_t code;
        std::uint32_t unicode;
    } maps[] = {
        {148, "CP850", 0x82, 0x00E9},   {156, "CP950", 0xA440, 0x4E00}, {160, "CP936", 0xB0A1, 0x554A},
        {164, "CP932", 0x82A0, 0x3042}, {168, "CP949", 0xB0A1, 0xAC00}, {184, "KOI8-R", 0xC1, 0x0430},
        {223, "CP852", 0x85, 0x016F},   {226, "CP857", 0x8D, 0x0131},
    };
    for (const auto &m : maps)
    {
        SCOPED_TRACE(m.name);
        const unsigned char *p = Bytes(m.id);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p[0], 0x01);
        EXPECT_EQ(p[1], 0x80);
        EXPECT_STREQ(reinterpret_cast<const char *>(p + 2), m.name);
        const std::uint32_t toUnicodeEntries = Le32(p + 22);
        EXPECT_EQ(Le16(p + 30 + 2 * m.code), m.unicode);
        EXPECT_EQ(Le16(p + 30 + 2 * toUnicodeEntries + 2 * m.unicode), m.code);
    }
}

TEST(EmbeddedFilesTest, ReadelfAcceptsEveryModule)
{
    TempDir dir;
    int modules = 0;
    for (const Expected &e : expected)
    {
        const std::string kind = e.kind;
        if (kind.rfind("module", 0) != 0)
            continue;
        SCOPED_TRACE(e.name);
        ++modules;
        const HRSRC found = FindResourceA(nullptr, e.id, e.type);
        ASSERT_NE(found, nullptr);
        const std::string path = dir.file(e.name);
        izuzez::test::WriteFile(path, std::string(reinterpret_cast<const char *>(found->data), found->size));
        const auto header = RunProgram({"readelf", "-h", path}, std::chrono::seconds(20));
        ASSERT_EQ(header.status, 0) << header.err;
        EXPECT_EQ(header.err, "");
        EXPECT_NE(header.out.find("ELF32"), std::string::npos);
        EXPECT_NE(header.out.find("REL (Relocatable file)"), std::string::npos);
        const bool ppc = kind == "module-2.4.21";
        EXPECT_NE(header.out.find(ppc ? "big endian" : "little endian"), std::string::npos);
        EXPECT_NE(header.out.find(ppc ? "PowerPC" : "ARM"), std::string::npos);
        const auto info = RunProgram({"readelf", "-p", ".modinfo", path}, std::chrono::seconds(20));
        const std::string version = ppc                      ? "kernel_version=2.4.21"
                                    : kind == "module-2.6.6" ? "vermagic=2.6.6 "
                                                             : "vermagic=2.6.12.6 ";
        EXPECT_NE(info.out.find(version), std::string::npos) << info.out;
        const auto sections = RunProgram({"readelf", "-S", "-s", "-W", path}, std::chrono::seconds(20));
        EXPECT_EQ(sections.err, "");
        EXPECT_NE(sections.out.find("init_module"), std::string::npos);
        if (!ppc)
        {
            EXPECT_NE(sections.out.find(".gnu.linkonce.this_module"), std::string::npos);
        }
    }
    EXPECT_EQ(modules, 30);
}

} // namespace
