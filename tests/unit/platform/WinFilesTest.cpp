// Windows-style paths on Linux: which layer a path goes to, the C: folder, copying and the shell's codes.

#include "platform/WinFiles.h"
#include "platform/Shell.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

using namespace izuzez::platform;
using izuzez::test::InFreshProcess;
using izuzez::test::ReadFile;
using izuzez::test::TempDir;
using izuzez::test::WriteFile;

namespace
{

TEST(WinFilesTest, PathKindsAndUrls)
{
    const struct
    {
        const char *path;
        PathKind kind;
        const char *url;
    } cases[] = {
        {"\\\\10.0.0.5\\HDD_1\\.systemfile\\.codepages\\codepage.950", PathKind::Unc,
         "smb://10.0.0.5/HDD_1/.systemfile/.codepages/codepage.950"},
        {"//10.0.0.5/HDD_1/Nas_Prog/BT/bt", PathKind::Unc, "smb://10.0.0.5/HDD_1/Nas_Prog/BT/bt"},
        {"\\\\10.0.0.5\\HDD_1\\Nas_Prog/BT\\bt", PathKind::Unc, "smb://10.0.0.5/HDD_1/Nas_Prog/BT/bt"},
        {"\\\\host\\my share\\a%b", PathKind::Unc, "smb://host/my%20share/a%25b"},
        {"\\\\host\\share\\..\\x", PathKind::Unc, ""}, // no way out of the share
        {"\\\\host", PathKind::Unc, ""},
        {"C:\\ip.txt", PathKind::CDrive, ""},
        {"c:/bt/bt", PathKind::CDrive, ""},
        {"VANTRELEu_QB15_Widget", PathKind::Local, ""},
        {"D:\\x", PathKind::Local, ""},
    };
    for (const auto &c : cases)
    {
        EXPECT_EQ(KindOfPath(c.path), c.kind) << c.path;
        EXPECT_EQ(SmbUrlOf(c.path), c.url) << c.path;
    }
}

// A NUL ends the name where the C library and libsmbclient take it: such a path would act on a shorter one.
TEST(WinFilesTest, PathsWithANulNameNoFile)
{
    using namespace std::string_literals;
    for (const std::string &path : {"\\\\srv\\share\\a\0b"s, "\\\\srv\\sh\0are\\a"s, "\\\\srv\0x\\share\\a"s})
    {
        EXPECT_EQ(KindOfPath(path), PathKind::Unc);
        EXPECT_EQ(SmbUrlOf(path), "") << "refused, not cut or escaped";
        EXPECT_EQ(WinFopen(path, "wb"), nullptr);
    }
    EXPECT_EQ(LocalPathOf("C:\\a\0b"s), "");
    EXPECT_EQ(LocalPathOf("a\0b"s), "");
}

class CDriveTest : public ::testing::Test
{
protected:
    void SetUp() override { setenv("IZUZEZ_C_DRIVE", m_dir.file("c").c_str(), 1); }
    void TearDown() override { unsetenv("IZUZEZ_C_DRIVE"); }
    TempDir m_dir;
};

TEST_F(CDriveTest, FilesOnCGoToThePerUserFolder)
{
    EXPECT_EQ(LocalPathOf("C:\\bt\\bt"), m_dir.file("c") + "/bt/bt");
    // Writing creates the folders; "w+t" replaces the content.
    for (const char *text : {"10.0.0.50", "10.0.0.5"})
    {
        WinFile *file = WinFopen("C:\\ip.txt", "w+t");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(WinFwrite(text, 1, std::strlen(text), file), std::strlen(text));
        EXPECT_EQ(WinFclose(file), 0);
    }
    EXPECT_EQ(ReadFile(m_dir.file("c/ip.txt")), "10.0.0.5");

    EXPECT_TRUE(CreateFolder("C:\\bt\\"));
    WriteFile(m_dir.file("c/bt/bt"), "helper");
    EXPECT_TRUE(CopyFileA("C:\\bt\\bt", "C:\\bt\\copy", true));
    EXPECT_FALSE(CopyFileA("C:\\bt\\bt", "C:\\bt\\copy", true)); // exists
    EXPECT_TRUE(CopyFileA("C:\\bt\\bt", "C:\\bt\\copy", false));
    EXPECT_FALSE(CopyFileA("C:\\bt\\missing", "C:\\bt\\other", true));
    EXPECT_EQ(ReadFile(m_dir.file("c/bt/copy")), "helper");
    EXPECT_TRUE(PathFileExistsA("C:\\bt\\copy"));
    EXPECT_EQ(WinRemove("C:\\bt\\copy"), 0);
    EXPECT_NE(WinRemove("C:\\bt\\copy"), 0);
    EXPECT_FALSE(RemoveFolder("C:\\bt\\")); // not empty
    EXPECT_EQ(WinRemove("C:\\bt\\bt"), 0);
    EXPECT_TRUE(RemoveFolder("C:\\bt\\"));
    EXPECT_FALSE(PathFileExistsA("C:\\bt"));
}

TEST_F(CDriveTest, TheShellsResultCodes)
{
    const std::string opener = m_dir.file("opener.sh");
    WriteFile(opener, "#!/bin/sh\ncase \"$1\" in *.unknown) exit 3;; *.broken) exit 4;; esac\nexit 0\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    setenv("IZUZEZ_OPENER", opener.c_str(), 1);
    WriteFile(m_dir.file("w.widget"), "x");
    WriteFile(m_dir.file("w.unknown"), "x");
    WriteFile(m_dir.file("w.broken"), "x");
    EXPECT_GT(ShellExecuteA("open", m_dir.file("w.widget")), 32);
    EXPECT_EQ(ShellExecuteA("open", m_dir.file("missing.widget")), 2);
    EXPECT_LE(ShellExecuteA("open", m_dir.file("w.unknown")), 32);
    EXPECT_LE(ShellExecuteA("open", m_dir.file("w.broken")), 32);
    EXPECT_LE(ShellExecuteA("edit", m_dir.file("w.widget")), 32);
    EXPECT_GT(WinExec("explorer http://10.0.0.5"), 31);
    EXPECT_LE(WinExec("notepad C:\\ip.txt"), 31);
    setenv("IZUZEZ_OPENER", m_dir.file("no-such-opener").c_str(), 1);
    EXPECT_LE(ShellExecuteA("open", m_dir.file("w.widget")), 32);
    EXPECT_LE(WinExec("explorer http://10.0.0.5"), 31);
    unsetenv("IZUZEZ_OPENER");
}

TEST_F(CDriveTest, WholeFilesFailWithTheirReasonAndLeaveNothingCut)
{
    const std::string content(70000, 'k');
    EXPECT_EQ(WriteWholeFile("C:\\cp\\nls.ko", content.data(), content.size()), 0);
    EXPECT_EQ(ReadFile(m_dir.file("c/cp/nls.ko")), content);
    WriteFile(m_dir.file("c/plain"), "a file where a folder should be");
    // An old file that cannot be removed (a folder with something in it here) is never taken for the new one.
    std::filesystem::create_directories(m_dir.file("c/cp/old/inside"));
    const struct
    {
        const char *target;
        int error;
    } cases[] = {
        {"C:\\plain\\nls.ko", ENOTDIR},
        {"C:\\cp\\old", EISDIR},
    };
    for (const auto &c : cases)
    {
        EXPECT_EQ(WriteWholeFile(c.target, content.data(), content.size()), c.error) << c.target;
        EXPECT_EQ(ReplaceFile("C:\\cp\\nls.ko", c.target), c.error) << c.target;
    }
    // A file system that takes the whole write without an error but keeps less (a sink here) fails it.
    std::filesystem::create_symlink("/dev/null", m_dir.file("c/cp/sink"));
    EXPECT_EQ(WriteWholeFile("C:\\cp\\sink", content.data(), content.size()), EIO);
    EXPECT_EQ(ReplaceFile("C:\\cp\\missing", "C:\\cp\\copy"), ENOENT);
    EXPECT_FALSE(PathFileExistsA("C:\\cp\\copy"));
    // An old file is replaced, not kept.
    WriteFile(m_dir.file("c/cp/copy"), "old");
    EXPECT_EQ(ReplaceFile("C:\\cp\\nls.ko", "C:\\cp\\copy"), 0);
    EXPECT_EQ(ReadFile(m_dir.file("c/cp/copy")), content);
    EXPECT_EQ(RemoveFile("C:\\cp\\copy"), 0);
    EXPECT_EQ(RemoveFile("C:\\cp\\copy"), ENOENT);
    EXPECT_EQ(FileErrorText(ENOSPC), "No space left on device");
}

// A share mapped to a drive letter is written through the letter's folder. (GVfs's own folder of a share
// needs a real GVfs: e2e.)
TEST(WinFilesTest, MountedSharesAreWrittenThroughTheirFolders)
{
    // GIO chooses its VFS once per process: the local one here, so that no session's GVfs is asked.
    if (!InFreshProcess())
        return;
    setenv("GIO_USE_VFS", "local", 1);
    TempDir dir;
    const std::string letter = dir.file("elsewhere/smb-share:server=10.0.0.6,share=hdd_a");
    std::filesystem::create_directories(letter);
    std::filesystem::create_directories(dir.file("drives"));
    std::filesystem::create_symlink(letter, dir.file("drives/Y"));
    setenv("IZUZEZ_DRIVES_DIR", dir.file("drives").c_str(), 1);
    const struct
    {
        const char *path;
        std::string file;
    } cases[] = {
        {"\\\\10.0.0.6\\HDD_A\\.systemfile\\.codepages\\codepage.950", letter + "/.systemfile/.codepages/codepage.950"},
        {"//10.0.0.6/HDD_a/.codepages/nls_big5.o", letter + "/.codepages/nls_big5.o"},
    };
    for (const auto &c : cases)
    {
        EXPECT_EQ(WNetAddConnection2A(c.path, "", ""), 0) << c.path;
        EXPECT_EQ(WriteWholeFile(c.path, "page", 4), 0) << c.path;
        EXPECT_EQ(ReadFile(c.file), "page");
        EXPECT_TRUE(PathFileExistsA(c.path));
        EXPECT_EQ(RemoveFile(c.path), 0);
        EXPECT_FALSE(std::filesystem::exists(c.file));
    }
    // No way out of the mount.
    EXPECT_NE(WriteWholeFile("\\\\10.0.0.6\\HDD_a\\..\\escape", "x", 1), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("elsewhere/escape")));
}

TEST(WinFilesTest, UnreachableSharesFailWithoutHanging)
{
    // Nothing listens on the loopback's SMB port in the test; the calls fail and report it.
    EXPECT_EQ(WinFopen("\\\\host\\share", "wb"), nullptr); // no file part
    EXPECT_NE(WNetAddConnection2A("C:\\bt\\bt", "", ""), 0);
    EXPECT_NE(WNetAddConnection2A("\\\\only-server", "", ""), 0);
}

} // namespace
