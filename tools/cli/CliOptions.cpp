#include "CliOptions.h"

#include "CommandLine.h"
#include "platform/NetworkDrives.h"
#include "protocol/Ipv4Text.h"
#include "services/Languages.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace izuzez::cli
{
namespace
{

ParseResult Fail(std::string error)
{
    ParseResult result;
    result.error = std::move(error);
    return result;
}

// "a", "a and b", "a, b and c"; `conjunction` is "and" or "or".
std::string ListInWords(const std::vector<std::string> &words, const char *conjunction)
{
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : i + 1 == words.size() ? std::string(" ") + conjunction + " " : ", ") + words[i];
    return text;
}

std::string DeviceIpError(std::string_view text)
{
    const Ipv4Verdict verdict = ReadIpv4(text).verdict;
    if (verdict == Ipv4Verdict::LeadingZero)
        return "The device's address " + LeadingZeroText(text);
    if (verdict != Ipv4Verdict::Address)
        return "'" + std::string(text) + "' is not an IPv4 address.";
    return {};
}

// What a command says when it lacks an argument.
std::string MissingArguments(Command command)
{
    static const std::map<Command, const char *> texts = {
        {Command::Query, "query needs the device's IP address and what to ask for."},
        {Command::InstallCodepage, "install-codepage needs the device's IP address and a code page."},
        {Command::Map, "map needs the device's IP address and a volume."},
        {Command::Unmap, "unmap needs a drive letter."},
        {Command::Wake, "wake needs the device: its IP address, its MAC address or its name."},
    };
    const auto it = texts.find(command);
    return it == texts.end() ? "This command needs the device's IP address." : it->second;
}

bool Given(const CLI::App &command, const char *name)
{
    const CLI::Option *option = command.get_option_no_throw(name);
    return option != nullptr && option->count() > 0;
}

// The arguments the command was given, by their names in the declaration, in the order a command takes them;
// which options a command takes is settled by the declaration.
std::string CheckArguments(const CLI::App &command, CommandLine &line)
{
    Options &o = line.options;
    if (Given(command, "IP"))
        if (std::string error = DeviceIpError(o.deviceIp); !error.empty())
            return error;
    if (Given(command, "WHAT"))
    {
        const auto kind = QueryKindFromName(line.queryName);
        if (!kind)
            return "Unknown query '" + line.queryName + "'; use " + ListInWords(QueryKindNames(), "or") + ".";
        o.query = *kind;
    }
    if (Given(command, "CODEPAGE") && services::LanguageIndexOf(o.codepage) < 0)
        return "Unknown code page '" + o.codepage + "'; use " + ListInWords(CodepageNames(), "or") + ".";
    if (Given(command, "VOLUME") && (o.volume.empty() || o.volume.find_first_of("\\/") != std::string::npos))
        return "'" + o.volume + "' is not a volume name.";
    if (!o.letter.empty())
    {
        const std::string text = o.letter;
        const char letter = platform::DriveLetterOf(text.size() == 1 ? text + ":" : text);
        o.letter = std::string{letter, ':'};
        if (letter == 0 || letter == 'A' || letter == 'B' || letter == 'C')
            return "'" + text + "' is not a drive letter from D: to Z:.";
    }
    if (o.noPrompt && !o.reconnect)
        return "--no-prompt belongs to drives --reconnect.";
    if (o.passwordStdin && o.user.empty() && command.get_option_no_throw("--user") != nullptr)
        return "--password-stdin needs --user.";
    return {};
}

std::string CommandNames(const CLI::App &app)
{
    std::vector<std::string> names;
    for (const CLI::App *command : DeclaredCommands(app))
        names.push_back(command->get_name());
    return ListInWords(names, "or");
}

// An option the chosen command (or the lack of one) does not take: "--wait belongs to the search and wake commands."
std::string OptionOfOtherCommands(const CLI::App &app, const std::string &name)
{
    std::vector<std::string> owners;
    for (const CLI::App *command : DeclaredCommands(app))
        if (command->get_option_no_throw(name) != nullptr)
            owners.push_back(command->get_name());
    return name + " belongs to the " + ListInWords(owners, "and") + (owners.size() == 1 ? " command." : " commands.");
}

// The app's twin of a command option (CommandLine::twins), or nullptr.
const CLI::Option *TwinNamed(const CommandLine &line, const std::string &name)
{
    const auto it = std::find_if(line.twins.begin(), line.twins.end(),
                                 [&name](const CLI::Option *twin) { return OptionName(*twin) == name; });
    return it == line.twins.end() ? nullptr : *it;
}

// A word the parser did not take: an unknown option or a stray argument.
std::string ExtraArgumentError(const CLI::App &app, const std::string &arg, bool commandGiven)
{
    if (arg.size() > 1 && arg[0] == '-')
        return "Unknown option '" + arg + "'.";
    if (!commandGiven)
        return "Unknown command '" + arg + "'; use " + CommandNames(app) + ".";
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
        // The app holds every option: the global ones and a twin of each command's.
        const CLI::Option *option = app.get_option_no_throw(name);
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

// "--wait: needs a number ..." as CLI11 words a refused value is "--wait needs a number ...".
std::string RefusedValue(const CLI::ValidationError &e)
{
    std::string text = e.what();
    if (const auto at = text.find(": "); at != std::string::npos)
        text.replace(at, 2, " ");
    return text;
}

} // namespace

std::string LeadingZeroText(std::string_view text)
{
    return "'" + std::string(text) +
           "' has an octet with a leading zero; write each octet in decimal without leading zeros.";
}

ParseResult ParseCommandLine(const std::vector<std::string> &args)
{
    const std::unique_ptr<CommandLine> line = DeclareCommandLine();
    CLI::App &app = line->app;
    // "--gateway=" is a blank field; CLI11 reads an empty inline value as none, so it gets the value apart.
    std::vector<std::string> split{"izuzez"};
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
    std::vector<const char *> argv;
    for (const std::string &arg : split)
        argv.push_back(arg.c_str());
    // A refused value is said after the mistakes in the words themselves, as a person reads them.
    std::string refused;
    try
    {
        app.parse(static_cast<int>(argv.size()), argv.data());
    }
    catch (const CLI::ArgumentMismatch &e)
    {
        const std::string what = e.what();
        const std::string name = what.substr(0, what.find(':'));
        // A twin short of its value stands after a command that does not take it, or with no command.
        const std::vector<CLI::App *> chosen = app.get_subcommands();
        if (TwinNamed(*line, name) && (chosen.empty() || chosen.front()->get_option_no_throw(name) == nullptr))
            return Fail(OptionOfOtherCommands(app, name));
        return Fail(name + " needs a value.");
    }
    catch (const CLI::RequiredError &)
    {
        // the command's own check below says what is missing
    }
    catch (const CLI::ValidationError &e)
    {
        refused = RefusedValue(e);
    }
    catch (const CLI::ParseError &e)
    {
        return Fail(e.what());
    }

    // A refused value stops CLI11 before it stores the flags, so they are read by their count.
    if (app.count("--help") > 0 || app.count("--version") > 0)
    {
        ParseResult result{true, {}, {}};
        result.options.help = app.count("--help") > 0;
        result.options.version = app.count("--version") > 0;
        result.options.verbose = app.count("--verbose") > 0;
        return result;
    }
    const std::vector<CLI::App *> chosen = app.get_subcommands();
    const std::vector<const CLI::Option *> arguments =
        chosen.empty() ? std::vector<const CLI::Option *>{} : VisibleOptions(*chosen.front());
    const bool argumentsMissing =
        std::any_of(arguments.begin(), arguments.end(),
                    [](const CLI::Option *option) { return option->get_required() && option->count() == 0; });
    if (!argumentsMissing)
    {
        // Of an option the command does not take and a word nobody took, the one written first is named.
        const std::vector<std::string> extras = app.remaining(true);
        for (auto arg = split.begin() + 1; arg != split.end() && (extras.empty() || *arg != extras.front()); ++arg)
            if (const CLI::Option *twin = TwinNamed(*line, arg->substr(0, arg->find('='))); twin && twin->count() > 0)
                return Fail(OptionOfOtherCommands(app, OptionName(*twin)));
        if (!extras.empty())
            return Fail(ExtraArgumentError(app, extras.front(), !chosen.empty()));
    }
    if (chosen.empty())
        return Fail("No command given; use " + CommandNames(app) + " (see --help).");
    if (!refused.empty())
        return Fail(std::move(refused));
    if (argumentsMissing)
        return Fail(MissingArguments(line->options.command));
    if (std::string problem = CheckArguments(*chosen.front(), *line); !problem.empty())
        return Fail(std::move(problem));
    return {true, {}, std::move(line->options)};
}

std::vector<std::string> CodepageNames()
{
    std::vector<std::string> names;
    for (const services::Language &language : services::Languages())
        names.emplace_back(language.codepage);
    return names;
}

AddressInputResult AddressInputFromOptions(const Options &options)
{
    const services::AddressTextsReading reading =
        services::ReadStaticAddressInput(options.newIp, options.newNetmask, options.newGateway);
    AddressInputResult result{reading.refused == services::AddressField::None, {}, reading.input};
    if (result.ok)
        return result;
    // Indexed by the refused field (Ip, Netmask, Gateway follow None).
    const std::pair<const char *, const std::optional<std::string> *> fields[] = {
        {"--ip", &options.newIp}, {"--netmask", &options.newNetmask}, {"--gateway", &options.newGateway}};
    const auto &[name, text] = fields[static_cast<int>(reading.refused) - 1];
    result.error = std::string(name) + " needs an address of the form A.B.C.D, not '" + text->value_or("") + "'.";
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
