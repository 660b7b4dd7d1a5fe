#include "CommandRun.h"
#include "Output.h"
#include "support/FakeDeviceSession.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

using namespace izuzez::cli;
using namespace izuzez::test;

namespace
{

CommandRun RunArgs(const std::vector<std::string> &args, FakeDeviceSession &session,
                   std::optional<std::string> typed = "secret")
{
    return RunCli(args, session, [typed] { return typed; });
}

TEST(SearchCommand, LinesAndJson)
{
    FakeDeviceSession s;
    FoundDevice full = Device("NAS\x1b[2J", "10.0.0.5");
    full.dhcp = true;
    full.model = "NV-4";
    full.swVersion = "2.1";
    FoundDevice outside = Device("\xff\xfe", "10.0.0.6");
    outside.interfaceAddress = "127.0.0.1"; // loopback's network is known on every machine
    s.searches = {{full, outside}};

    const CommandRun text = RunArgs({"search"}, s);
    EXPECT_EQ(text.status, kExitDone);
    EXPECT_EQ(text.out, "NAS?[2J\t10.0.0.5\t255.255.255.0\t10.0.0.1\tdhcp\tNV-4\t-\t2.1\n"
                        "\xff\xfe\t10.0.0.6\t255.255.255.0\t10.0.0.1\tstatic\t-\t-\t-\toutside 127.0.0.0/8\n");

    const CommandRun json = RunArgs({"search", "--json"}, s);
    const auto parsed = nlohmann::json::parse(json.out);
    ASSERT_EQ(parsed.size(), 2u);
    const auto &first = parsed[0];
    for (const char *key :
         {"name", "ip", "netmask", "gateway", "dhcp", "uuid", "model", "mac", "hw_version", "sw_version", "interface"})
        EXPECT_TRUE(first.contains(key)) << key;
    EXPECT_EQ(first["dhcp"], true);
    EXPECT_EQ(first["uuid"], "0011223344550a000005");
    EXPECT_EQ(first["interface"], "10.0.0.2");
    EXPECT_EQ(parsed[1]["dhcp"], false);
    EXPECT_EQ(parsed[1]["name"], "\xEF\xBF\xBD\xEF\xBF\xBD"); // bytes that are not UTF-8 are replaced
    EXPECT_TRUE(first["outside_network"].is_null());
    EXPECT_EQ(parsed[1]["outside_network"], "127.0.0.0/8");
}

TEST(SearchCommand, WaitListensUntilQuietOnlyWhenAsked)
{
    FakeDeviceSession s;
    s.searches = {{Device("NAS", "10.0.0.5")}};
    EXPECT_EQ(RunArgs({"search", "--wait", "750"}, s).status, kExitDone);
    EXPECT_EQ(RunArgs({"search"}, s).status, kExitDone);
    EXPECT_EQ(s.quietTimes, (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(750)}));
    EXPECT_EQ(s.searchCount, 2);
}

TEST(SearchCommand, NoDeviceAnsweredIsStatusOne)
{
    for (const bool json : {false, true})
    {
        FakeDeviceSession s;
        s.searches = {{}};
        const CommandRun r =
            RunArgs(json ? std::vector<std::string>{"search", "--json"} : std::vector<std::string>{"search"}, s);
        EXPECT_EQ(r.status, kExitDevice) << json;
        EXPECT_EQ(r.out, json ? "[]\n" : "");
        EXPECT_EQ(r.err, "No device answered.\n");
    }
}

TEST(SearchCommand, JsonIsAsciiAndLossless)
{
    FakeDeviceSession s;
    s.searches = {{Device("caf\xc3\xa9\xc2\x9b\x1b", "10.0.0.5")}};
    const CommandRun r = RunArgs({"search", "--json"}, s);
    EXPECT_EQ(r.status, kExitDone);
    for (const char c : r.out)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << static_cast<int>(static_cast<unsigned char>(c));
    EXPECT_EQ(nlohmann::json::parse(r.out)[0]["name"], "caf\xc3\xa9\xc2\x9b\x1b");
}

TEST(SearchCommand, TerminalTableLinesUpItsColumns)
{
    FoundDevice longName = Device("Living-room recorder\x07", "10.0.0.15");
    longName.model = "NV-4";
    longName.outsideNetwork = "127.0.0.0/8";
    const std::string table = DevicesTable({Device("NAS", "10.0.0.5"), longName});

    std::vector<std::string> lines;
    std::istringstream in(table);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("NAME", 0), 0u);
    // Every column starts at the same offset on every line, the header's included; the note of a device outside
    // its network stands in a column of its own after FIRMWARE, which the header ends with.
    EXPECT_EQ(lines[0].substr(lines[0].size() - 8), "FIRMWARE");
    EXPECT_EQ(lines[2].substr(lines[0].size() + 2), "outside 127.0.0.0/8");
    for (const char *column : {"IP", "NETMASK", "MODEL"})
    {
        const std::size_t at = lines[0].find(column);
        ASSERT_NE(at, std::string::npos) << column;
        for (std::size_t i = 1; i < lines.size(); ++i)
        {
            EXPECT_NE(lines[i][at], ' ') << column << " line " << i;
            EXPECT_EQ(lines[i][at - 1], ' ') << column << " line " << i;
        }
    }
    EXPECT_NE(lines[2].find("Living-room recorder?"), std::string::npos); // control characters stay out
    EXPECT_EQ(table.find('\t'), std::string::npos);
}

TEST(QueryCommand, AnswersAndFailures)
{
    FakeDeviceSession s;
    s.searches = {{Device("NAS", "10.0.0.5")}};
    const CommandRun shares = RunArgs({"query", "10.0.0.5", "shares"}, s);
    EXPECT_EQ(shares.status, kExitDone);
    EXPECT_EQ(shares.out, "public\nmedia\n");

    const CommandRun missing = RunArgs({"query", "10.0.0.9", "ssl"}, s);
    EXPECT_EQ(missing.status, kExitDevice);
    EXPECT_NE(missing.err.find("10.0.0.9"), std::string::npos);

    s.queryAnswers = false;
    const CommandRun silent = RunArgs({"query", "10.0.0.5", "domain"}, s);
    EXPECT_EQ(silent.status, kExitDevice);
    EXPECT_NE(silent.err.find("did not answer the domain query"), std::string::npos);
}

// The address rules are tested with them in services; here a blank, a number above 255 and a missing gateway
// reach them from the options, and their message is printed before anything is sent.
TEST(SetAddressCommand, InputIsRefusedBeforeAnythingIsSent)
{
    struct Case
    {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"set-address", "10.0.0.5", "--netmask", "255.0.0.0"}, "Please input IP address!"},
        {{"set-address", "10.0.0.5", "--ip", "10.0.0.300", "--netmask", "255.0.0.0"},
         "Invalid IP address in 4th digit. It should be 0-255."},
        {{"set-address", "10.0.0.5", "--ip", "10.0.0.6", "--netmask", "255.255.255.0"},
         "You enter incorrect TCP/IP configuration. Please try again."},
    };
    for (const Case &c : cases)
    {
        FakeDeviceSession s;
        s.searches = {{Device("NAS", "10.0.0.5")}};
        const CommandRun r = RunArgs(c.args, s);
        EXPECT_EQ(r.status, kExitUsage) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(s.searchCount, 0);
    }
}

// The order of the checks is the rule's (tests/unit/services); here each of its answers becomes a message
// and an exit status, and the change is sent only once the password is accepted.
TEST(SetAddressCommand, EachAnswerOfThePasswordProofIsPrinted)
{
    struct Case
    {
        std::vector<int> verdicts;
        std::optional<std::string> typed;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{0, 1}, "secret", kExitDone, ""},
        {{0, 0}, "guess", kExitDevice, "Wrong administrator password input!\n"},
        {{0, 0},
         std::nullopt,
         kExitUsage,
         "The device at 10.0.0.5 needs the administrator password. Run the command on a terminal to be asked for "
         "it, or give it as one line on standard input with --password-stdin.\n"},
        {{0, 1}, "0123456789abcdefg", kExitUsage, "The password does not fit: at most 16 characters.\n"},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.err);
        FakeDeviceSession s;
        s.searches = {{Device("NAS", "10.0.0.5")}, {Device("NAS", "10.0.0.6")}};
        s.verdicts = c.verdicts;
        const CommandRun r = RunArgs(
            {"set-address", "10.0.0.5", "--ip", "10.0.0.6", "--netmask", "255.255.255.0", "--gateway", "10.0.0.1"}, s,
            c.typed);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(!s.staticRequest.empty(), c.status == kExitDone);
    }
}

TEST(SetAddressCommand, ReportsTheNewAddressOrTheFailure)
{
    FakeDeviceSession s;
    s.verdicts = {1};
    s.searches = {{Device("NAS", "10.0.0.5")}, {Device("NAS", "10.0.0.6")}};
    const std::vector<std::string> good = {"set-address", "10.0.0.5",      "--ip",      "10.0.0.6",
                                           "--netmask",   "255.255.255.0", "--gateway", "10.0.0.1"};
    const CommandRun ok = RunArgs(good, s);
    EXPECT_EQ(ok.status, kExitDone);
    EXPECT_EQ(s.staticRequest, (std::vector<std::string>{"10.0.0.6", "255.255.255.0", "10.0.0.1"}));
    EXPECT_NE(ok.out.find("is now at 10.0.0.6"), std::string::npos) << ok.out;
    EXPECT_EQ(s.searchCount, 2);

    FakeDeviceSession hostile;
    hostile.verdicts = {1};
    FoundDevice moved = Device("NAS\x1b[2J", "10.0.0.6");
    moved.netmask = "255.255.255.0\x1b]0;x\x07";
    moved.gateway = "10.0.0.1\xc2\x9b"
                    "2J";
    hostile.searches = {{Device("NAS", "10.0.0.5")}, {moved}};
    const CommandRun shown = RunArgs(good, hostile);
    EXPECT_EQ(shown.out, "The device NAS?[2J is now at 10.0.0.6 (netmask 255.255.255.0?]0;x?, gateway 10.0.0.1?2J).\n");

    FakeDeviceSession refused;
    refused.verdicts = {1};
    refused.staticConfirms = false;
    refused.searches = {{Device("NAS", "10.0.0.5")}};
    const CommandRun failed = RunArgs(good, refused);
    EXPECT_EQ(failed.status, kExitDevice);
    EXPECT_NE(failed.err.find("did not confirm"), std::string::npos);
    EXPECT_NE(failed.err.find("still answers at 10.0.0.5"), std::string::npos);
}

TEST(SetDhcpCommand, MessagesAndNewAddress)
{
    FakeDeviceSession s;
    s.verdicts = {1};
    s.searches = {{Device("NAS", "10.0.0.5")}, {Device("NAS", "10.0.0.77")}};
    const CommandRun ok = RunArgs({"set-dhcp", "10.0.0.5"}, s);
    EXPECT_EQ(ok.status, kExitDone);
    EXPECT_NE(ok.out.find("DHCP client enabled.\n"), std::string::npos);
    EXPECT_NE(ok.out.find("is now at 10.0.0.77"), std::string::npos);

    FakeDeviceSession failing;
    failing.verdicts = {1};
    failing.dhcpConfirms = false;
    failing.searches = {{Device("NAS", "10.0.0.5")}};
    const CommandRun failed = RunArgs({"set-dhcp", "10.0.0.5"}, failing);
    EXPECT_EQ(failed.status, kExitDevice);
    EXPECT_EQ(failed.err, "Set to dhcp client fail.\n");

    FakeDeviceSession wrong;
    wrong.searches = {{Device("NAS", "10.0.0.5")}};
    EXPECT_EQ(RunArgs({"set-dhcp", "10.0.0.5"}, wrong).status, kExitDevice);
    EXPECT_FALSE(wrong.dhcpSent);
}

} // namespace
