// Drive letters against a real Samba server in the device's namespace, through the command line, with a
// private D-Bus session and GVfs started by the test.

#include <gtest/gtest.h>

#include "support/SambaLabSuite.h"

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

using namespace izuzez::test;
using namespace std::chrono_literals;

namespace
{

const char *const kDevices = R"({"devices": [
    {"name": "Nas", "address": "10.71.1.2", "netmask": "255.255.255.0", "gateway": "10.71.1.1",
     "shares": ["public", "Private"], "ssl": "0", "listen": ["10.71.1.2"]}
]})";

class DrivesTest : public SambaLabSuite
{
protected:
    static void SetUpTestSuite() { StartLab({.devices = kDevices, .shares = GuestAndPrivateShares()}); }
    void TearDown() override
    {
        // Every case starts with no letter mapped.
        if (s_gvfs)
            for (const char *letter : {"Z:", "Y:", "X:"})
                Izuzez({"unmap", letter});
    }

    RunResult Izuzez(const std::vector<std::string> &args, const std::string &input = "") const
    {
        return IzuzezInSession({"IZUZEZ_DRIVES_DIR=" + m_drivesDir, "HOME=" + m_home.file("")}, args, input);
    }
    std::string Letter(char letter) const { return m_drivesDir + "/" + letter; }

    static inline TempDir s_drives;
    TempDir m_home;
    std::string m_drivesDir = s_drives.file("drives");
};

TEST_F(DrivesTest, AGuestVolumeMapsToTheFreeLetterNearestZAndCarriesFiles)
{
    const RunResult map = Izuzez({"map", Lab::kLanA, "public"});
    ASSERT_EQ(map.status, 0) << map.err << s_samba->Log();
    EXPECT_EQ(map.out.substr(0, map.out.find('\t')), "Z:");
    EXPECT_NE(map.out.find("\\\\10.71.1.2\\public\t" + s_gvfs->FuseRoot() + "/"), std::string::npos) << map.out;

    WriteFile(Letter('Z') + "/from-client.txt", "written through the letter\n");
    EXPECT_EQ(ReadFile(s_samba->SharePath("public") + "/from-client.txt"), "written through the letter\n");
    WriteFile(s_samba->SharePath("public") + "/from-server.txt", "served\n");
    EXPECT_EQ(ReadFile(Letter('Z') + "/from-server.txt"), "served\n");

    const RunResult drives = Izuzez({"drives"});
    EXPECT_EQ(drives.status, 0);
    EXPECT_EQ(drives.out.rfind("Z:\t\\\\10.71.1.2\\public\t", 0), 0u) << drives.out;
    const RunResult json = Izuzez({"drives", "--json"});
    EXPECT_NE(json.out.find("\"letter\": \"Z:\""), std::string::npos) << json.out;
}

TEST_F(DrivesTest, APasswordVolumeKeepsItsNameAsMappedAndRefusesAWrongPassword)
{
    const RunResult wrong =
        Izuzez({"map", Lab::kLanA, "Private", "Y", "--user", kShareUser, "--password-stdin"}, "not-the-password\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("refused"), std::string::npos) << wrong.err;
    struct stat st
    {
    };
    EXPECT_NE(lstat(Letter('Y').c_str(), &st), 0) << "a refused mapping leaves no letter";

    const RunResult guest = Izuzez({"map", Lab::kLanA, "Private", "Y"});
    EXPECT_EQ(guest.status, 1) << guest.out;

    const RunResult right = Izuzez({"map", Lab::kLanA, "Private", "Y", "--user", kShareUser, "--password-stdin"},
                                   std::string(kSharePassword) + "\n");
    ASSERT_EQ(right.status, 0) << right.err << s_samba->Log();
    // GVfs writes "share=private" in its folder name; the letter keeps the name as mapped.
    const RunResult drives = Izuzez({"drives"});
    EXPECT_NE(drives.out.find("Y:\t\\\\10.71.1.2\\Private\t"), std::string::npos) << drives.out;
    WriteFile(Letter('Y') + "/note.txt", "private\n");
    EXPECT_EQ(ReadFile(s_samba->SharePath("Private") + "/note.txt"), "private\n");
}

TEST_F(DrivesTest, ALetterInUseIsNotReplacedAndUnmapFreesIt)
{
    ASSERT_EQ(Izuzez({"map", Lab::kLanA, "public", "X"}).status, 0);
    const RunResult again = Izuzez({"map", Lab::kLanA, "public", "X"});
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.err.find("X: is in use by \\\\10.71.1.2\\public"), std::string::npos) << again.err;

    const RunResult unmap = Izuzez({"unmap", "X:"});
    EXPECT_EQ(unmap.status, 0) << unmap.err;
    struct stat st
    {
    };
    EXPECT_NE(lstat(Letter('X').c_str(), &st), 0);
    EXPECT_EQ(Izuzez({"drives"}).out, "");
    const RunResult twice = Izuzez({"unmap", "X:"});
    EXPECT_EQ(twice.status, 1);
    EXPECT_NE(twice.err.find("not mapped"), std::string::npos) << twice.err;
}

TEST_F(DrivesTest, AVolumeTheDeviceDoesNotListIsRefusedBeforeMounting)
{
    const RunResult run = Izuzez({"map", Lab::kLanA, "nothere"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("has no volume 'nothere'"), std::string::npos) << run.err;
}

TEST_F(DrivesTest, ARememberedGuestMappingComesBackInANewSession)
{
    const RunResult map = Izuzez({"map", Lab::kLanA, "public", "W"});
    ASSERT_EQ(map.status, 0) << map.err;
    // The session ends: GVfs and its mounts go, the letter stays behind without its share.
    s_gvfs.reset();
    s_gvfs = GvfsSession::Start(s_lab->host(), s_failure);
    ASSERT_NE(s_gvfs, nullptr) << s_failure;
    EXPECT_EQ(Izuzez({"drives"}).out, "");

    const RunResult back = Izuzez({"drives", "--reconnect"});
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.out.rfind("W:\t\\\\10.71.1.2\\public\t" + s_gvfs->FuseRoot(), 0), 0u) << back.out;
    WriteFile(s_samba->SharePath("public") + "/again.txt", "back\n");
    EXPECT_EQ(ReadFile(Letter('W') + "/again.txt"), "back\n");
    EXPECT_EQ(Izuzez({"unmap", "W:"}).status, 0);
}

} // namespace
