// Connecting and disconnecting letters in the drive folder, with the mounter played by a fake that makes
// folders: links, the remote name as mapped, the profile flag, shared mounts and the error codes.

#include "platform/linux/DriveFolder.h"
#include "platform/linux/ShareMounter.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

using namespace izuzez::platform;
namespace fs = std::filesystem;

namespace
{

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

class DriveConnectionTest : public ::testing::Test
{
protected:
    izuzez::test::TempDir m_temp;
    const fs::path m_root = m_temp.file("");
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
