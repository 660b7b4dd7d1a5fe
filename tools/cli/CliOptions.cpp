#include "CliOptions.h"

#include "CommandLine.h"
#include "DriveArguments.h"
#include "protocol/Ipv4Text.h"
#include "services/Languages.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace izuzez::cli
{
namespace
{

constexpr std::array<std::pair<std::string_view, QueryKind>, 8> kQueryNames = {{
    {"shares", QueryKind::Shares},
    {"ssl", QueryKind::Ssl},
    {"workgroup", QueryKind::Workgroup},
    {"codepage", QueryKind::Codepage},
    {"ideok", QueryKind::Ideok},
    {"sharename", QueryKind::ShareName},
    {"bt_firmware", QueryKind::BtFirmware},
    {"domain", QueryKind::Domain},
}};

// Leading zeros read as octal in some programs and never match the device's own text, so they are refused
// for every address, with the same words.
std::string LeadingZeroError(std::string_view what, std::string_view text)
{
    return std::string(what) + " '" + std::string(text) +
           "' has an octet with a leading zero; write each octet in decimal without leading zeros.";
}

ParseResult Fail(std::string error)
{
    ParseResult result;
    result.error = std::move(error);
    return result;
}

// The positional arguments, checked once everything has been read; which options a command takes is
// settled by the declaration.
std::string CheckCommand(Options &o, const std::vector<std::string> &positional)
{
    if (IsDriveCommand(o.command))
        return CheckDriveCommand(o, positional);
    if (o.command == Command::Wake)
    {
        if (positional.empty())
            return "wake needs the device: its IP address, its MAC address or its name.";
        o.wakeDevice = positional[0];
        return {};
    }
    const bool twoArguments = o.command == Command::Query || o.command == Command::InstallCodepage;
    const bool bare = o.command == Command::Search || o.command == Command::Doctor || o.command == Command::Watch;
    const std::size_t want = bare ? 0 : twoArguments ? 2 : 1;
    if (positional.size() < want)
        return o.command == Command::Query ? "query needs the device's IP address and what to ask for."
               : o.command == Command::InstallCodepage
                   ? "install-codepage needs the device's IP address and a code page."
                   : "This command needs the device's IP address.";
    if (want > 0)
    {
        o.deviceIp = positional[0];
        if (std::string error = DeviceIpError(o.deviceIp); !error.empty())
            return error;
    }
    if (o.command == Command::Query)
    {
        const auto kind = QueryKindFromName(positional[1]);
        if (!kind)
            return "Unknown query '" + positional[1] +
                   "'; use shares, ssl, workgroup, codepage, ideok, sharename, bt_firmware or domain.";
        o.query = *kind;
    }
    if (o.command == Command::InstallCodepage)
    {
        o.codepage = positional[1];
        if (services::LanguageIndexOf(o.codepage) < 0)
            return "Unknown code page '" + o.codepage + "'; use 950, 936, 850, 865, 852, 857, 949, 866 or 932.";
    }
    return {};
}

// "a", "a and b", "a, b and c".
std::string ListInWords(const std::vector<std::string> &words)
{
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : i + 1 == words.size() ? " and " : ", ") + words[i];
    return text;
}

std::string CommandNames(const CLI::App &app)
{
    std::vector<std::string> names;
    for (const CLI::App *command : DeclaredCommands(app))
        names.push_back(command->get_name());
    for (std::size_t i = 0; i + 2 < names.size(); ++i)
        names[i] += ",";
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : " ") + names[i];
    return text;
}

// A word the parser did not take: an option of another command, an unknown option or a stray argument.
std::string ExtraArgumentError(const CLI::App &app, const std::string &arg, bool commandGiven)
{
    if (arg.size() > 1 && arg[0] == '-')
    {
        const std::string name = arg.substr(0, arg.find('='));
        std::vector<std::string> owners;
        for (const CLI::App *command : DeclaredCommands(app))
            if (command->get_option_no_throw(name) != nullptr)
                owners.push_back(command->get_name());
        if (owners.empty())
            return "Unknown option '" + arg + "'.";
        return name + " belongs to the " + ListInWords(owners) + (owners.size() == 1 ? " command." : " commands.");
    }
    if (!commandGiven)
    {
        return "Unknown command '" + arg + "'; use " + CommandNames(app) + ".";
    }
    return "Unexpected argument '" + arg + "'.";
}

// A flag takes no value and "--" ends nothing: CLI11 would read "--json=false" as the flag's value and "--"
// as the end of the options, so both are unknown options here. The value of an option is skipped.
std::string FlagValueOrEndOfOptions(const CLI::App &app, const std::vector<std::string> &args)
{
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string &arg = args[i];
        if (arg == "--")
            return "Unknown option '--'.";
        if (arg.rfind("--", 0) != 0)
            continue;
        const std::string name = arg.substr(0, arg.find('='));
        const CLI::Option *option = app.get_option_no_throw(name);
        for (const CLI::App *command : DeclaredCommands(app))
            if (option == nullptr)
                option = command->get_option_no_throw(name);
        if (option == nullptr)
            continue;
        const bool inlineValue = name.size() != arg.size();
        if (option->get_expected_max() == 0 && inlineValue)
            return "Unknown option '" + arg + "'.";
        if (option->get_expected_max() > 0 && !inlineValue)
            ++i;
    }
    return {};
}

// Options of a command written before the command ("--json search") are moved after it, where the
// command's parser finds them; global options stay where they are.
std::vector<std::string> CommandOptionsAfterCommand(const CLI::App &app, const std::vector<std::string> &args)
{
    std::vector<std::string> before;
    std::vector<std::string> moved;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string &arg = args[i];
        if (arg.size() < 2 || arg[0] != '-' || arg == "--")
        {
            const std::vector<const CLI::App *> commands = DeclaredCommands(app);
            if (std::none_of(commands.begin(), commands.end(),
                             [&arg](const CLI::App *command) { return command->get_name() == arg; }))
                return args;
            before.push_back(arg);
            before.insert(before.end(), moved.begin(), moved.end());
            before.insert(before.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            return before;
        }
        const std::string name = arg.substr(0, arg.find('='));
        const bool inlineValue = name.size() != arg.size();
        if (const CLI::Option *global = app.get_option_no_throw(name))
        {
            before.push_back(arg);
            if (global->get_expected_max() > 0 && !inlineValue && i + 1 < args.size())
                before.push_back(args[++i]);
            continue;
        }
        moved.push_back(arg);
        for (const CLI::App *command : DeclaredCommands(app))
            if (const CLI::Option *own = command->get_option_no_throw(name);
                own && own->get_expected_max() > 0 && !inlineValue && i + 1 < args.size())
            {
                moved.push_back(args[++i]);
                break;
            }
    }
    return args;
}

bool Given(const CLI::App &command, const char *name)
{
    const CLI::Option *option = command.get_option_no_throw(name);
    return option != nullptr && option->count() > 0;
}

// An address option's value: empty is a blank field, octets above 255 are left to the octet rules, which
// name the digit.
// A whole number from `low` to `high`, written in decimal digits only and at most `digits` of them.
std::optional<int> NumberIn(const std::string &text, std::size_t digits, int low, int high)
{
    if (text.empty() || text.size() > digits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int value = std::stoi(text);
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

std::string CheckAddressOption(std::string_view name, const std::string &text)
{
    const Ipv4Verdict verdict = ReadIpv4(text).verdict;
    if (text.empty() || verdict == Ipv4Verdict::Address || verdict == Ipv4Verdict::OctetAbove255)
        return {};
    if (verdict == Ipv4Verdict::LeadingZero)
        return LeadingZeroError(name, text);
    return std::string(name) + " needs an address of the form A.B.C.D, not '" + text + "'.";
}

} // namespace

std::string DeviceIpError(std::string_view text)
{
    const Ipv4Verdict verdict = ReadIpv4(text).verdict;
    if (verdict == Ipv4Verdict::LeadingZero)
        return LeadingZeroError("The device's address", text);
    if (verdict != Ipv4Verdict::Address)
        return "'" + std::string(text) + "' is not an IPv4 address.";
    return {};
}

ParseResult ParseCommandLine(const std::vector<std::string> &args)
{
    const std::unique_ptr<CommandLine> line = DeclareCommandLine();
    CLI::App &app = line->app;
    const CommandLineValues &v = line->values;
    // "--gateway=" is a blank field; CLI11 reads an empty inline value as none, so it gets the value apart.
    std::vector<std::string> split;
    for (const std::string &arg : args)
    {
        if (arg.size() > 3 && arg.rfind("--", 0) == 0 && arg.back() == '=' && arg.find('=') == arg.size() - 1)
        {
            split.push_back(arg.substr(0, arg.size() - 1));
            split.emplace_back();
        }
        else
            split.push_back(arg);
    }
    if (std::string problem = FlagValueOrEndOfOptions(app, split); !problem.empty())
        return Fail(std::move(problem));
    const std::vector<std::string> ordered = CommandOptionsAfterCommand(app, split);
    std::vector<std::string> reversed(ordered.rbegin(), ordered.rend()); // CLI11 takes them from the back
    bool argumentsMissing = false;
    try
    {
        app.parse(reversed);
    }
    catch (const CLI::ArgumentMismatch &e)
    {
        const std::string what = e.what();
        return Fail(what.substr(0, what.find(':')) + " needs a value.");
    }
    catch (const CLI::RequiredError &)
    {
        argumentsMissing = true; // the command's own check below says what is missing
    }
    catch (const CLI::ParseError &e)
    {
        return Fail(e.what());
    }

    Options o;
    o.help = v.help;
    o.version = v.version;
    o.verbose = v.verbose;
    if (o.help || o.version)
    {
        ParseResult result;
        result.ok = true;
        result.options = std::move(o);
        return result;
    }
    const std::vector<CLI::App *> chosen = app.get_subcommands();
    if (!argumentsMissing)
        if (const std::vector<std::string> extras = app.remaining(true); !extras.empty())
            return Fail(ExtraArgumentError(app, extras.front(), !chosen.empty()));
    if (chosen.empty())
        return Fail("No command given; use " + CommandNames(app) + " (see --help).");
    const CLI::App &command = *chosen.front();
    o.command = line->commands.find(command.get_name())->second;

    for (const std::string &text : v.interfaces)
    {
        const Ipv4Verdict verdict = ReadIpv4(text).verdict;
        if (verdict == Ipv4Verdict::LeadingZero)
            return Fail(LeadingZeroError("--interface", text));
        if (verdict != Ipv4Verdict::Address)
            return Fail("--interface needs a local IPv4 address, not '" + text + "'.");
    }
    o.interfaces = v.interfaces;
    o.json = v.json;
    o.passwordStdin = v.passwordStdin;
    o.printUrl = v.printUrl;
    o.reconnect = v.reconnect;
    o.noPrompt = v.noPrompt;
    o.noRestartWait = v.noRestartWait;
    if (o.command == Command::Wake && Given(command, "--wait"))
    {
        const std::optional<int> seconds = NumberIn(v.wait, 4, 1, kWakeWaitMax);
        if (!seconds)
            return Fail("--wait needs a number of seconds from 1 to " + std::to_string(kWakeWaitMax) + ", not '" +
                        v.wait + "'.");
        o.wakeWaitSeconds = *seconds;
    }
    else if (Given(command, "--wait"))
    {
        const std::optional<int> ms = NumberIn(v.wait, 5, 1, kWaitLimitMs);
        if (!ms)
            return Fail("--wait needs a number of milliseconds from 1 to " + std::to_string(kWaitLimitMs) + ", not '" +
                        v.wait + "'.");
        o.waitMs = *ms;
    }
    if (Given(command, "--interval"))
    {
        const std::optional<int> seconds = NumberIn(v.interval, 4, kWatchIntervalMin, kWatchIntervalMax);
        if (!seconds)
            return Fail("--interval needs a number of seconds from " + std::to_string(kWatchIntervalMin) + " to " +
                        std::to_string(kWatchIntervalMax) + ", not '" + v.interval + "'.");
        o.watchIntervalMs = *seconds * 1000;
    }
    if (Given(command, "--user"))
    {
        if (v.user.empty())
            return Fail("--user needs a name.");
        o.user = v.user;
    }
    const std::pair<const char *, const std::string *> addressOptions[] = {
        {"--ip", &v.ip}, {"--netmask", &v.netmask}, {"--gateway", &v.gateway}};
    for (const auto &[name, text] : addressOptions)
    {
        if (!Given(command, name))
            continue;
        if (std::string problem = CheckAddressOption(name, *text); !problem.empty())
            return Fail(std::move(problem));
        (std::string_view(name) == "--ip"        ? o.newIp
         : std::string_view(name) == "--netmask" ? o.newNetmask
                                                 : o.newGateway) = *text;
    }

    std::vector<std::string> positional;
    for (const CLI::Option *option : command.get_options())
        if (option->get_positional() && option->count() > 0)
            positional.push_back(v.args[positional.size()]);
    if (std::string problem = CheckCommand(o, positional); !problem.empty())
        return Fail(std::move(problem));
    ParseResult result;
    result.ok = true;
    result.options = std::move(o);
    return result;
}

std::optional<QueryKind> QueryKindFromName(std::string_view name)
{
    for (const auto &[text, kind] : kQueryNames)
        if (text == name)
            return kind;
    return std::nullopt;
}

std::string_view QueryKindName(QueryKind kind)
{
    for (const auto &[text, k] : kQueryNames)
        if (k == kind)
            return text;
    return {};
}

AddressInputResult AddressInputFromOptions(const Options &options)
{
    AddressInputResult result;
    struct Field
    {
        const std::optional<std::string> &text;
        services::Octets &octets;
        bool &blank;
        const char *option;
    };
    const Field fields[] = {
        {options.newIp, result.input.ip, result.input.ipBlank, "--ip"},
        {options.newNetmask, result.input.netmask, result.input.netmaskBlank, "--netmask"},
        {options.newGateway, result.input.gateway, result.input.gatewayBlank, "--gateway"},
    };
    for (const Field &f : fields)
    {
        // An empty value is a blank field, as an untouched address field in the window.
        f.blank = !f.text || f.text->empty();
        if (f.blank)
            continue;
        const Ipv4Reading reading = ReadIpv4(*f.text);
        if (reading.verdict != Ipv4Verdict::Address && reading.verdict != Ipv4Verdict::OctetAbove255)
        {
            result.error = std::string(f.option) + " needs an address of the form A.B.C.D, not '" + *f.text + "'.";
            return result;
        }
        f.octets = reading.octets;
    }
    result.ok = true;
    return result;
}

std::string UsageText()
{
    return RenderUsage(*DeclareCommandLine());
}

std::string VersionText()
{
    return std::string("izuzez ") + IZUZEZ_VERSION + "\n";
}

} // namespace izuzez::cli
