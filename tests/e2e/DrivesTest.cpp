// Drive letters against a real Samba server in the device's namespace, through the command line (and the
// platform layer in this process), with a private D-Bus session and GVfs started by the test.

#include <gtest/gtest.h>

#include "platform/NetworkDrives.h"
#include "platform/WinFiles.h"
#include "platform/linux/ShareMounter.h"
#include "support/SambaLabSuite.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

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

// The login's reconnect ends within 15 s, the unmounts of shares that came too late included; the rest is
// room for a loaded two-core machine.
constexpr auto kLoginBound = 15s;
constexpr auto kLoadRoom = 8s;
// An address of the lab's first network where no host answers.
constexpr const char *kAbsent = "10.71.1.9";

// The Exec line of the autostart entry the package installs, its program taken from the build.
std::vector<std::string> AutostartCommand()
{
    std::istringstream entry(ReadFile(IZUZEZ_AUTOSTART_ENTRY));
    std::string line;
    std::vector<std::string> words;
    while (std::getline(entry, line))
    {
        if (line.rfind("Exec=", 0) != 0)
            continue;
        std::istringstream split(line.substr(5));
        for (std::string word; split >> word;)
            words.push_back(word);
    }
    if (!words.empty() && words[0] == "izuzez")
        words[0] = BinDir() + "/izuzez";
    return words;
}

// Runs argv on a terminal of its own (a pseudo-terminal made by `script`), so that a password prompt would
// show and wait. Standard error comes out with standard output; the terminal's "\r" is dropped.
RunResult OnTerminal(std::vector<std::string> prefix, const std::vector<std::string> &argv)
{
    std::string command = "exec";
    for (const std::string &word : argv)
        command += " '" + word + "'";
    prefix.insert(prefix.end(), {"script", "-qefc", command, "/dev/null"});
    RunResult run = RunProgram(prefix, 60s);
    run.out.erase(std::remove(run.out.begin(), run.out.end(), '\r'), run.out.end());
    return run;
}

class DrivesTest : public SambaLabSuite
{
protected:
    static void SetUpTestSuite()
    {
        // "Archive" is the in-process case's own: it stays mounted, without a letter, to the end.
        std::vector<SambaShare> shares = GuestAndPrivateShares();
        shares.push_back({.name = "Archive", .user = kShareUser, .password = kSharePassword});
        StartLab({.devices = kDevices, .shares = shares});
        if (!s_gvfs)
            return;
        JoinGvfsSession(s_drives.file("drives"));
    }
    void TearDown() override
    {
        // Every case starts with no letter mapped.
        if (s_gvfs)
            for (const char *letter : {"Z:", "Y:", "X:", "W:"})
                Izuzez({"unmap", letter});
    }

    RunResult Izuzez(const std::vector<std::string> &args, const std::string &input = "") const
    {
        return IzuzezInSession({"IZUZEZ_DRIVES_DIR=" + m_drivesDir, "HOME=" + m_home.file("")}, args, input);
    }
    std::string Letter(char letter) const { return m_drivesDir + "/" + letter; }
    // What the login runs, in this session, with the drives folder `drivesDir`.
    RunResult AtLogin(const std::string &drivesDir) const
    {
        return OnTerminal(s_gvfs->Wrap({"IZUZEZ_DRIVES_DIR=" + drivesDir, "HOME=" + m_home.file("")}),
                          AutostartCommand());
    }

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

    // The letter is a place of the file manager until it is unmapped (the test main's config folder).
    const std::string bookmarks = std::string(std::getenv("XDG_CONFIG_HOME")) + "/gtk-3.0/bookmarks";
    EXPECT_EQ(ReadFile(bookmarks), "smb://10.71.1.2/public Z: public on Nas\n");
    EXPECT_EQ(Izuzez({"unmap", "Z:"}).status, 0);
    EXPECT_EQ(ReadFile(bookmarks), "");
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

// In this process, where nothing runs GLib's global main context (through which GVfs's client answers the
// asynchronous lookups of a mount it has seen). Before the login cases: those start a new session, and GIO
// keeps the first one it found.
TEST_F(DrivesTest, InOneProcessAShareMountedWithoutALetterTakesFilesUnderEitherCaseOfItsName)
{
    const izuzez::platform::MountRequest request{.server = Lab::kLanA,
                                                 .share = "Archive",
                                                 .domain = "",
                                                 .user = kShareUser,
                                                 .password = kSharePassword,
                                                 .remoteName = "\\\\10.71.1.2\\Archive"};
    std::string folder;
    ASSERT_EQ(izuzez::platform::CreateGioMounter()->Mount(request, folder), 0) << s_samba->Log();
    // The second lookup finds the mount GVfs's client knows; a write past GVfs would be a guest's, refused.
    const struct
    {
        const char *share;
        const char *file;
    } writes[] = {{"Archive", "first"}, {"ARCHIVE", "second"}};
    for (const auto &w : writes)
    {
        const std::string path = "\\\\10.71.1.2\\" + std::string(w.share) + "\\" + w.file;
        EXPECT_EQ(izuzez::platform::WriteWholeFile(path, "x", 1), 0) << path;
        EXPECT_EQ(ReadFile(s_samba->SharePath("Archive") + "/" + w.file), "x") << path;
    }
}

TEST_F(DrivesTest, InOneProcessALetterJustMappedUnmapsAtOnceAndMapsAgainTakingFilesAtOnce)
{
    izuzez::platform::NetworkDrives &drives = izuzez::platform::CurrentNetworkDrives();
    ASSERT_EQ(drives.AddConnection("X:", "\\\\10.71.1.2\\public", "", "", 0), 0) << s_samba->Log();
    const std::string folder = drives.LocalPath("X:");
    ASSERT_NE(folder, "");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(drives.CancelConnection("X:", 0, false), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "the unmount's bound is 30 s";
    std::error_code ec;
    EXPECT_FALSE(std::filesystem::is_directory(folder, ec)) << "still mounted";
    // Within the second in which the old folder would still resolve, a file made there failed with EIO.
    ASSERT_EQ(drives.AddConnection("X:", "\\\\10.71.1.2\\public", "", "", 0), 0) << s_samba->Log();
    EXPECT_EQ(izuzez::platform::WriteWholeFile(drives.LocalPath("X:") + "/again.txt", "x", 1), 0);
    EXPECT_EQ(ReadFile(s_samba->SharePath("public") + "/again.txt"), "x");
}

TEST_F(DrivesTest, AtLoginTheEntryBringsGuestLettersBackAndLeavesPasswordOnesWithoutAsking)
{
    const std::vector<std::string> command = AutostartCommand();
    ASSERT_GE(command.size(), 2u) << "no Exec line in " << IZUZEZ_AUTOSTART_ENTRY;
    ASSERT_EQ(Izuzez({"map", Lab::kLanA, "public", "W"}).status, 0);
    const RunResult map = Izuzez({"map", Lab::kLanA, "Private", "Y", "--user", kShareUser, "--password-stdin"},
                                 std::string(kSharePassword) + "\n");
    ASSERT_EQ(map.status, 0) << map.err;
    // The session ends: GVfs and its mounts go, the letters stay behind without their shares. The next login
    // runs the entry, on a terminal where a prompt would show.
    s_gvfs.reset();
    s_gvfs = GvfsSession::Start(s_lab->host(), s_failure);
    ASSERT_NE(s_gvfs, nullptr) << s_failure;
    EXPECT_NE(Izuzez({"drives"}).out.find("W:\t\\\\10.71.1.2\\public\t\tdisconnected\n"), std::string::npos);

    const RunResult login = AtLogin(m_drivesDir);
    EXPECT_EQ(login.status, 1) << "a letter is not back: " << login.out;
    EXPECT_EQ(login.out.find("Share password"), std::string::npos) << login.out;
    EXPECT_NE(login.out.find("Y: waits for the password of " + std::string(kShareUser)), std::string::npos)
        << login.out;
    WriteFile(s_samba->SharePath("public") + "/login.txt", "back at login\n");
    EXPECT_EQ(ReadFile(Letter('W') + "/login.txt"), "back at login\n");

    const RunResult drives = Izuzez({"drives"});
    EXPECT_EQ(drives.out.rfind("Y:\t\\\\10.71.1.2\\Private\t\tneeds-password\n", 0), 0u) << drives.out;
    EXPECT_NE(drives.out.find("W:\t\\\\10.71.1.2\\public\t" + s_gvfs->FuseRoot()), std::string::npos) << drives.out;
    EXPECT_EQ(Izuzez({"unmap", "Y:"}).status, 0) << "a letter waiting for its password can be forgotten";
}

TEST_F(DrivesTest, AtLoginTheEntryEndsAtOnceWithNothingRememberedAndWithinItsBoundForAbsentDevices)
{
    // A device that takes the connection and then says nothing, at the host's own address (port 445 listening,
    // never accepting).
    const int silent = ListenInNamespace(s_lab->host(), Lab::kHostA, 445);
    ASSERT_GE(silent, 0);
    const std::string silentShare = "\\\\" + std::string(Lab::kHostA) + "\\";
    const std::string absent = "\\\\" + std::string(kAbsent) + "\\public";
    const struct
    {
        const char *name;
        std::vector<std::pair<char, std::string>> remembered; // letter and remote name
        int status;
        const char *said; // a part of the output; empty: no output at all
        std::chrono::milliseconds atMost;
    } cases[] = {
        {"nothing remembered", {}, 0, "", 3s},
        {"device absent", {{'V', absent}}, 1, "does not answer", kLoginBound + kLoadRoom},
        // Each of these would take about 5 s on its own, 30 s one after the other.
        {"four silent, two absent: one bound for all",
         {{'W', silentShare + "a"},
          {'U', silentShare + "b"},
          {'T', silentShare + "c"},
          {'S', silentShare + "d"},
          {'R', absent},
          {'Q', absent}},
         1,
         "Could not reconnect Q:",
         kLoginBound + kLoadRoom},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        const TempDir folder;
        // The notes an earlier session's mappings left behind.
        for (const auto &[letter, remote] : c.remembered)
            WriteFile(folder.file(std::string(".") + letter + ".conn"), "remember=1\nremote=" + remote + "\nuser=\n");
        const RunResult login = AtLogin(folder.file(""));
        EXPECT_EQ(login.status, c.status) << login.out;
        if (std::string(c.said).empty())
            EXPECT_EQ(login.out, "");
        else
            EXPECT_NE(login.out.find(c.said), std::string::npos) << login.out;
        EXPECT_LT(login.elapsed, c.atMost) << login.out;
    }
    close(silent);
}

} // namespace
