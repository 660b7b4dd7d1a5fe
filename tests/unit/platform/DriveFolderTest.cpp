// Drive letters over a folder of symbolic links to GVfs mount paths, made in a temporary folder: types,
// connections, the remote name as mapped, the profile flag, shared mounts and the error codes.

#include "platform/linux/DriveFolder.h"
#include "platform/SystemInfo.h"
#include "platform/linux/ShareMounter.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
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

class FolderMounter : public ShareMounter
{
public:
    explicit FolderMounter(fs::path root) : m_root(std::move(root)) {}
    std::deque<int> mountAnswers;
    std::deque<int> unmountAnswers;
    std::vector<MountRequest> mounts;
    std::vector<std::string> unmounts;

    int Mount(const MountRequest &request, std::string &localPath) override
    {
        mounts.push_back(request);
        const int answer = Next(mountAnswers);
        if (answer != NO_ERROR)
            return answer;
        const fs::path path = m_root / ("smb-share:server=" + request.server + ",share=" + request.share);
        fs::create_directories(path);
        localPath = path.string();
        return NO_ERROR;
    }
    int Unmount(const std::string &server, const std::string &share, bool force) override
    {
        unmounts.push_back(server + "/" + share + (force ? " force" : ""));
        return Next(unmountAnswers);
    }

private:
    static int Next(std::deque<int> &answers)
    {
        if (answers.empty())
            return NO_ERROR;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    fs::path m_root;
};

// Connecting and disconnecting letters, with the mounter played by a fake that makes folders.
class DriveConnectionTest : public DriveFolderTest
{
protected:
    const std::shared_ptr<FolderMounter> m_mounter = std::make_shared<FolderMounter>(m_root / "gvfs");
    const std::unique_ptr<DriveFolder> m_drives =
        std::make_unique<DriveFolder>((m_root / "drives").string(), (m_root / "c").string(), m_mounter);
};

TEST_F(DriveConnectionTest, AConnectedLetterKeepsTheRemoteNameAsMapped)
{
    ASSERT_EQ(m_drives->AddConnection("Z:", "\\\\10.0.0.5\\Media", "", "", CONNECT_UPDATE_PROFILE), NO_ERROR);
    ASSERT_EQ(m_mounter->mounts.size(), 1u);
    const MountRequest &request = m_mounter->mounts[0];
    EXPECT_EQ(request.server, "10.0.0.5");
    EXPECT_EQ(request.share, "Media");
    EXPECT_TRUE(request.anonymous);
    EXPECT_FALSE(request.interactive);

    EXPECT_EQ(m_drives->GetDriveType("Z:"), DRIVE_REMOTE);
    std::string remote;
    ASSERT_TRUE(m_drives->GetConnection("z:", remote));
    EXPECT_EQ(remote, "\\\\10.0.0.5\\Media");
    EXPECT_EQ(m_drives->LocalPath("Z:"), (m_root / "gvfs/smb-share:server=10.0.0.5,share=Media").string());
    EXPECT_TRUE(fs::is_directory(m_root / "drives/Z"));
}

TEST_F(DriveConnectionTest, CredentialsReachTheMounterSplitAtTheDomain)
{
    const struct
    {
        const char *password;
        const char *user;
        unsigned flags;
        const char *wantUser;
        const char *wantDomain;
        const char *wantPassword;
        bool anonymous;
    } cases[] = {
        {"pw", "bob", CONNECT_UPDATE_PROFILE, "bob", "", "pw", false},
        {nullptr, "WORK\\alice", CONNECT_UPDATE_PROFILE, "alice", "WORK", "", false},
        {"", "", CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE, "", "", "", true},
    };
    char letter = 'Z';
    for (const auto &c : cases)
    {
        const std::string local{letter--, ':'};
        ASSERT_EQ(m_drives->AddConnection(local, "\\\\nas\\share", c.password, c.user, c.flags), NO_ERROR);
        const MountRequest &request = m_mounter->mounts.back();
        EXPECT_EQ(request.user, c.wantUser);
        EXPECT_EQ(request.domain, c.wantDomain);
        EXPECT_EQ(request.password, c.wantPassword);
        EXPECT_EQ(request.anonymous, c.anonymous);
        EXPECT_EQ(request.interactive, (c.flags & CONNECT_INTERACTIVE) != 0);
        EXPECT_EQ(request.remoteName, "\\\\nas\\share");
    }
}

TEST_F(DriveConnectionTest, RefusalsComeBackWithTheOriginalCodes)
{
    fs::create_directories(m_root / "drives");
    fs::create_directory_symlink(m_root, m_root / "drives/Y");
    const struct
    {
        const char *local;
        const char *remote;
        int mountAnswer;
        int code;
    } cases[] = {
        {"Z:", "\\\\nas\\share", ERROR_LOGON_FAILURE, ERROR_LOGON_FAILURE},
        {"Z:", "\\\\nas\\share", ERROR_BAD_NETPATH, ERROR_BAD_NETPATH},
        {"Y:", "\\\\nas\\share", NO_ERROR, ERROR_ALREADY_ASSIGNED},
        {"C:", "\\\\nas\\share", NO_ERROR, ERROR_ALREADY_ASSIGNED},
        // Which letters and remote names are well formed is DriveFolderTest's and RemoteNameTest's.
        {"Z", "\\\\nas\\share", NO_ERROR, ERROR_BAD_DEVICE},
        {"Z:", "\\\\nas\\..\\..", NO_ERROR, ERROR_BAD_NET_NAME},
    };
    for (const auto &c : cases)
    {
        m_mounter->mountAnswers = {c.mountAnswer};
        EXPECT_EQ(m_drives->AddConnection(c.local, c.remote, "", "", CONNECT_UPDATE_PROFILE), c.code)
            << c.local << " " << c.remote;
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_root / "drives/Z")));
    EXPECT_EQ(m_mounter->mounts.size(), 2u) << "only well-formed requests for a free letter reach the mounter";
}

TEST_F(DriveConnectionTest, TheMountGoesWithTheLastLetterThatUsesIt)
{
    ASSERT_EQ(m_drives->AddConnection("Z:", "\\\\nas\\share", "", "", CONNECT_UPDATE_PROFILE), NO_ERROR);
    ASSERT_EQ(m_drives->AddConnection("Y:", "\\\\nas\\share", "", "", CONNECT_UPDATE_PROFILE), NO_ERROR);
    EXPECT_EQ(m_drives->CancelConnection("Z:", CONNECT_UPDATE_PROFILE, false), NO_ERROR);
    EXPECT_TRUE(m_mounter->unmounts.empty());
    std::string remote;
    EXPECT_FALSE(m_drives->GetConnection("Z:", remote));
    EXPECT_TRUE(m_drives->GetConnection("Y:", remote));
    EXPECT_EQ(m_drives->CancelConnection("Y:", CONNECT_UPDATE_PROFILE, true), NO_ERROR);
    EXPECT_EQ(m_mounter->unmounts, std::vector<std::string>{"nas/share force"});
    EXPECT_EQ(m_drives->CancelConnection("Y:", CONNECT_UPDATE_PROFILE, true), ERROR_NOT_CONNECTED);
    for (const char *other : {"C:", "Q:"})
        EXPECT_EQ(m_drives->CancelConnection(other, CONNECT_UPDATE_PROFILE, true), ERROR_NOT_CONNECTED) << other;
}

TEST_F(DriveConnectionTest, ABusyMountKeepsItsLetterUnlessForced)
{
    ASSERT_EQ(m_drives->AddConnection("Z:", "\\\\nas\\share", "", "", CONNECT_UPDATE_PROFILE), NO_ERROR);
    m_mounter->unmountAnswers = {ERROR_OPEN_FILES};
    EXPECT_EQ(m_drives->CancelConnection("Z:", CONNECT_UPDATE_PROFILE, false), ERROR_OPEN_FILES);
    std::string remote;
    EXPECT_TRUE(m_drives->GetConnection("Z:", remote));
    m_mounter->unmountAnswers = {ERROR_OPEN_FILES};
    EXPECT_EQ(m_drives->CancelConnection("Z:", CONNECT_UPDATE_PROFILE, true), NO_ERROR);
    EXPECT_FALSE(m_drives->GetConnection("Z:", remote));
}

TEST_F(DriveConnectionTest, RememberedLettersAreListedOnceTheirMountHasGone)
{
    ASSERT_EQ(m_drives->AddConnection("Z:", "\\\\nas\\Keep", "", "bob", CONNECT_UPDATE_PROFILE), NO_ERROR);
    ASSERT_EQ(m_drives->AddConnection("Y:", "\\\\nas\\Once", "", "", 0), NO_ERROR);
    EXPECT_TRUE(m_drives->DisconnectedRemembered().empty());
    // A new login: the GVfs mounts are gone, the links and their notes are not.
    fs::remove_all(m_root / "gvfs");
    const std::vector<RememberedDrive> remembered = m_drives->DisconnectedRemembered();
    ASSERT_EQ(remembered.size(), 1u);
    EXPECT_EQ(remembered[0].localName, "Z:");
    EXPECT_EQ(remembered[0].remoteName, "\\\\nas\\Keep");
    EXPECT_EQ(remembered[0].userName, "bob");
    EXPECT_EQ(m_drives->GetDriveType("Z:"), DRIVE_NO_ROOT_DIR);
    // The letter stays its share's, with or without its stale link, until it is unmapped; the stale link of a
    // mapping that was not remembered holds nothing.
    EXPECT_EQ(m_drives->AddConnection("Z:", "\\\\nas\\Other", "", "", CONNECT_UPDATE_PROFILE), ERROR_ALREADY_ASSIGNED);
    EXPECT_EQ(m_drives->AddConnection("Y:", "\\\\nas\\Other", "", "", 0), NO_ERROR);
    EXPECT_EQ(m_drives->CancelConnection("Z:", 0, true), NO_ERROR);
    EXPECT_EQ(m_drives->AddConnection("Z:", "\\\\nas\\Other", "", "", CONNECT_UPDATE_PROFILE), ERROR_ALREADY_ASSIGNED);
    EXPECT_EQ(m_drives->AddConnection("Z:", "\\\\NAS\\keep", "", "bob", CONNECT_UPDATE_PROFILE), NO_ERROR);
    fs::remove_all(m_root / "gvfs");
    // Forgetting it with the profile flag removes the note as well.
    EXPECT_EQ(m_drives->CancelConnection("Z:", CONNECT_UPDATE_PROFILE, true), NO_ERROR);
    EXPECT_TRUE(m_drives->DisconnectedRemembered().empty());
}

} // namespace
