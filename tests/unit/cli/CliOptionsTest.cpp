#include "CliOptions.h"
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <map>

using namespace izuzez::cli;

namespace
{

struct ParseCase
{
    std::vector<std::string> args;
    bool ok;
    Command command;
    std::string errorPart; // part of the error text when !ok
};

const ParseCase parseCases[] = {
    {{"search"}, true, Command::Search, ""},
    {{"search", "--json"}, true, Command::Search, ""},
    {{"--json", "search"}, true, Command::Search, ""},
    {{"query", "10.0.0.5", "shares"}, true, Command::Query, ""},
    {{"query", "10.0.0.5", "bt_firmware", "--verbose"}, true, Command::Query, ""},
    {{"set-dhcp", "10.0.0.5", "--password-stdin"}, true, Command::SetDhcp, ""},
    {{"set-address", "10.0.0.5", "--ip", "10.0.0.6", "--netmask=255.0.0.0"}, true, Command::SetAddress, ""},
    {{"install-codepage", "10.0.0.5", "950"}, true, Command::InstallCodepage, ""},
    {{"install-codepage", "10.0.0.5", "857", "--no-restart-wait"}, true, Command::InstallCodepage, ""},
    {{"install-bt", "10.0.0.5", "--password-stdin", "--no-restart-wait"}, true, Command::InstallBt, ""},
    {{"install-codepage", "10.0.0.5"}, false, Command::None, "needs the device's IP address and a code page"},
    {{"install-codepage", "10.0.0.5", "437"}, false, Command::None, "Unknown code page '437'"},
    {{"install-codepage", "10.0.0.5", "950", "--password-stdin"}, false, Command::None, "--password-stdin belongs"},
    {{"query", "10.0.0.5", "ssl", "--no-restart-wait"}, false, Command::None, "--no-restart-wait belongs"},
    {{"install-bt"}, false, Command::None, "needs the device's IP address"},
    {{}, false, Command::None, "No command"},
    {{"doctor"}, true, Command::Doctor, ""},
    {{"doctor", "--json", "--interface", "10.0.0.1"}, true, Command::Doctor, ""},
    {{"search", "--wait", "1"}, true, Command::Search, ""},
    {{"search", "--wait=5000"}, true, Command::Search, ""},
    {{"search", "--wait", "0"}, false, Command::None, "from 1 to 5000"},
    {{"search", "--wait", "5001"}, false, Command::None, "from 1 to 5000"},
    {{"search", "--wait", "99999999999"}, false, Command::None, "from 1 to 5000"},
    {{"search", "--wait", "-5"}, false, Command::None, "from 1 to 5000"},
    {{"search", "--wait", "1s"}, false, Command::None, "from 1 to 5000"},
    {{"search", "--wait"}, false, Command::None, "--wait needs a value"},
    {{"doctor", "10.0.0.5"}, false, Command::None, "Unexpected argument '10.0.0.5'"},
    {{"--verbose"}, false, Command::None, "No command"},
    {{"scan"}, false, Command::None, "Unknown command 'scan'"},
    {{"search", "--fast"}, false, Command::None, "Unknown option '--fast'"},
    {{"search", "extra"}, false, Command::None, "Unexpected argument 'extra'"},
    {{"query", "10.0.0.5"}, false, Command::None, "what to ask for"},
    {{"query", "10.0.0.5", "firmware"}, false, Command::None, "Unknown query 'firmware'"},
    {{"query", "10.0.0.256", "ssl"}, false, Command::None, "not an IPv4 address"},
    {{"set-dhcp"}, false, Command::None, "needs the device's IP address"},
    {{"set-dhcp", "10.0.0.5", "--json"}, false, Command::None, "--json belongs to the search"},
    // An option belongs to its command: another command's option is refused and named, never ignored.
    {{"drives", "--wait", "100"}, false, Command::None, "--wait belongs to the search and wake commands"},
    {{"unmap", "Z:", "--ip", "1.2.3.4"}, false, Command::None, "--ip belongs to the set-address command"},
    {{"open", "10.0.0.5", "--json"},
     false,
     Command::None,
     "--json belongs to the search, doctor, drives and watch commands"},
    {{"--wait", "100", "drives"}, false, Command::None, "--wait belongs to the search and wake commands"},
    {{"--wait", "100", "search", "--json"}, true, Command::Search, ""},
    {{"map", "10.0.0.5", "share", "Y:", "--user", "bob", "--verbose"}, true, Command::Map, ""},
    {{"map", "10.0.0.5", "share", "Y:", "extra"}, false, Command::None, "Unexpected argument 'extra'"},
    // The drive commands' letters and credentials are checked before anything runs.
    {{"map", "10.0.0.5", "public", "y"}, true, Command::Map, ""},
    {{"map", "10.0.0.5", "public", "Y:", "--user", "bob", "--password-stdin"}, true, Command::Map, ""},
    {{"map", "10.0.0.5", "public", "C:"}, false, Command::None, ""},
    {{"map", "10.0.0.5", "public", "B"}, false, Command::None, ""},
    {{"map", "10.0.0.5", "public", "7"}, false, Command::None, ""},
    {{"map", "10.0.0.5", "a\\b"}, false, Command::None, ""},
    {{"map", "10.0.0.5", "public", "--password-stdin"}, false, Command::None, ""},
    {{"map", "10.0.0.5"}, false, Command::None, ""},
    {{"map", "10.0.0.5", "public", "--no-prompt"}, false, Command::None, ""},
    {{"open"}, false, Command::None, ""},
    {{"unmap"}, false, Command::None, ""},
    {{"drives", "--no-prompt"}, false, Command::None, ""},
    {{"drives", "extra"}, false, Command::None, ""},
    {{"watch"}, true, Command::Watch, ""},
    {{"search", "--wait", "1", "--wait", "2"}, true, Command::Search, ""},
    {{"watch", "--json", "--interval", "2"}, true, Command::Watch, ""},
    {{"watch", "--interval=3600"}, true, Command::Watch, ""},
    {{"watch", "--interval", "1"}, false, Command::None, "from 2 to 3600"},
    {{"watch", "--interval", "3601"}, false, Command::None, "from 2 to 3600"},
    {{"search", "--interval", "5"}, false, Command::None, "--interval belongs to the watch command"},
    {{"wake", "NAS", "--wait", "3600"}, true, Command::Wake, ""},
    {{"wake", "NAS", "--wait", "0"}, false, Command::None, "seconds from 1 to 3600"},
    {{"wake"}, false, Command::None, "wake needs the device"},
    {{"search", "--interface"}, false, Command::None, "--interface needs a value"},
    {{"search", "--interface", "eth0"}, false, Command::None, "needs a local IPv4 address"},
    {{"set-address", "10.0.0.5", "--ip"}, false, Command::None, "--ip needs a value"},
    // Leading zeros read as octal in some programs and never match a device's text: refused everywhere. Every
    // command reads the device's address with the same words.
    {{"open", "010.0.0.5"}, false, Command::None, "The device's address '010.0.0.5' has an octet with a leading zero"},
    {{"map", "nas.local", "share"}, false, Command::None, "'nas.local' is not an IPv4 address."},
    {{"--interface", "127.000.0.1", "search"}, false, Command::None, "leading zero"},
    {{"set-address", "10.0.0.5", "--ip", "10.0.0.06", "--netmask", "255.0.0.0"}, false, Command::None, "leading zero"},
    {{"set-address", "10.0.0.5", "--ip", "10.0.0.6", "--netmask", "255.000.0.0"}, false, Command::None, "leading zero"},
    {{"set-address", "10.0.0.5", "--ip", "10.0.0.6", "--netmask", "255.0.0.0", "--gateway=010.0.0.1"},
     false,
     Command::None,
     "leading zero"},
    {{"query", "10.0.0.0", "ssl"}, true, Command::Query, ""},
    {{"set-address", "10.0.0.5", "--ip", "10.0.0.6", "--netmask", "255.0.0.0", "--gateway", "gw"},
     false,
     Command::None,
     "--gateway needs an address"},
    {{"set-address", "10.0.0.5", "--ip", "10.0.0.6", "--netmask", "255.0.0.0", "--gateway="},
     true,
     Command::SetAddress,
     ""},
};

TEST(ParseCommandLine, CommandsOptionsAndMistakes)
{
    for (const ParseCase &c : parseCases)
    {
        std::string joined;
        for (const std::string &a : c.args)
            joined += a + " ";
        SCOPED_TRACE(joined);
        const ParseResult r = ParseCommandLine(c.args);
        EXPECT_EQ(r.ok, c.ok) << r.error;
        if (c.ok)
        {
            EXPECT_EQ(r.options.command, c.command);
        }
        else
        {
            EXPECT_NE(r.error.find(c.errorPart), std::string::npos) << r.error;
        }
    }
    EXPECT_EQ(ParseCommandLine({"map", "10.0.0.5", "public", "y"}).options.letter, "Y:");
}

TEST(ParseCommandLine, InterfacesRepeatBeforeAndAfterTheCommand)
{
    const ParseResult r =
        ParseCommandLine({"--interface", "10.71.1.1", "search", "--interface=10.71.2.1", "--json", "--verbose"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.options.interfaces, (std::vector<std::string>{"10.71.1.1", "10.71.2.1"}));
    EXPECT_TRUE(r.options.json);
    EXPECT_TRUE(r.options.verbose);
}

// Each option of each command, from the declaration, before, between and after the command's arguments and in
// the "=" form, parses as with the option right after the command.
TEST(ParseCommandLine, AnOptionTakesOnlyItsOwnValueWhereverItStands)
{
    const std::map<std::string, std::vector<std::string>> arguments = {
        {"search", {}},
        {"query", {"10.0.0.5", "shares"}},
        {"set-address", {"10.0.0.5"}},
        {"set-dhcp", {"10.0.0.5"}},
        {"doctor", {}},
        {"open", {"10.0.0.5"}},
        {"map", {"10.0.0.5", "share", "Y:"}},
        {"unmap", {"Y:"}},
        {"drives", {}},
        {"install-codepage", {"10.0.0.5", "950"}},
        {"install-bt", {"10.0.0.5"}},
        {"watch", {}},
        {"wake", {"00:1b:7a:00:00:10"}},
    };
    const std::map<std::string, std::string> values = {
        {"--interface", "10.0.0.1"}, {"--wait", "100"},          {"--interval", "5"},       {"--user", "bob"},
        {"--ip", "10.0.0.6"},        {"--netmask", "255.0.0.0"}, {"--gateway", "10.0.0.1"},
    };
    // What an option needs beside it, given last.
    const std::map<std::string, std::vector<std::string>> companions = {{"map --password-stdin", {"--user", "bob"}},
                                                                        {"drives --no-prompt", {"--reconnect"}}};
    const auto line = DeclareCommandLine();
    for (const CLI::App *command : DeclaredCommands(line->app))
    {
        ASSERT_EQ(arguments.count(command->get_name()), 1u) << command->get_name();
        const std::vector<std::string> &args = arguments.at(command->get_name());
        std::vector<const CLI::Option *> options = VisibleOptions(*command);
        for (const CLI::Option *global : VisibleOptions(line->app))
            options.push_back(global);
        for (const CLI::Option *option : options)
        {
            const std::string name = OptionName(*option);
            if (name.empty() || name == "--help" || name == "--version")
                continue;
            const bool valued = option->get_expected_max() > 0;
            ASSERT_TRUE(!valued || values.count(name) == 1) << name;
            const std::vector<std::string> split =
                valued ? std::vector<std::string>{name, values.at(name)} : std::vector<std::string>{name};
            const std::vector<std::string> joined =
                valued ? std::vector<std::string>{name + "=" + values.at(name)} : std::vector<std::string>{name};
            const auto placed = [&](std::size_t at, const std::vector<std::string> &words)
            {
                std::vector<std::string> all{command->get_name()};
                all.insert(all.end(), args.begin(), args.end());
                all.insert(all.begin() + static_cast<std::ptrdiff_t>(at), words.begin(), words.end());
                if (const auto it = companions.find(command->get_name() + " " + name); it != companions.end())
                    all.insert(all.end(), it->second.begin(), it->second.end());
                return all;
            };
            const ParseResult first = ParseCommandLine(placed(1, split));
            ASSERT_TRUE(first.ok) << command->get_name() << " " << name << ": " << first.error;
            for (std::size_t at = 0; at <= args.size() + 1; ++at)
                for (const auto &words : {split, joined})
                {
                    std::string text;
                    for (const std::string &word : placed(at, words))
                        text += word + " ";
                    SCOPED_TRACE(text);
                    const ParseResult r = ParseCommandLine(placed(at, words));
                    ASSERT_TRUE(r.ok) << r.error;
                    EXPECT_TRUE(r.options == first.options);
                }
        }
    }
}

TEST(ParseCommandLine, FlagsTakeNoValueAndEachUseOfAnOptionOne)
{
    const struct
    {
        std::vector<std::string> args;
        std::string errorPart;
    } refused[] = {
        {{"search", "--json=false"}, "--json"},
        {{"--verbose=1", "search"}, "--verbose"},
        {{"search", "--verbose=1"}, "--verbose"},
        {{"drives", "--reconnect=0"}, "--reconnect"},
        {{"search", "--"}, "'--'"},
        {{"search", "--interface", "10.0.0.1", "10.0.0.2"}, "Unexpected argument '10.0.0.2'"},
        {{"query", "10.0.0.5", "--interface", "10.0.0.1", "10.0.0.2", "shares"}, "Unexpected argument"},
    };
    for (const auto &c : refused)
    {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        const ParseResult r = ParseCommandLine(c.args);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(c.errorPart), std::string::npos) << r.error;
    }
    const ParseResult r =
        ParseCommandLine({"query", "--interface", "10.0.0.1", "10.0.0.5", "--interface=10.0.0.2", "shares"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.options.interfaces, (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(r.options.deviceIp, "10.0.0.5");
}

TEST(ParseCommandLine, HelpAndVersionNeedNoCommand)
{
    EXPECT_TRUE(ParseCommandLine({"--help"}).options.help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).options.version);
    EXPECT_TRUE(ParseCommandLine({"query", "--help"}).ok);
    EXPECT_EQ(VersionText(), "izuzez 1.0.0.1\n");
}

TEST(UsageText, GatewayIsRequiredExceptForLinkLocal)
{
    const std::string usage = UsageText();
    EXPECT_NE(usage.find("set-address IP --ip A --netmask M --gateway G "), std::string::npos) << usage;
    EXPECT_EQ(usage.find("[--gateway G]"), std::string::npos);
    EXPECT_NE(usage.find("169.254."), std::string::npos);
    EXPECT_NE(usage.find("1 no device answered"), std::string::npos);
}

} // namespace
