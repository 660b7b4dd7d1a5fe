// open, map, unmap and drives against a fake session, fake drive letters and a fake web layer.

#include "DriveCommands.h"
#include "ShareCommands.h"
#include "platform/linux/DriveFolder.h"
#include "support/FakeDeviceSession.h"
#include "support/FakeNetworkDrives.h"
#include "support/FakeWebAccess.h"
#include "support/Installed.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace izuzez::cli;
using namespace izuzez::platform;
using namespace izuzez::test;

namespace
{

class DriveCommandsTest : public ::testing::Test
{
protected:
    DriveCommandsTest()
    {
        m_session.searches = {{Device("Nas", "10.0.0.5")}};
        m_session.answers = {{QueryKind::Shares, {"public", "Media"}}};
        m_drives->types = {{'C', DRIVE_FIXED}, {'Z', DRIVE_FIXED}}; // Z: is a local disk here
        m_drives->pathRoot = "/run/gvfs/";
        m_web->browser = "web.desktop";
        m_web->command = "web";
    }
    int Run(const std::vector<std::string> &args, std::string *out = nullptr, std::string *err = nullptr)
    {
        const ParseResult parsed = ParseCommandLine(args);
        EXPECT_TRUE(parsed.ok) << parsed.error;
        std::ostringstream o;
        std::ostringstream e;
        Console console{o, e, nullptr, false,
                        [this](const std::string &prompt)
                        {
                            m_prompts.push_back(prompt);
                            return std::optional<std::string>("pw");
                        }};
        const int status = RunCommand(parsed.options, m_session, console);
        if (out)
            *out = o.str();
        if (err)
            *err = e.str();
        return status;
    }

    FakeDeviceSession m_session;
    std::vector<std::string> m_prompts;
    Installed<FakeNetworkDrives> m_drives;
    Installed<FakeWebAccess> m_web;
};

TEST(DriveCommandLine, ArgumentsAreCheckedBeforeAnythingRuns)
{
    const struct
    {
        std::vector<std::string> args;
        bool ok;
    } cases[] = {
        {{"open", "10.0.0.5"}, true},
        {{"open", "10.0.0.5", "--print-url"}, true},
        {{"open"}, false},
        {{"open", "010.0.0.5"}, false},
        {{"map", "10.0.0.5", "public"}, true},
        {{"map", "10.0.0.5", "public", "y"}, true},
        {{"map", "10.0.0.5", "public", "Y:", "--user", "bob", "--password-stdin"}, true},
        {{"map", "10.0.0.5", "public", "C:"}, false},
        {{"map", "10.0.0.5", "public", "B"}, false},
        {{"map", "10.0.0.5", "public", "7"}, false},
        {{"map", "10.0.0.5", "a\\b"}, false},
        {{"map", "10.0.0.5", "public", "--password-stdin"}, false},
        {{"map", "10.0.0.5"}, false},
        {{"unmap", "Z:"}, true},
        {{"unmap"}, false},
        {{"drives", "--json"}, true},
        {{"drives", "--reconnect"}, true},
        {{"drives", "--reconnect", "--no-prompt"}, true},
        {{"drives", "--no-prompt"}, false},
        {{"map", "10.0.0.5", "public", "--no-prompt"}, false},
        {{"search", "--no-prompt"}, false},
        {{"drives", "extra"}, false},
        {{"search", "--print-url"}, false},
        {{"query", "10.0.0.5", "ssl", "--user", "x"}, false},
        {{"unmap", "Z:", "--json"}, false},
    };
    for (const auto &c : cases)
    {
        const ParseResult parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.ok, c.ok) << c.args[0] << " " << (c.args.size() > 1 ? c.args.back() : "") << ": "
                                   << parsed.error;
    }
    EXPECT_EQ(ParseCommandLine({"map", "10.0.0.5", "public", "y"}).options.letter, "Y:");
}

TEST_F(DriveCommandsTest, MapTakesTheFreeLetterNearestZAndRefusesOneInUse)
{
    m_drives->remotes['Y'] = "\\\\other\\x";
    std::string out;
    std::string err;
    EXPECT_EQ(Run({"map", "10.0.0.5", "Media"}, &out), kExitDone);
    EXPECT_EQ(out, "X:\t\\\\10.0.0.5\\Media\t/run/gvfs/X\n");
    EXPECT_EQ(m_drives->adds.back().Text(), "X: \\\\10.0.0.5\\Media : 1");

    EXPECT_EQ(Run({"map", "10.0.0.5", "public", "Y", "--user", "bob"}, &out, &err), kExitUsage);
    EXPECT_NE(err.find("Y: is in use by \\\\other\\x"), std::string::npos) << err;
    EXPECT_EQ(Run({"map", "10.0.0.5", "public", "W", "--user", "WORK\\bob"}), kExitDone);
    EXPECT_EQ(m_drives->adds.back().Text(), "W: \\\\10.0.0.5\\public WORK\\bob:pw 1");

    EXPECT_EQ(Run({"map", "10.0.0.5", "media"}, &out, &err), kExitUsage) << "volume names are exact";
    m_drives->addAnswer = ERROR_LOGON_FAILURE;
    EXPECT_EQ(Run({"map", "10.0.0.5", "public", "V"}, &out, &err), kExitDevice);
    EXPECT_NE(err.find("refused the user name or password"), std::string::npos) << err;
}

TEST_F(DriveCommandsTest, DrivesListsAndUnmapFrees)
{
    m_drives->remotes['Y'] = "\\\\10.0.0.5\\public";
    m_drives->remotes['G'] = "\\\\nas\\a\"b";
    std::string out;
    EXPECT_EQ(Run({"drives"}, &out), kExitDone);
    EXPECT_EQ(out, "Y:\t\\\\10.0.0.5\\public\t/run/gvfs/Y\tconnected\nG:\t\\\\nas\\a\"b\t/run/gvfs/G\tconnected\n");
    EXPECT_EQ(Run({"drives", "--json"}, &out), kExitDone);
    const auto json = nlohmann::json::parse(out);
    ASSERT_EQ(json.size(), 2u);
    EXPECT_EQ(json[1]["remote"], "\\\\nas\\a\"b");
    EXPECT_EQ(json[0]["path"], "/run/gvfs/Y");

    EXPECT_EQ(Run({"unmap", "y:"}), kExitDone);
    std::string err;
    EXPECT_EQ(Run({"unmap", "Y:"}, &out, &err), kExitDevice);
    EXPECT_NE(err.find("not mapped"), std::string::npos);
}

TEST_F(DriveCommandsTest, ReconnectAsksInATerminalAndUnattendedLeavesPasswordLettersWithinADeadline)
{
    const std::vector<RememberedDrive> both = {{"X:", "\\\\10.0.0.5\\public", ""},
                                               {"W:", "\\\\10.0.0.5\\Media", "bob"}};
    const struct
    {
        const char *name;
        std::vector<std::string> args;
        std::vector<RememberedDrive> remembered;
        int addAnswer;
        int status;
        std::vector<std::string> prompts;
        std::vector<std::string> added;
        std::string out;
        std::string err; // a part of it; empty: nothing at all
    } cases[] = {
        {"nothing remembered", {"drives", "--reconnect", "--no-prompt"}, {}, NO_ERROR, kExitDone, {}, {}, "", ""},
        {"in a terminal",
         {"drives", "--reconnect"},
         both,
         NO_ERROR,
         kExitDone,
         {"Password of bob for W: (\\\\10.0.0.5\\Media): "},
         {"X: \\\\10.0.0.5\\public : 1", "W: \\\\10.0.0.5\\Media bob:pw 1"},
         "X:\t\\\\10.0.0.5\\public\t/run/gvfs/X\tconnected\nW:\t\\\\10.0.0.5\\Media\t/run/gvfs/W\tconnected\n",
         ""},
        {"at login, a letter waits for its password",
         {"drives", "--reconnect", "--no-prompt"},
         both,
         NO_ERROR,
         kExitDevice,
         {},
         {"X: \\\\10.0.0.5\\public : 1"},
         "X:\t\\\\10.0.0.5\\public\t/run/gvfs/X\tconnected\nW:\t\\\\10.0.0.5\\Media\t\tneeds-password\n",
         "W: waits for the password of bob"},
        {"at login, device absent",
         {"drives", "--reconnect", "--no-prompt"},
         both,
         ERROR_BAD_NETPATH,
         kExitDevice,
         {},
         {"X: \\\\10.0.0.5\\public : 1"},
         "X:\t\\\\10.0.0.5\\public\t\tdisconnected\nW:\t\\\\10.0.0.5\\Media\t\tneeds-password\n",
         "Could not reconnect X: to \\\\10.0.0.5\\public: the device's file service does not answer"},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        m_drives->remotes.clear();
        m_drives->adds.clear();
        m_drives->remembered = c.remembered;
        m_drives->addAnswer = c.addAnswer;
        m_prompts.clear();
        std::string out;
        std::string err;
        EXPECT_EQ(Run(c.args, &out, &err), c.status);
        EXPECT_EQ(m_prompts, c.prompts);
        EXPECT_EQ(m_drives->AddTexts(), c.added);
        EXPECT_EQ(out, c.out);
        if (c.err.empty())
            EXPECT_EQ(err, "");
        else
            EXPECT_NE(err.find(c.err), std::string::npos) << err;
        // Only the unattended run bounds its connections, and the bound goes with it.
        const bool unattended = c.args.back() == "--no-prompt";
        for (const FakeNetworkDrives::Add &add : m_drives->adds)
            EXPECT_EQ(add.underDeadline, unattended);
        EXPECT_FALSE(ConnectDeadline().has_value());
    }

    std::string json;
    EXPECT_EQ(Run({"drives", "--json"}, &json), kExitDone);
    const auto listed = nlohmann::json::parse(json);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1]["status"], "needs-password");
    EXPECT_EQ(listed[1]["path"], "");
}

TEST_F(DriveCommandsTest, OpenChecksFirstAndPrintsOrStartsTheBrowser)
{
    std::string out;
    std::string err;
    EXPECT_EQ(Run({"open", "10.0.0.5", "--print-url"}, &out), kExitDone);
    EXPECT_EQ(out, "https://10.0.0.5\n");
    EXPECT_TRUE(m_web->commands.empty());
    m_session.answers[QueryKind::Ssl] = {"0"};
    EXPECT_EQ(Run({"open", "10.0.0.5"}, &out), kExitDone);
    EXPECT_EQ(m_web->commands, std::vector<std::string>{"web http://10.0.0.5"});
    m_web->reachable = false;
    EXPECT_EQ(Run({"open", "10.0.0.5"}, &out, &err), kExitDevice);
    EXPECT_NE(err.find("no longer available"), std::string::npos);
    EXPECT_EQ(Run({"open", "10.0.0.9"}, &out, &err), kExitDevice);
    EXPECT_EQ(m_web->commands.size(), 1u);
}

} // namespace

// Share names are whatever bytes the share or the letter's note hold: the listing must survive any of them.
TEST_F(DriveCommandsTest, DrivesListsSharesWhoseNamesAreNotUtf8)
{
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "izuzez-drives-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path root = pattern;
    const fs::path drives = root / "drives";
    fs::create_directories(root / "gvfs" / "smb-share:server=srv,share=sh%E9");
    fs::create_directories(root / "gvfs" / "smb-share:server=srv,share=x");
    fs::create_directories(drives);
    fs::create_directory_symlink(root / "gvfs" / "smb-share:server=srv,share=sh%E9", drives / "Y");
    fs::create_directory_symlink(root / "gvfs" / "smb-share:server=srv,share=x", drives / "X");
    std::ofstream(drives / ".X.conn") << "remote=\\\\srv\\sh\xD9\nuser=\nremember=0\n";
    const Installed<DriveFolder> folder(drives.string(), (root / "c").string());

    std::string out;
    EXPECT_EQ(Run({"drives", "--json"}, &out), kExitDone);
    nlohmann::json json;
    ASSERT_NO_THROW(json = nlohmann::json::parse(out)) << out;
    ASSERT_EQ(json.size(), 2u) << out;
    EXPECT_EQ(json[0]["remote"], "\\\\srv\\sh\uFFFD");
    EXPECT_EQ(json[1]["remote"], "\\\\srv\\sh\uFFFD");
    for (const char c : out)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "printable ASCII only";
    EXPECT_EQ(Run({"drives"}, &out), kExitDone);
    fs::remove_all(root);
}
