// Code-page and BitTorrent helper installation through the command line, against the simulator for the
// device's answers and a real Samba server for its disk shares.

#include <gtest/gtest.h>

#include "support/SambaLabSuite.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>

#include <unistd.h>

using namespace izuzez::test;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace
{

// Every device answers from an address of its own on the simulator's side, where Samba serves too.
const char *const kDevices = R"({
  "listen": "10.71.1.2",
  "devices": [
    {"name": "Hdd1", "address": "10.71.1.20", "ideok": "3", "codepage": "850", "sharename": "HDD_1"},
    {"name": "HddA", "address": "10.71.1.21", "ideok": "3", "codepage": "437", "sharename": "HDD_a"},
    {"name": "Extra", "address": "10.71.1.23", "ideok": "5", "codepage": "852", "sharename": "HDD_1"},
    {"name": "Plain", "address": "10.71.1.24", "ideok": "3", "codepage": "852", "sharename": "HDD_1"},
    {"name": "Veto", "address": "10.71.1.25", "ideok": "3", "codepage": "850", "sharename": "HDD_1"},
    {"name": "Bt", "address": "10.71.1.26", "ideok": "4", "bt_firmware": "1", "sharename": "HDD_1",
     "restart_ms": 300},
    {"name": "NoBt", "address": "10.71.1.27", "ideok": "3", "bt_firmware": "2", "sharename": "HDD_1"},
    {"name": "Late", "address": "10.71.1.28", "sharename": "HDD_1", "codepage": "850",
     "answers": {"ideok": ["0", "0", "3"], "sharename": ["", "video", "HDD_1"]}},
    {"name": "Unformatted", "address": "10.71.1.31", "ideok": "2"},
    {"name": "Locked", "address": "10.71.1.34", "ideok": "3", "bt_firmware": "1", "admin_password": "pw",
     "sharename": "HDD_1"},
    {"name": "Full", "address": "10.71.1.35", "ideok": "3", "bt_firmware": "1", "sharename": "HDD_1"},
    {"name": "Stale", "address": "10.71.1.36", "ideok": "3", "bt_firmware": "1", "sharename": "HDD_1"},
    {"name": "Private", "address": "10.71.1.38", "ideok": "3", "codepage": "850", "sharename": "HDD_1",
     "shares": ["HDD_1"]}
  ]
})";

// Smaller than the first kernel module of any code page, larger than its code-page table.
constexpr const char *kFullDiskSize = "64k";

class ServicesTest : public SambaLabSuite
{
protected:
    static void SetUpTestSuite()
    {
        // Before Samba: its namespace sees only the mounts made before it starts.
        if (geteuid() == 0)
            MakeDisks();
        std::vector<std::string> addresses;
        for (int host = 20; host <= 38; ++host)
            addresses.push_back("10.71.1." + std::to_string(host));
        // The user's account comes with a share of its own; HDD_1 lets it in only at the private device.
        StartLab({.devices = kDevices,
                  .shares = {{.name = "HDD_1",
                              .byAddress = {{"10.71.1.25", "veto files = /nls_cp850.ko/"},
                                            {"10.71.1.35", "path = " + s_disks.file("full")},
                                            {"10.71.1.36", "path = " + s_disks.file("stale") + "\nforce user = nobody"},
                                            {"10.71.1.38", std::string("guest ok = no\nguest only = no\n"
                                                                       "valid users = ") +
                                                               kShareUser}}},
                             {.name = "HDD_a"},
                             {.name = "private", .user = kShareUser, .password = kSharePassword}},
                  .sambaAddress = "10.71.1.20",
                  .lanAddresses = addresses,
                  .needsGvfs = false});
        // The waits of the flows (1 s query pauses, the 90 s restart) run a hundred times faster.
        setenv("IZUZEZ_WAIT_DIVISOR", "100", 1);
        setenv("IZUZEZ_C_DRIVE", s_cDrive.file("c").c_str(), 1);
    }
    // A disk too small for the files (a tmpfs of its own) and one whose old files belong to root.
    static void MakeDisks()
    {
        fs::permissions(s_disks.file(""), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        fs::create_directories(s_disks.file("full"));
        const RunResult mount =
            RunProgram({"mount", "-t", "tmpfs", "-o", std::string("size=") + kFullDiskSize + ",mode=0777", "tmpfs",
                        s_disks.file("full")},
                       5s);
        if (mount.status != 0)
        {
            s_failure = "cannot mount a small tmpfs: " + mount.err;
            return;
        }
        s_fullMounted = true;
        for (const char *folder : {"stale/.systemfile/.codepages", "stale/Nas_Prog/BT"})
            fs::create_directories(s_disks.file(folder));
        WriteFile(s_disks.file("stale/.systemfile/.codepages/codepage.950"), "old table");
        WriteFile(s_disks.file("stale/Nas_Prog/BT/bt"), "old bt");
    }
    static void TearDownTestSuite()
    {
        if (s_fullMounted)
            RunProgram({"umount", "-l", s_disks.file("full")}, 5s);
        s_fullMounted = false;
        SambaLabSuite::TearDownTestSuite();
    }
    void SetUp() override
    {
        SambaLabSuite::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        s_samba->ClearShares();
        m_logStart = s_lab->LogText().size();
    }

    // Payload texts of the settings of one sub-command sent to a device since the case began.
    std::vector<std::string> Settings(const std::string &address, int sub) const
    {
        const std::string log = s_lab->LogText().substr(m_logStart);
        std::vector<std::string> out;
        const std::regex line("recv [^\\n]* op=5 sub=" + std::to_string(sub) + " [^\\n]*uuid=[0-9a-f]{12}" +
                              Hex(address) + " [^\\n]*payload_text=\"([^\"]*)\"");
        for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it)
            out.push_back((*it)[1]);
        return out;
    }

    static std::string Hex(const std::string &address)
    {
        unsigned a, b, c, d;
        std::sscanf(address.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d);
        char hex[9];
        std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x", a, b, c, d);
        return hex;
    }

    // File name -> size of every file under a folder of a share.
    static std::map<std::string, std::uintmax_t> Files(const std::string &share, const std::string &folder)
    {
        std::map<std::string, std::uintmax_t> out;
        const fs::path root = fs::path(s_samba->SharePath(share)) / folder;
        if (fs::is_directory(root))
            for (const auto &entry : fs::directory_iterator(root))
                out[entry.path().filename().string()] = fs::file_size(entry.path());
        return out;
    }

    static RunResult Run(const std::vector<std::string> &args, const std::string &input = "")
    {
        return s_lab->Izuzez(args, 60s, input);
    }

    static inline TempDir s_cDrive;
    static inline TempDir s_disks;
    static inline bool s_fullMounted = false;
    std::size_t m_logStart = 0;
};

using Sizes = std::map<std::string, std::uintmax_t>;

TEST_F(ServicesTest, CodepageFilesLandOnTheShareAtTheirSizes)
{
    const struct
    {
        const char *device;
        const char *codepage;
        const char *share;
        const char *folder;
        Sizes files;
    } cases[] = {
        {"10.71.1.20",
         "950",
         "HDD_1",
         ".systemfile/.codepages",
         {{"codepage.950", 8}, {"nls_cp950.ko", 105791}, {"nls_cp950_12.ko", 105887}, {"unicode_map.950", 262174}}},
        {"10.71.1.21",
         "932",
         "HDD_a",
         ".codepages",
         {{"codepage.932", 8},
          {"nls_cp932.o", 82848},
          {"nls_euc-jp.o", 6364},
          {"nls_sjis.o", 1724},
          {"unicode_map.932", 262174}}},
        // The disk state comes on the third query, the share name on the third.
        {"10.71.1.28",
         "850",
         "HDD_1",
         ".systemfile/.codepages",
         {{"codepage.850", 132}, {"nls_cp850.ko", 5719}, {"nls_cp850_12.ko", 5783}, {"unicode_map.850", 131614}}},
        // 857 stands for the three firmware code pages (which ones they are is the rule's): nothing is written.
        {"10.71.1.23", "857", "HDD_1", ".systemfile/.codepages", {}},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(std::string(c.device) + " " + c.codepage);
        s_samba->ClearShares();
        m_logStart = s_lab->LogText().size();
        const RunResult run = Run({"install-codepage", c.device, c.codepage, "--no-restart-wait"});
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        EXPECT_EQ(Files(c.share, c.folder), c.files);
        EXPECT_EQ(Settings(c.device, 10), std::vector<std::string>{"rw"});
        EXPECT_EQ(Settings(c.device, 8), std::vector<std::string>{c.codepage});
        EXPECT_TRUE(Settings(c.device, 13).empty());
    }
}

// Each refusal of the flows is printed as it is (the texts are InstallRulesTest's), and nothing is set; the
// right administrator password then installs.
TEST_F(ServicesTest, RefusalsArePrintedAndNothingIsSet)
{
    const struct
    {
        std::vector<std::string> args;
        const char *input;
        const char *err;
    } cases[] = {
        {{"install-codepage", "10.71.1.24", "857"},
         "",
         "This codepage does not supported in this firmware.\nPlease download the latest firmware from the "
         "support link.\n"},
        {{"install-codepage", "10.71.1.31", "950"},
         "",
         "Please format hard drive.\nThe device's web page: http://10.71.1.31\n"},
        {{"install-bt", "10.71.1.27"}, "", "BitTorrent does not supported on this device now.\n"},
        {{"install-bt", "10.71.1.34", "--password-stdin"}, "nope\n", "Wrong administrator password input!\n"},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        m_logStart = s_lab->LogText().size();
        const RunResult run = Run(c.args, c.input);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, c.err);
        for (const int sub : {8, 10, 14})
            EXPECT_TRUE(Settings(c.args[1], sub).empty()) << sub;
    }
    // The right administrator password then installs.
    const RunResult right = Run({"install-bt", "10.71.1.34", "--password-stdin", "--no-restart-wait"}, "pw\n");
    EXPECT_EQ(right.status, 0) << right.err;
    EXPECT_EQ(Files("HDD_1", "Nas_Prog/BT").size(), 2u);
}

TEST_F(ServicesTest, BitTorrentHelpersGoThroughTheLocalFolder)
{
    const RunResult run = Run({"install-bt", "10.71.1.26"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    const Sizes files = Files("HDD_1", "Nas_Prog/BT");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_GT(files.at("bt"), 0u);
    EXPECT_GT(files.at("btdog"), 0u);
    EXPECT_EQ(ReadFile(s_samba->SharePath("HDD_1") + "/Nas_Prog/BT/bt").substr(0, 9), "#!/bin/sh");
    EXPECT_EQ(Settings("10.71.1.26", 14), std::vector<std::string>{"BT"});
    EXPECT_TRUE(Settings("10.71.1.26", 13).empty());
    // The restart wait ran, and the local work folder is gone.
    EXPECT_NE(run.out.find("The device has restarted."), std::string::npos);
    EXPECT_FALSE(fs::exists(s_cDrive.file("c/bt")));
}

// Disks that take the files only in part: the file and the reason are named, nothing cut short stays, what
// was there before stays, and the device gets "stop" instead of the code page or the helpers' notice.
TEST_F(ServicesTest, AFailedWriteIsAFailureWithItsReason)
{
    for (const auto &entry : fs::directory_iterator(s_disks.file("full")))
        fs::remove_all(entry.path());
    const std::string stale = s_disks.file("stale");
    const struct
    {
        const char *command;
        const char *device;
        const char *codepage; // of install-codepage
        const char *file;     // as named in the message
        const char *reason;   // errno text
        std::string folder;   // where the files land on the server
        Sizes left;           // what the folder holds afterwards
    } cases[] = {
        {"install-codepage",
         "10.71.1.35",
         "950",
         ".systemfile\\.codepages\\nls_cp950.ko",
         "No space left on device",
         s_disks.file("full/.systemfile/.codepages"),
         {{"codepage.950", 8}}},
        {"install-codepage",
         "10.71.1.36",
         "950",
         ".systemfile\\.codepages\\codepage.950",
         "Permission denied",
         stale + "/.systemfile/.codepages",
         {{"codepage.950", 9}}},
        {"install-bt", "10.71.1.36", "", "Nas_Prog/BT\\bt", "Permission denied", stale + "/Nas_Prog/BT", {{"bt", 6}}},
        // The share hides the second file of 850 from this device, so its name cannot be made.
        {"install-codepage",
         "10.71.1.25",
         "850",
         ".systemfile\\.codepages\\nls_cp850.ko",
         "No such file or directory",
         s_samba->SharePath("HDD_1") + "/.systemfile/.codepages",
         {{"codepage.850", 132}}},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(std::string(c.command) + " " + c.device);
        m_logStart = s_lab->LogText().size();
        std::vector<std::string> args{c.command, c.device, "--no-restart-wait"};
        if (std::string(c.command) == "install-codepage")
            args.insert(args.begin() + 2, c.codepage);
        const RunResult run = Run(args);
        EXPECT_EQ(run.status, 1) << run.out;
        EXPECT_EQ(run.err, "izuzez: cannot write \\\\" + std::string(c.device) + "\\HDD_1\\" + c.file + ": " +
                               c.reason + "\nPlease check hard drives.\n");
        Sizes left;
        if (fs::is_directory(c.folder))
            for (const auto &entry : fs::directory_iterator(c.folder))
                left[entry.path().filename().string()] = fs::file_size(entry.path());
        EXPECT_EQ(left, c.left);
        EXPECT_TRUE(Settings(c.device, 8).empty());
        EXPECT_TRUE(Settings(c.device, 14).empty());
        EXPECT_EQ(Settings(c.device, 13), std::vector<std::string>{"stop"});
        EXPECT_EQ(run.out.find("restart"), std::string::npos);
    }
    EXPECT_EQ(ReadFile(stale + "/Nas_Prog/BT/bt"), "old bt");
}

// HDD_1 of the private device lets in only its user: a guest is told how to map it, and once mapped in the
// session the installation writes through that mapping.
TEST_F(ServicesTest, AShareForItsUserOnlyIsReachedThroughTheMapping)
{
    const RunResult guest = Run({"install-codepage", "10.71.1.38", "950", "--no-restart-wait"});
    EXPECT_EQ(guest.status, 1);
    EXPECT_EQ(guest.err, "izuzez: \\\\10.71.1.38\\HDD_1 does not let guests in.\n"
                         "Map it with your user name, then run the installation again:\n"
                         "  izuzez map 10.71.1.38 HDD_1 --user NAME --password-stdin\n"
                         "Please check hard drives.\n");
    EXPECT_TRUE(Settings("10.71.1.38", 8).empty());
    EXPECT_TRUE(Files("HDD_1", ".systemfile/.codepages").empty());

    if (s_gvfs == nullptr)
        GTEST_SKIP() << s_gvfsSkip;
    TempDir drives;
    const auto inSession = [&](const std::vector<std::string> &args, const std::string &input = "")
    { return IzuzezInSession({"IZUZEZ_DRIVES_DIR=" + drives.file("drives")}, args, input); };
    const RunResult map = inSession({"map", "10.71.1.38", "HDD_1", "--user", kShareUser, "--password-stdin"},
                                    kSharePassword + std::string("\n"));
    ASSERT_EQ(map.status, 0) << map.err;
    const RunResult run = inSession({"install-codepage", "10.71.1.38", "950", "--no-restart-wait"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(Files("HDD_1", ".systemfile/.codepages").size(), 4u); // which ones is the first case's
    EXPECT_EQ(Settings("10.71.1.38", 8), std::vector<std::string>{"950"});
    EXPECT_EQ(inSession({"unmap", "Z:"}).status, 0);
}

} // namespace
