#include "CommandLine.h"

#include "protocol/Ipv4Text.h"

#include <algorithm>
#include <sstream>

namespace izuzez::cli
{
namespace
{

// Options of this group are part of the command's normal form, so the synopsis shows them without brackets.
constexpr const char *kInSynopsis = "In synopsis";
constexpr const char *kCommandGroup = "Commands";
// The app's twins of the command options; never listed.
constexpr const char *kTwinGroup = "Before the command";
constexpr std::size_t kUsageIndent = 34;
constexpr std::size_t kOptionIndent = 21;

CLI::App *AddCommand(CommandLine &line, const char *name, Command command, const char *description)
{
    CLI::App *sub = line.app.add_subcommand(name, description);
    sub->group(kCommandGroup);
    sub->fallthrough(); // global options may follow the command
    sub->set_help_flag();
    // What the twins read before the command is the command's, ahead of what follows its name. A twin left
    // with values after this names an option the command does not take.
    sub->preparse_callback(
        [&line, sub, command](std::size_t)
        {
            line.options.command = command;
            for (CLI::Option *twin : line.twins)
                if (CLI::Option *own = sub->get_option_no_throw(OptionName(*twin)); own && twin->count() > 0)
                {
                    own->add_result(twin->results());
                    twin->clear();
                }
        });
    return sub;
}

CLI::Option *AddArgument(CommandLine &line, CLI::App *sub, const char *name, std::string &field, bool required,
                         std::vector<std::string> choices = {})
{
    CLI::Option *option = sub->add_option(name, field);
    if (required)
        option->required();
    if (!choices.empty())
        line.choices.emplace(option, std::move(choices));
    return option;
}

void AddJson(CommandLine &line, CLI::App *sub)
{
    sub->add_flag("--json", line.options.json, "print JSON instead of text");
}

void AddPasswordStdin(CommandLine &line, CLI::App *sub)
{
    sub->add_flag("--password-stdin", line.options.passwordStdin,
                  "read the password as one line from standard input\n"
                  "(otherwise it is asked for on the terminal when needed)");
}

void AddNoRestartWait(CommandLine &line, CLI::App *sub)
{
    sub->add_flag("--no-restart-wait", line.options.noRestartWait,
                  "end after the installation instead of waiting the 90 s of the device's restart");
}

// The checks below say what is wrong after the option's name (ParseCommandLine puts it in front). They look at
// the value that counts only, the last one given (application index 0 of TakeLast).

// A whole number in at most `digits` decimal digits: CLI11 alone would read 0x10 and 010 as hexadecimal and octal.
CLI::Validator WholeNumber(std::size_t digits, int low, int high, const std::string &unit)
{
    const CLI::Range range(low, high);
    CLI::Validator number(
        [=](std::string &text)
        {
            if (!text.empty() && text.size() <= digits &&
                std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
            {
                std::string value = text.substr(std::min(text.find_first_not_of('0'), text.size() - 1));
                if (range(value).empty())
                {
                    text = std::move(value);
                    return std::string();
                }
            }
            return "needs a number of " + unit + " from " + std::to_string(low) + " to " + std::to_string(high) +
                   ", not '" + text + "'.";
        },
        "");
    return number.application_index(0);
}

// An IPv4 address in decimal; `address` is how the refusal names what it wants.
CLI::Validator Ipv4(const std::string &address, bool octetAbove255Later)
{
    CLI::Validator ipv4(
        [=](const std::string &text)
        {
            const Ipv4Verdict verdict = ReadIpv4(text).verdict;
            // An empty value is a blank field; octets above 255 are the address rules', which name the digit.
            if (verdict == Ipv4Verdict::Address ||
                (octetAbove255Later && (text.empty() || verdict == Ipv4Verdict::OctetAbove255)))
                return std::string();
            if (verdict == Ipv4Verdict::LeadingZero)
                return LeadingZeroText(text);
            return "needs " + address + ", not '" + text + "'.";
        },
        "");
    return octetAbove255Later ? ipv4.application_index(0) : ipv4;
}

SynopsisPiece PieceOf(const CLI::Option &option)
{
    if (option.get_positional())
        return {option.get_name(), "", !option.get_required()};
    return {OptionName(option), TakesValue(option) ? option.get_type_name() : "", option.get_group() != kInSynopsis,
            option.get_multi_option_policy() == CLI::MultiOptionPolicy::TakeAll};
}

std::string PlainPiece(const SynopsisPiece &piece)
{
    std::string text = piece.value.empty() ? piece.word : piece.word + " " + piece.value;
    if (piece.optional)
        text = "[" + text + "]";
    return piece.repeats ? text + "..." : text;
}

// A list's entry: the head, then the description's lines from column `indent`. A head that leaves less than
// `gap` spaces before that column puts the description on the next line.
void AppendEntry(std::string &out, const std::string &head, const std::string &description, std::size_t indent,
                 std::size_t gap)
{
    out += head;
    std::size_t column = head.size();
    if (column + gap > indent)
    {
        out += "\n";
        column = 0;
    }
    std::istringstream lines(description);
    for (std::string line; std::getline(lines, line); column = 0)
        out += std::string(indent - column, ' ') + line + "\n";
}

// An option's line in a list: "  --wait MS          description".
void AppendOptionEntry(std::string &out, const CLI::Option &option)
{
    const SynopsisPiece piece = PieceOf(option);
    AppendEntry(out, "  " + PlainPiece({piece.word, piece.value}), option.get_description(), kOptionIndent, 1);
}

} // namespace

std::unique_ptr<CommandLine> DeclareCommandLine()
{
    auto line = std::make_unique<CommandLine>();
    CLI::App &app = line->app;
    Options &o = line->options;
    app.name("izuzez");
    app.description("Finds the devices on the local networks and manages one of them by its IP address.");
    app.set_help_flag();
    app.allow_extras(); // options of other commands and stray words get their own messages
    app.require_subcommand(0, 1);
    // One address a use, so that an option never takes the command's arguments after it.
    app.add_option("--interface", o.interfaces, "search only from this local address (may be repeated)")
        ->type_name("ADDR")
        ->check(Ipv4("a local IPv4 address", false))
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    // Every other option given twice takes its last value, as the window's fields do when typed over.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_flag("--verbose,-v", o.verbose, "print the protocol's diagnostic lines on standard error");
    app.add_flag("--help,-h", o.help, "show this text");
    app.add_flag("--version", o.version, "show the version");

    CLI::App *search = AddCommand(*line, "search", Command::Search,
                                  "list the devices that answer; with --wait, listen until no\n"
                                  "reply came for MS milliseconds (at most 5 seconds in all),\n"
                                  "so that every device of a large network is listed");
    AddJson(*line, search);
    search->add_option("--wait", o.waitMs, "listen until no reply came for MS milliseconds (1 to 5000)")
        ->type_name("MS")
        ->transform(WholeNumber(5, 1, kWaitLimitMs, "milliseconds"));

    CLI::App *query = AddCommand(*line, "query", Command::Query,
                                 "ask a device; WHAT is one of shares, ssl, workgroup,\n"
                                 "codepage, ideok, sharename, bt_firmware, domain");
    AddArgument(*line, query, "IP", o.deviceIp, true);
    AddArgument(*line, query, "WHAT", line->queryName, true, QueryKindNames());

    CLI::App *setAddress = AddCommand(*line, "set-address", Command::SetAddress,
                                      "give the device a static address; --gateway may be left\n"
                                      "out only for a link-local address (169.254.x.x)");
    AddArgument(*line, setAddress, "IP", o.deviceIp, true);
    const CLI::Validator address = Ipv4("an address of the form A.B.C.D", true);
    setAddress->add_option("--ip", o.newIp, "the device's new address")
        ->type_name("A")
        ->group(kInSynopsis)
        ->check(address);
    setAddress->add_option("--netmask", o.newNetmask, "the device's new netmask")
        ->type_name("M")
        ->group(kInSynopsis)
        ->check(address);
    setAddress->add_option("--gateway", o.newGateway, "the device's new gateway")
        ->type_name("G")
        ->group(kInSynopsis)
        ->check(address);
    AddPasswordStdin(*line, setAddress);

    CLI::App *setDhcp = AddCommand(*line, "set-dhcp", Command::SetDhcp, "let the device take its address from DHCP");
    AddArgument(*line, setDhcp, "IP", o.deviceIp, true);
    AddPasswordStdin(*line, setDhcp);

    CLI::App *doctor = AddCommand(*line, "doctor", Command::Doctor,
                                  "tell why a device is not found: interfaces, sockets, routes,\n"
                                  "firewall, and what one search on each interface received");
    AddJson(*line, doctor);

    CLI::App *open = AddCommand(*line, "open", Command::Open,
                                "open the device's web page in the default browser once it\n"
                                "answers (exit 1 when it does not); --print-url prints the\n"
                                "address instead");
    AddArgument(*line, open, "IP", o.deviceIp, true);
    open->add_flag("--print-url", o.printUrl, "print the web page's address instead of opening it");

    CLI::App *map = AddCommand(*line, "map", Command::Map,
                               "map a volume of the device to a drive letter (default: the\n"
                               "free one nearest Z:); prints letter, remote name, local path");
    AddArgument(*line, map, "IP", o.deviceIp, true);
    AddArgument(*line, map, "VOLUME", o.volume, true);
    AddArgument(*line, map, "LETTER", o.letter, false);
    map->add_option("--user", o.user, "the share's user name")
        ->type_name("NAME")
        ->check(CLI::Validator([](const std::string &name) { return name.empty() ? "needs a name." : ""; }, "")
                    .application_index(0));
    AddPasswordStdin(*line, map);

    CLI::App *unmap = AddCommand(*line, "unmap", Command::Unmap, "disconnect a drive letter");
    AddArgument(*line, unmap, "LETTER", o.letter, true);

    CLI::App *drives = AddCommand(*line, "drives", Command::Drives,
                                  "list the mapped letters with remote name and local path;\n"
                                  "--reconnect first maps the remembered ones again");
    AddJson(*line, drives);
    drives->add_flag("--reconnect", o.reconnect, "map the remembered drive letters again first");
    drives->add_flag("--no-prompt", o.noPrompt,
                     "with --reconnect: ask for no password and give up on absent devices within 15 s");

    CLI::App *codepage = AddCommand(*line, "install-codepage", Command::InstallCodepage,
                                    "install a language (950, 936, 850, 865, 852, 857, 949,\n"
                                    "866, 932) onto the device's disk share");
    AddArgument(*line, codepage, "IP", o.deviceIp, true);
    AddArgument(*line, codepage, "CODEPAGE", o.codepage, true, CodepageNames());
    AddNoRestartWait(*line, codepage);

    CLI::App *bt =
        AddCommand(*line, "install-bt", Command::InstallBt, "install the BitTorrent helpers onto the device");
    AddArgument(*line, bt, "IP", o.deviceIp, true);
    AddPasswordStdin(*line, bt);
    AddNoRestartWait(*line, bt);

    CLI::App *watch = AddCommand(*line, "watch", Command::Watch,
                                 "search every SECONDS (default 10) and print one line per\n"
                                 "change: a device appeared, changed its address, name or\n"
                                 "DHCP state, or is gone; ends on SIGINT or SIGTERM");
    AddJson(*line, watch);
    watch
        ->add_option_function<int>(
            "--interval", [&o](int seconds) { o.watchIntervalMs = seconds * 1000; },
            "the seconds between two searches of watch (2 to 3600)")
        ->type_name("SECONDS")
        ->transform(WholeNumber(4, kWatchIntervalMin, kWatchIntervalMax, "seconds"));

    CLI::App *wake = AddCommand(*line, "wake", Command::Wake,
                                "wake a sleeping device by its magic packet, from the interface\n"
                                "it was last seen on (or every one, or --interface); DEVICE is\n"
                                "its IP address, MAC address or name as a search saw it");
    AddArgument(*line, wake, "DEVICE", o.wakeDevice, true);
    wake->add_option("--wait", o.wakeWaitSeconds,
                     "search until the woken device answers, for at most SECONDS\n(1 to 3600)")
        ->type_name("SECONDS")
        ->transform(WholeNumber(4, 1, kWakeWaitMax, "seconds"));

    app.footer("Addresses are written in decimal without leading zeros.\n"
               "\n"
               "Exit status: 0 done (doctor: a device answered), 1 no device answered, or the device did not "
               "answer, refused or was not found,\n"
               "2 bad usage or input (a password that is needed but cannot be asked for included).\n");

    for (const CLI::App *command : DeclaredCommands(app))
        for (const CLI::Option *option : VisibleOptions(*command))
            if (const std::string name = OptionName(*option); !name.empty() && !app.get_option_no_throw(name))
                line->twins.push_back(TakesValue(*option) ? app.add_option(name)->expected(1)->allow_extra_args(false)
                                                          : app.add_flag(name));
    for (CLI::Option *twin : line->twins)
        twin->group(kTwinGroup);
    return line;
}

std::vector<const CLI::App *> DeclaredCommands(const CLI::App &app)
{
    return app.get_subcommands([](const CLI::App *) { return true; });
}

std::vector<const CLI::Option *> VisibleOptions(const CLI::App &app)
{
    return app.get_options([](const CLI::Option *option)
                           { return !option->get_group().empty() && option->get_group() != kTwinGroup; });
}

std::string OptionName(const CLI::Option &option)
{
    return option.get_positional() ? std::string() : option.get_name();
}

bool TakesValue(const CLI::Option &option)
{
    return option.get_expected_max() > 0;
}

std::vector<SynopsisPiece> SynopsisPieces(const CLI::App &command)
{
    std::vector<SynopsisPiece> pieces;
    for (const CLI::Option *option : VisibleOptions(command))
        pieces.push_back(PieceOf(*option));
    return pieces;
}

std::vector<const CLI::Option *> CommandOptions(const CLI::App &app)
{
    std::vector<const CLI::Option *> options;
    for (const CLI::App *command : DeclaredCommands(app))
        for (const CLI::Option *option : VisibleOptions(*command))
            if (!option->get_positional() && std::none_of(options.begin(), options.end(),
                                                          [&](const CLI::Option *o) {
                                                              return OptionName(*o) == OptionName(*option) &&
                                                                     o->get_type_name() == option->get_type_name();
                                                          }))
                options.push_back(option);
    return options;
}

std::string Synopsis(const CLI::App &command)
{
    std::string text;
    for (const SynopsisPiece &piece : SynopsisPieces(command))
        text += (text.empty() ? "" : " ") + PlainPiece(piece);
    return text;
}

std::string RenderUsage(const CommandLine &line)
{
    const CLI::App &app = line.app;
    std::string out = "Usage: izuzez";
    for (const CLI::Option *option : VisibleOptions(app))
        if (option != app.get_option_no_throw("--help") && option != app.get_option_no_throw("--version"))
            out += " " + PlainPiece(PieceOf(*option));
    out += " COMMAND [ARGS]\n\n" + app.get_description() + "\n\nCommands:\n";
    for (const CLI::App *command : DeclaredCommands(app))
        AppendEntry(out, "  " + command->get_name() + " " + Synopsis(*command), command->get_description(),
                    kUsageIndent, 2);
    out += "\nOptions:\n";
    for (const CLI::Option *option : VisibleOptions(app))
        AppendOptionEntry(out, *option);
    out += "\nOptions of the commands (see each command above for which it takes):\n";
    for (const CLI::Option *option : CommandOptions(app))
        AppendOptionEntry(out, *option);
    return out + "\n" + app.get_footer();
}

} // namespace izuzez::cli
