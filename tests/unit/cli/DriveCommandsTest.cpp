// open, map, unmap and drives against a fake session, fake drive letters and a fake web layer.

#include "CommandRun.h"
#include "Commands.h"
#include "support/FakeDeviceSession.h"
#include "support/FakeNetworkDrives.h"
#include "support/FakeWebAccess.h"
#include "support/Installed.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

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
    CommandRun Run(const std::vector<std::string> &args)
    {
        return RunCli(args, m_session, nullptr,
                      [this](const std::string &prompt)
                      {
                          m_prompts.push_back(prompt);
                          return std::optional<std::string>("pw");
                      });
    }

    FakeDeviceSession m_session;
    std::vector<std::string> m_prompts;
    Installed<FakeNetworkDrives> m_drives;
    Installed<FakeWebAccess> m_web;
};

// The flow is tested in services; here each of its ends is printed, with its exit status: a run that ends in
// kExitDone prints only on standard output, any other only on standard error.
TEST_F(DriveCommandsTest, MapPrintsHowItEnded)
{
    m_drives->remotes['Y'] = "\\\\other\\x";
    m_drives->addAnswers = {NO_ERROR, ERROR_LOGON_FAILURE};
    const struct
    {
        std::vector<std::string> args;
        bool listed;
        int status;
        std::string printed;
    } cases[] = {
        {{"map", "10.0.0.5", "Media"}, true, kExitDone, "X:\t\\\\10.0.0.5\\Media\t/run/gvfs/X\n"},
        {{"map", "10.0.0.9", "Media"}, true, kExitDevice, "No device answered the search at 10.0.0.9.\n"},
        {{"map", "10.0.0.5", "Media"}, false, kExitDevice, "The device at 10.0.0.5 did not list its volumes.\n"},
        {{"map", "10.0.0.5", "m\x1b"}, true, kExitUsage, "The device at 10.0.0.5 has no volume 'm?'.\n"},
        {{"map", "10.0.0.5", "public", "Y"}, true, kExitUsage, "Y: is in use by \\\\other\\x; unmap it first.\n"},
        {{"map", "10.0.0.5", "public", "Z"}, true, kExitUsage, "Z: is in use; unmap it first.\n"},
        {{"map", "10.0.0.5", "public", "W", "--user", "bob"},
         true,
         kExitDevice,
         "Failed to map drive: the device refused the user name or password.\n"},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.printed);
        m_session.queryAnswers = c.listed;
        const CommandRun r = Run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(c.status == kExitDone ? r.out : r.err, c.printed);
        EXPECT_EQ(c.status == kExitDone ? r.err : r.out, "");
    }
    EXPECT_EQ(m_prompts, std::vector<std::string>{"Password of bob for W: (\\\\10.0.0.5\\public): "});
}

// Share names are whatever bytes the share or the letter's note hold: the listing must survive any of them.
TEST_F(DriveCommandsTest, DrivesListsAndUnmapFrees)
{
    m_drives->remotes['Y'] = "\\\\10.0.0.5\\public";
    m_drives->remotes['G'] = "\\\\nas\\a\"b\xD9";
    CommandRun r = Run({"drives"});
    EXPECT_EQ(r.status, kExitDone);
    EXPECT_EQ(r.out,
              "Y:\t\\\\10.0.0.5\\public\t/run/gvfs/Y\tconnected\nG:\t\\\\nas\\a\"b\xD9\t/run/gvfs/G\tconnected\n");
    r = Run({"drives", "--json"});
    EXPECT_EQ(r.status, kExitDone);
    for (const char c : r.out)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "printable ASCII only";
    const auto json = nlohmann::json::parse(r.out);
    ASSERT_EQ(json.size(), 2u);
    EXPECT_EQ(json[1]["remote"], "\\\\nas\\a\"b\uFFFD");
    EXPECT_EQ(json[0]["path"], "/run/gvfs/Y");

    EXPECT_EQ(Run({"unmap", "y:"}).status, kExitDone);
    r = Run({"unmap", "Y:"});
    EXPECT_EQ(r.status, kExitDevice);
    EXPECT_NE(r.err.find("not mapped"), std::string::npos);
}

// The reconnect's rules are tested in services; here its questions, its listing and its messages, with the
// exit status.
TEST_F(DriveCommandsTest, ReconnectAsksInATerminalAndPrintsWhatIsNotBack)
{
    m_drives->remembered = {{"X:", "\\\\10.0.0.5\\public", ""}, {"W:", "\\\\10.0.0.5\\Media", "bob"}};
    CommandRun r = Run({"drives", "--reconnect"});
    EXPECT_EQ(r.status, kExitDone);
    EXPECT_EQ(m_prompts, std::vector<std::string>{"Password of bob for W: (\\\\10.0.0.5\\Media): "});
    EXPECT_EQ(r.out,
              "X:\t\\\\10.0.0.5\\public\t/run/gvfs/X\tconnected\nW:\t\\\\10.0.0.5\\Media\t/run/gvfs/W\tconnected\n");
    EXPECT_EQ(r.err, "");

    m_drives->remotes.clear();
    m_drives->addAnswer = ERROR_BAD_NETPATH;
    r = Run({"drives", "--reconnect", "--no-prompt"});
    EXPECT_EQ(r.status, kExitDevice);
    EXPECT_EQ(r.out, "X:\t\\\\10.0.0.5\\public\t\tdisconnected\nW:\t\\\\10.0.0.5\\Media\t\tneeds-password\n");
    EXPECT_EQ(r.err, "Could not reconnect X: to \\\\10.0.0.5\\public: the device's file service does not answer.\n"
                     "W: waits for the password of bob: 'izuzez drives --reconnect' in a terminal asks for it.\n");
    EXPECT_EQ(m_prompts.size(), 1u);
}

TEST_F(DriveCommandsTest, OpenChecksFirstAndPrintsOrStartsTheBrowser)
{
    CommandRun r = Run({"open", "10.0.0.5", "--print-url"});
    EXPECT_EQ(r.status, kExitDone);
    EXPECT_EQ(r.out, "https://10.0.0.5\n");
    EXPECT_TRUE(m_web->commands.empty());
    m_session.answers[QueryKind::Ssl] = {"0"};
    EXPECT_EQ(Run({"open", "10.0.0.5"}).status, kExitDone);
    EXPECT_EQ(m_web->commands, std::vector<std::string>{"web http://10.0.0.5"});
    m_web->reachable = false;
    r = Run({"open", "10.0.0.5"});
    EXPECT_EQ(r.status, kExitDevice);
    EXPECT_NE(r.err.find("no longer available"), std::string::npos);
    EXPECT_EQ(Run({"open", "10.0.0.9"}).status, kExitDevice);
    EXPECT_EQ(m_web->commands.size(), 1u);
}

} // namespace
