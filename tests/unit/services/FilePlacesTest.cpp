#include "services/FilePlaces.h"

#include "support/Process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace izuzez::services;
using izuzez::test::ReadFile;
using izuzez::test::TempDir;
using izuzez::test::WriteFile;

namespace
{

constexpr char kPublic[] = "\\\\10.0.0.2\\public";
constexpr char kOurs[] = "smb://10.0.0.2/public Z: public on Nas\n";

TEST(FilePlacesTest, OnlyTheLineOfTheLettersShareIsAddedAndRemoved)
{
    const std::string persons = "file:///home/a%20b A b\n"
                                "smb://10.0.0.2/public\n"
                                "smb://10.0.0.2/public My public\n"
                                "smb://10.0.0.2/public Y: public on Nas\n"
                                "smb://10.0.0.2/public Z: public on \n"
                                "file:///x \xff\xfe\r\n";
    const struct
    {
        const char *name;
        bool add;
        std::string before;
        std::string letter;
        std::string remote;
        std::string device;
        std::string after;
    } cases[] = {
        {"a new file", true, "", "Z:", kPublic, "Nas", kOurs},
        {"a last line without its newline", true, "file:///a A", "Z:", kPublic, "Nas",
         std::string("file:///a A\n") + kOurs},
        {"the person's lines stay before ours", true, persons, "Z:", kPublic, "Nas", persons + kOurs},
        {"ours once, whatever device it names", true, "smb://10.0.0.2/public Z: public on 10.0.0.2\n", "z:", kPublic,
         "Nas", "smb://10.0.0.2/public Z: public on 10.0.0.2\n"},
        {"no device name: the server", true, "", "Z:", kPublic, "", "smb://10.0.0.2/public Z: public on 10.0.0.2\n"},
        {"escaped address, one-line UTF-8 label", true, "", "Y:", "\\\\10.0.0.2\\My Files", "N\nas\xff",
         "smb://10.0.0.2/My%20Files Y: My Files on N as\xef\xbf\xbd\n"},
        {"a broken remote name", true, "x\n", "Z:", "\\\\10.0.0.2", "Nas", "x\n"},
        {"removed between the person's lines", false, "smb://10.0.0.2/public\n" + std::string(kOurs) + persons,
         "z:", kPublic, "", "smb://10.0.0.2/public\n" + persons},
        {"removed at the end without a newline", false, std::string("a\n") + "smb://10.0.0.2/public Z: public on Nas",
         "Z:", kPublic, "", "a\n"},
        {"another letter's or share's stays", false, persons + kOurs, "Z:", "\\\\10.0.0.3\\public", "",
         persons + kOurs},
    };
    for (const auto &c : cases)
    {
        const std::string after =
            c.add ? WithPlace(c.before, c.letter, c.remote, c.device) : WithoutPlace(c.before, c.letter, c.remote);
        EXPECT_EQ(after, c.after) << c.name;
    }
}

// The file behind a link is changed in place of the link, keeping its mode; a missing folder is made.
TEST(FilePlacesTest, TheFileIsMadeOrChangedWhereItIs)
{
    const TempDir dir;
    const std::string fresh = dir.file("config/gtk-3.0/bookmarks");
    ASSERT_TRUE(AddPlace(fresh, "Z:", kPublic, "Nas"));
    EXPECT_EQ(ReadFile(fresh), kOurs);

    const std::string shared = dir.file("shared");
    WriteFile(shared, "file:///a\n");
    ASSERT_EQ(chmod(shared.c_str(), 0640), 0);
    const std::string link = dir.file("bookmarks");
    ASSERT_EQ(symlink(shared.c_str(), link.c_str()), 0);
    ASSERT_TRUE(AddPlace(link, "Z:", kPublic, "Nas"));
    ASSERT_TRUE(RemovePlace(link, "Y:", kPublic));
    struct stat st
    {
    };
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(shared.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFile(shared), std::string("file:///a\n") + kOurs);
    ASSERT_TRUE(RemovePlace(link, "Z:", kPublic));
    EXPECT_EQ(ReadFile(shared), "file:///a\n");
}

} // namespace
