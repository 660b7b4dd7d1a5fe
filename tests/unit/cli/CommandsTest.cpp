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

// The address rules and the change's steps are tested in services; here each way a change ends is printed, with
// its exit status, and bad input is refused before anything is searched.
TEST(AddressCommands, EachOutcomeIsPrinted)
{
    const std::vector<std::string> badInput = {"set-address", "10.0.0.5",  "--ip",
                                               "10.0.0.6",    "--netmask", "255.255.255.0"};
    std::vector<std::string> setAddress = badInput;
    setAddress.insert(setAddress.end(), {"--gateway", "10.0.0.1"});
    const std::vector<std::string> setDhcp = {"set-dhcp", "10.0.0.5"};
    const FoundDevice old = Device("NAS", "10.0.0.5");
    FoundDevice hostile = Device("NAS\x1b[2J", "10.0.0.6");
    hostile.netmask = "255.255.255.0\x1b]0;x\x07";
    hostile.gateway = "10.0.0.1\xc2\x9b"
                      "2J";
    using Searches = std::vector<std::vector<FoundDevice>>;
    const Searches none = {{}}, stays = {{old}}, moves = {{old}, {hostile}}, vanishes = {{old}, {}};
    const Searches dhcp = {{old}, {Device("NAS", "10.0.0.77")}};
    const std::string notConfirmed = "The device did not confirm the new address 10.0.0.6.\n";
    // The empty password is refused, the one typed accepted unless it is "guess". A run that ends in kExitDone
    // prints only on standard output, any other only on standard error.
    const struct
    {
        const std::vector<std::string> &args;
        const Searches &searches;
        std::optional<std::string> typed;
        bool confirms;
        int status;
        int searched;
        std::string printed;
    } cases[] = {
        {badInput, stays, "secret", true, kExitUsage, 0,
         "You enter incorrect TCP/IP configuration. Please try again.\n"},
        {setAddress, none, "secret", true, kExitDevice, 1, "No device answered the search at 10.0.0.5.\n"},
        {setAddress, stays, "guess", true, kExitDevice, 1, "Wrong administrator password input!\n"},
        {setAddress, stays, std::nullopt, true, kExitUsage, 1,
         "The device at 10.0.0.5 needs the administrator password. Run the command on a terminal to be asked for "
         "it, or give it as one line on standard input with --password-stdin.\n"},
        {setAddress, stays, "0123456789abcdefg", true, kExitUsage, 1,
         "The password does not fit: at most 16 characters.\n"},
        {setAddress, moves, "secret", true, kExitDone, 2,
         "The device NAS?[2J is now at 10.0.0.6 (netmask 255.255.255.0?]0;x?, gateway 10.0.0.1?2J).\n"},
        {setAddress, vanishes, "secret", true, kExitDone, 2,
         "The device confirmed 10.0.0.6 but did not answer the new search.\n"},
        {setAddress, stays, "secret", false, kExitDevice, 2, notConfirmed + "It still answers at 10.0.0.5.\n"},
        {setAddress, moves, "secret", false, kExitDevice, 2,
         notConfirmed + "It answers the new search at 10.0.0.6 nevertheless.\n"},
        {setAddress, vanishes, "secret", false, kExitDevice, 2, notConfirmed},
        {setDhcp, stays, "guess", true, kExitDevice, 1, "Wrong administrator password input!\n"},
        {setDhcp, stays, "secret", false, kExitDevice, 1, "Set to dhcp client fail.\n"},
        {setDhcp, dhcp, "secret", true, kExitDone, 2,
         "DHCP client enabled.\nThe device NAS is now at 10.0.0.77 (netmask 255.255.255.0, gateway 10.0.0.1).\n"},
        {setDhcp, stays, "secret", true, kExitDone, 2,
         "DHCP client enabled.\nThe device answered from 10.0.0.77 but did not answer the new search.\n"},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.args.front() + ": " + c.printed);
        FakeDeviceSession s;
        s.searches = c.searches;
        s.verdicts = {0, c.typed == "guess" ? 0 : 1};
        s.staticConfirms = s.dhcpConfirms = c.confirms;
        const CommandRun r = RunArgs(c.args, s, c.typed);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(c.status == kExitDone ? r.out : r.err, c.printed);
        EXPECT_EQ(c.status == kExitDone ? r.err : r.out, "");
        EXPECT_EQ(s.searchCount, c.searched);
        if (&c.args == &setAddress && c.searched == 2)
        {
            EXPECT_EQ(s.staticRequest, (std::vector<std::string>{"10.0.0.6", "255.255.255.0", "10.0.0.1"}));
        }
    }
}

} // namespace
