// The files carried for installation: found by their numbers, their formats, and that binutils reads each
// module as the object it claims to be.

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

// The numbers, names and sizes are resgen's table, which checks each size as it makes the file; here every
// file must be found by its own number, not shadowed by another of the same type and number.
TEST(EmbeddedFilesTest, EveryFileIsFoundByItsNumber)
{
    EXPECT_EQ(izuzez::embedded::EmbeddedFiles().size(), 49u);
    for (const izuzez::embedded::EmbeddedFile &file : izuzez::embedded::EmbeddedFiles())
    {
        SCOPED_TRACE(file.fileName);
        const HRSRC found = FindResourceA(nullptr, file.id, file.type);
        EXPECT_EQ(found, &file);
        EXPECT_EQ(LockResource(LoadResource(nullptr, found)), file.data);
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
    for (const izuzez::embedded::EmbeddedFile &file : izuzez::embedded::EmbeddedFiles())
    {
        const std::string kind = file.kind;
        if (kind.rfind("module", 0) != 0)
            continue;
        SCOPED_TRACE(file.fileName);
        ++modules;
        const std::string path = dir.file(file.fileName);
        izuzez::test::WriteFile(path, std::string(reinterpret_cast<const char *>(file.data), file.size));
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
