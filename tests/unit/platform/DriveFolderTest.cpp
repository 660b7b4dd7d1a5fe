// Drive letters over a folder of symbolic links to GVfs mount paths, made in a temporary folder.

#include "platform/linux/DriveFolder.h"
#include "platform/SystemInfo.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace izuzez::platform;
namespace fs = std::filesystem;

namespace
{

class DriveFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(m_root / "drives");
        fs::create_directories(m_root / "gvfs");
    }

    // A mount point under the fake GVfs folder and a letter linked to it.
    void Link(char letter, const std::string &mountName, bool createMount = true)
    {
        const fs::path mount = m_root / "gvfs" / mountName;
        if (createMount)
            fs::create_directories(mount);
        fs::create_directory_symlink(mount, m_root / "drives" / std::string(1, letter));
    }

    DriveFolder Drives() const { return DriveFolder((m_root / "drives").string(), (m_root / "c").string()); }

    izuzez::test::TempDir m_temp;
    const fs::path m_root = m_temp.file("");
};

TEST_F(DriveFolderTest, TypesAndConnectionsOfTheLetters)
{
    Link('Z', "smb-share:server=192.168.1.20,share=public");
    Link('Y', "smb-share:domain=WORK,server=nas,share=my%20files,user=bob");
    Link('X', "smb-share:server=nas,share=gone", false); // the mount has gone
    Link('W', "local-folder");
    fs::create_directories(m_root / "drives" / "V");

    const DriveFolder drives = Drives();
    const struct
    {
        const char *root;
        int type;
        const char *remote; // nullptr: no connection
    } cases[] = {
        {"Z:", DRIVE_REMOTE, "\\\\192.168.1.20\\public"},
        {"z:\\", DRIVE_REMOTE, "\\\\192.168.1.20\\public"},
        {"Y:", DRIVE_REMOTE, "\\\\nas\\my files"},
        {"X:", DRIVE_NO_ROOT_DIR, nullptr},
        {"W:", DRIVE_FIXED, nullptr},
        {"V:", DRIVE_FIXED, nullptr},
        {"U:", DRIVE_NO_ROOT_DIR, nullptr},
        {"C:", DRIVE_FIXED, nullptr},
        {"", DRIVE_NO_ROOT_DIR, nullptr},
        {"ZZ", DRIVE_NO_ROOT_DIR, nullptr},
        {"1:", DRIVE_NO_ROOT_DIR, nullptr},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.root);
        EXPECT_EQ(drives.GetDriveType(c.root), c.type);
        std::string remote = "untouched";
        EXPECT_EQ(drives.GetConnection(c.root, remote), c.remote != nullptr);
        EXPECT_EQ(remote, c.remote ? c.remote : "untouched");
    }
}

TEST(GvfsPathTest, OnlySmbSharePathsWithServerAndShareAreConnections)
{
    const struct
    {
        const char *path;
        bool ok;
        const char *server;
        const char *share;
    } cases[] = {
        {"/run/user/1000/gvfs/smb-share:server=nas,share=public", true, "nas", "public"},
        {"/run/user/1000/gvfs/smb-share:server=nas,share=public/", true, "nas", "public"},
        {"smb-share:share=a%2Cb,server=n%41s", true, "nAs", "a,b"},
        {"smb-share:server=nas,share=bad%zz", true, "nas", "bad%zz"},
        {"smb-share:server=nas", false, "", ""},
        {"smb-share:server=,share=x", false, "", ""},
        {"smb-share:server=nas,share=a%5Cb", false, "", ""}, // a backslash would split wrongly
        {"smb-share:server=nas,junk,share=x", false, "", ""},
        {"/run/user/1000/gvfs/sftp:host=nas", false, "", ""},
        {"", false, "", ""},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.path);
        std::string server, share;
        EXPECT_EQ(ParseGvfsSmbPath(c.path, server, share), c.ok);
        EXPECT_EQ(server, c.server);
        EXPECT_EQ(share, c.share);
    }
}

TEST(DriveRecordTest, KeyFilesAndTheOlderGrouplessNotesAreRead)
{
    const DriveRecord mapped = {{"remember", "1"}, {"remote", "\\\\srv\\sh\xD9"}, {"user", "W\\bob"}};
    const struct
    {
        const char *text;
        DriveRecord expected;
    } cases[] = {
        {"remote=\\\\srv\\sh\xD9\nuser=W\\bob\nremember=0\nremember=1\n", mapped}, // older, last wins
        {"[Drive]\nremember=1\nremote=\\\\srv\\sh\xD9\nuser=W\\bob\n", mapped},    // not unescaped
        {"[Drive]\nremote=\\\\a\\b\nstray line\n", {{"remote", "\\\\a\\b"}}},      // no key file: lines
        {"[Other]\nremote=\\\\a\\b\n", {}},
        {"", {}},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseDriveRecord(c.text), c.expected);
    }
    // Written as is, the older reader (which skips the group line) reads the same values.
    const std::string written = FormatDriveRecord(mapped);
    EXPECT_EQ(written, "[Drive]\nremember=1\nremote=\\\\srv\\sh\xD9\nuser=W\\bob\n");
    EXPECT_EQ(ParseDriveRecord(written), mapped);
}

TEST(DriveFolderLocationTest, TheEnvironmentChoosesTheFolders)
{
    // GLib reads XDG_DATA_HOME once per process: each case reads it in a copy of a process that has not.
    if (!izuzez::test::InFreshProcess())
        return;
    const struct
    {
        const char *drives;
        const char *cDrive;
        const char *xdg;
        std::string expectedDrives;
        std::string expectedC;
    } cases[] = {
        {"/tmp/d", "/tmp/c", "/x", "/tmp/d", "/tmp/c"},
        {nullptr, nullptr, "/x", "/x/izuzez/drives", "/x/izuzez/c"},
        {nullptr, nullptr, "relative",
         std::string(std::getenv("HOME") ? std::getenv("HOME") : "") + "/.local/share/izuzez/drives",
         std::string(std::getenv("HOME") ? std::getenv("HOME") : "") + "/.local/share/izuzez/c"},
    };
    for (const auto &c : cases)
    {
        const std::string folders = izuzez::test::InChild(
            [&c]
            {
                c.drives ? setenv("IZUZEZ_DRIVES_DIR", c.drives, 1) : unsetenv("IZUZEZ_DRIVES_DIR");
                c.cDrive ? setenv("IZUZEZ_C_DRIVE", c.cDrive, 1) : unsetenv("IZUZEZ_C_DRIVE");
                setenv("XDG_DATA_HOME", c.xdg, 1);
                return DefaultDrivesDirectory() + "\n" + DefaultCDrive();
            },
            std::chrono::seconds(5));
        EXPECT_EQ(folders, c.expectedDrives + "\n" + c.expectedC) << c.xdg;
    }
}

TEST(SystemInfoTest, TheUserNameIsFound)
{
    const auto info = CreateSystemInfo();
    std::string name;
    EXPECT_TRUE(info->GetUserName(name));
    EXPECT_FALSE(name.empty());
}

} // namespace
