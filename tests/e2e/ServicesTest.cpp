// Code-page and BitTorrent helper installation through the command line, against the simulator for the
// device's answers and a real Samba server for its disk shares.

#include <gtest/gtest.h>

#include "support/Lab.h"
#include "support/SambaServer.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>

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
    {"name": "Lower", "address": "10.71.1.22", "ideok": "3", "codepage": "950", "sharename": "hdd_1"},
    {"name": "Extra", "address": "10.71.1.23", "ideok": "5", "codepage": "852", "sharename": "HDD_1"},
    {"name": "Plain", "address": "10.71.1.24", "ideok": "3", "codepage": "852", "sharename": "HDD_1"},
    {"name": "Veto", "address": "10.71.1.25", "ideok": "3", "codepage": "850", "sharename": "HDD_1"},
    {"name": "Bt", "address": "10.71.1.26", "ideok": "4", "bt_firmware": "1", "sharename": "HDD_1",
     "restart_ms": 300},
    {"name": "NoBt", "address": "10.71.1.27", "ideok": "3", "bt_firmware": "2", "sharename": "HDD_1"},
    {"name": "Late", "address": "10.71.1.28", "sharename": "HDD_1", "codepage": "850",
     "answers": {"ideok": ["0", "0", "3"], "sharename": ["", "video", "HDD_1"]}},
    {"name": "NoDisk", "address": "10.71.1.30", "ideok": "1"},
    {"name": "Unformatted", "address": "10.71.1.31", "ideok": "2"},
    {"name": "Unicode", "address": "10.71.1.32", "ideok": "4"},
    {"name": "Old", "address": "10.71.1.33", "ideok": "0"},
    {"name": "Locked", "address": "10.71.1.34", "ideok": "3", "bt_firmware": "1", "admin_password": "pw",
     "sharename": "HDD_1"}
  ]
})";

class ServicesTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_lab = Lab::Create(s_skip).release();
        if (!s_lab)
            return;
        for (int host = 20; host <= 34; ++host)
            RunProgram(
                {"ip", "-n", s_lab->lan(), "addr", "add", "10.71.1." + std::to_string(host) + "/24", "dev", "lA"}, 5s);
        if (!s_lab->StartSimulator(kDevices, s_failure))
            return;
        s_samba = SambaServer::Start(
                      {"ip", "netns", "exec", s_lab->lan()}, s_lab->InHost({}), "10.71.1.20",
                      {{.name = "HDD_1", .veto = "/nls_cp850.ko/", .vetoAddress = "10.71.1.25"}, {.name = "HDD_a"}},
                      s_failure)
                      .release();
        s_cDrive = new TempDir;
        // The waits of the flows (1 s query pauses, the 90 s restart) run a hundred times faster.
        setenv("IZUZEZ_WAIT_DIVISOR", "100", 1);
        setenv("IZUZEZ_C_DRIVE", s_cDrive->file("c").c_str(), 1);
    }
    static void TearDownTestSuite()
    {
        delete s_samba;
        delete s_lab;
        delete s_cDrive;
        s_samba = nullptr;
        s_lab = nullptr;
        s_cDrive = nullptr;
    }
    void SetUp() override
    {
        if (!s_lab)
            GTEST_SKIP() << s_skip;
        ASSERT_TRUE(s_failure.empty()) << s_failure;
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

    static inline Lab *s_lab = nullptr;
    static inline SambaServer *s_samba = nullptr;
    static inline TempDir *s_cDrive = nullptr;
    static inline std::string s_skip;
    static inline std::string s_failure;
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
        {"10.71.1.20",
         "932",
         "HDD_1",
         ".systemfile/.codepages",
         {{"codepage.932", 8},
          {"nls_cp932.ko", 82562},
          {"nls_euc-jp.ko", 6809},
          {"nls_cp932_12.ko", 82995},
          {"nls_euc-jp_12.ko", 6921},
          {"unicode_map.932", 262174}}},
        // A lower-case answer is used as received; the server's share names ignore case.
        {"10.71.1.22",
         "866",
         "HDD_1",
         ".systemfile/.codepages",
         {{"codepage.866", 588},
          {"nls_cp866.ko", 6006},
          {"nls_koi8-r.ko", 6010},
          {"nls_cp866_12.ko", 6070},
          {"nls_koi8-r_12.ko", 6074},
          {"unicode_map.866", 588},
          {"unicode_map.KOI8-R", 131614}}},
        // The disk state comes on the third query, the share name on the third.
        {"10.71.1.28",
         "850",
         "HDD_1",
         ".systemfile/.codepages",
         {{"codepage.850", 132}, {"nls_cp850.ko", 5719}, {"nls_cp850_12.ko", 5783}, {"unicode_map.850", 131614}}},
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

TEST_F(ServicesTest, WrittenBytesAreTheEmbeddedOnes)
{
    ASSERT_EQ(Run({"install-codepage", "10.71.1.20", "850", "--no-restart-wait"}).status, 0);
    const std::string written = ReadFile(s_samba->SharePath("HDD_1") + "/.systemfile/.codepages/codepage.850");
    ASSERT_EQ(written.size(), 132u);
    EXPECT_EQ(written.substr(0, 4), std::string("\x01\x00\x52\x03", 4)); // version 1, code page 850
}

TEST_F(ServicesTest, FirmwareCodepagesWriteNothingAndNeedTheFirmware)
{
    for (const char *codepage : {"865", "852", "857"})
    {
        SCOPED_TRACE(codepage);
        m_logStart = s_lab->LogText().size();
        const RunResult capable = Run({"install-codepage", "10.71.1.23", codepage, "--no-restart-wait"});
        EXPECT_EQ(capable.status, 0) << capable.err;
        EXPECT_EQ(Settings("10.71.1.23", 8), std::vector<std::string>{codepage});
        EXPECT_TRUE(Files("HDD_1", ".systemfile/.codepages").empty());

        const RunResult plain = Run({"install-codepage", "10.71.1.24", codepage, "--no-restart-wait"});
        EXPECT_EQ(plain.status, 1);
        EXPECT_EQ(plain.err, "This codepage does not supported in this firmware.\nPlease download the latest "
                             "firmware from the support link.\n");
        EXPECT_TRUE(Settings("10.71.1.24", 8).empty());
    }
}

TEST_F(ServicesTest, FailedFileKeepsTheFirstAndSendsStop)
{
    // The share refuses the second file of 850 to this device.
    const RunResult run = Run({"install-codepage", "10.71.1.25", "850", "--no-restart-wait"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Please check hard drives.\n");
    EXPECT_EQ(Files("HDD_1", ".systemfile/.codepages"), (Sizes{{"codepage.850", 132}}));
    EXPECT_EQ(Settings("10.71.1.25", 13), std::vector<std::string>{"stop"});
    EXPECT_TRUE(Settings("10.71.1.25", 8).empty());
}

TEST_F(ServicesTest, EveryDiskStateHasItsMessage)
{
    const std::pair<const char *, const char *> cases[] = {
        {"10.71.1.30", "No hard drives were detected.\nPlease verify that the hard drives are properly connected "
                       "before continuing.\n"},
        {"10.71.1.31", "Please format hard drive.\nThe device's web page: http://10.71.1.31\n"},
        {"10.71.1.32", "This device supports Unicode.\n"},
        {"10.71.1.33", "Multi-language options are not supported on this device.\n"},
    };
    for (const auto &[device, message] : cases)
    {
        const RunResult run = Run({"install-codepage", device, "950"});
        EXPECT_EQ(run.status, 1) << device;
        EXPECT_EQ(run.err, message);
        EXPECT_TRUE(Settings(device, 10).empty()) << device;
    }
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
    EXPECT_FALSE(fs::exists(s_cDrive->file("c/bt")));
}

TEST_F(ServicesTest, BitTorrentRefusals)
{
    const RunResult noBt = Run({"install-bt", "10.71.1.27"});
    EXPECT_EQ(noBt.status, 1);
    EXPECT_EQ(noBt.err, "BitTorrent does not supported on this device now.\n");
    EXPECT_TRUE(Settings("10.71.1.27", 10).empty());

    const RunResult noDisk = Run({"install-bt", "10.71.1.30"});
    EXPECT_EQ(noDisk.status, 1);
    EXPECT_EQ(noDisk.err.rfind("No hard drives were detected.", 0), 0u);

    const RunResult wrong = Run({"install-bt", "10.71.1.34", "--password-stdin"}, "nope\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.err, "Wrong administrator password input!\n");

    const RunResult right = Run({"install-bt", "10.71.1.34", "--password-stdin", "--no-restart-wait"}, "pw\n");
    EXPECT_EQ(right.status, 0) << right.err;
    EXPECT_EQ(Files("HDD_1", "Nas_Prog/BT").size(), 2u);
}

} // namespace
