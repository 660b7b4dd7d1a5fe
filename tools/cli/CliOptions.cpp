#include "CliOptions.h"

#include "DriveCommands.h"
#include "services/CodepageInstall.h"

#include <algorithm>
#include <array>
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

std::optional<Command> CommandFromName(std::string_view name)
{
    if (name == "search")
        return Command::Search;
    if (name == "query")
        return Command::Query;
    if (name == "set-address")
        return Command::SetAddress;
    if (name == "set-dhcp")
        return Command::SetDhcp;
    if (name == "doctor")
        return Command::Doctor;
    if (name == "open")
        return Command::Open;
    if (name == "map")
        return Command::Map;
    if (name == "unmap")
        return Command::Unmap;
    if (name == "drives")
        return Command::Drives;
    if (name == "install-codepage")
        return Command::InstallCodepage;
    if (name == "install-bt")
        return Command::InstallBt;
    return std::nullopt;
}

// Walks the arguments; options that take a value accept "--name VALUE" and "--name=VALUE".
class ArgReader
{
public:
    explicit ArgReader(const std::vector<std::string> &args) : m_args(args) {}

    bool done() const { return m_pos >= m_args.size(); }
    const std::string &next() { return m_args[m_pos++]; }

    // For an option with a value: splits "--name=value", or takes the following argument.
    bool value(std::string_view arg, std::string_view name, std::string &out, std::string &error)
    {
        if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=')
        {
            out = std::string(arg.substr(name.size() + 1));
            return true;
        }
        if (done())
        {
            error = std::string(name) + " needs a value.";
            return false;
        }
        out = next();
        return true;
    }

private:
    const std::vector<std::string> &m_args;
    std::size_t m_pos = 0;
};

bool Matches(std::string_view arg, std::string_view name)
{
    return arg == name || (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=');
}

// True when a dot-separated part has a leading zero ("010"); such a text is refused with its own message.
bool HasLeadingZero(std::string_view text)
{
    std::size_t start = 0;
    while (start <= text.size())
    {
        const std::size_t end = std::min(text.find('.', start), text.size());
        if (end - start > 1 && text[start] == '0')
            return true;
        start = end + 1;
    }
    return false;
}

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

// Positional arguments and command-specific options, checked once everything has been read.
std::string CheckCommand(Options &o, const std::vector<std::string> &positional)
{
    if (IsDriveCommand(o.command))
        return CheckDriveCommand(o, positional);
    if (o.printUrl || !o.user.empty() || o.reconnect || o.noPrompt)
        return "--print-url belongs to open, --user to map, --reconnect and --no-prompt to drives.";
    const bool bare = o.command == Command::Search || o.command == Command::Doctor;
    const bool twoArguments = o.command == Command::Query || o.command == Command::InstallCodepage;
    const std::size_t want = bare ? 0 : twoArguments ? 2 : 1;
    if (positional.size() < want)
        return o.command == Command::Query ? "query needs the device's IP address and what to ask for."
               : o.command == Command::InstallCodepage
                   ? "install-codepage needs the device's IP address and a code page."
                   : "This command needs the device's IP address.";
    if (positional.size() > want)
        return "Unexpected argument '" + positional[want] + "'.";
    if (want > 0)
    {
        o.deviceIp = positional[0];
        if (HasLeadingZero(o.deviceIp))
            return LeadingZeroError("The device's address", o.deviceIp);
        if (!IsDottedAddress(o.deviceIp))
            return "'" + o.deviceIp + "' is not an IPv4 address.";
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
    const bool installs = o.command == Command::InstallCodepage || o.command == Command::InstallBt;
    if (o.noRestartWait && !installs)
        return "--no-restart-wait belongs to install-codepage and install-bt.";
    if (o.json && !bare)
        return "--json belongs to the search and doctor commands.";
    if (o.waitMs > 0 && o.command != Command::Search)
        return "--wait belongs to the search command.";
    const bool changes =
        o.command == Command::SetAddress || o.command == Command::SetDhcp || o.command == Command::InstallBt;
    if (o.passwordStdin && !changes)
        return "--password-stdin belongs to set-address, set-dhcp and install-bt.";
    if ((o.newIp || o.newNetmask || o.newGateway) && o.command != Command::SetAddress)
        return "--ip, --netmask and --gateway belong to set-address.";
    return {};
}

} // namespace

ParseResult ParseCommandLine(const std::vector<std::string> &args)
{
    Options o;
    std::vector<std::string> positional;
    ArgReader reader(args);
    std::string error;
    std::string text;
    while (!reader.done())
    {
        const std::string &arg = reader.next();
        if (arg == "--help" || arg == "-h")
            o.help = true;
        else if (arg == "--version")
            o.version = true;
        else if (arg == "--verbose" || arg == "-v")
            o.verbose = true;
        else if (arg == "--json")
            o.json = true;
        else if (arg == "--password-stdin")
            o.passwordStdin = true;
        else if (arg == "--print-url")
            o.printUrl = true;
        else if (arg == "--reconnect")
            o.reconnect = true;
        else if (arg == "--no-prompt")
            o.noPrompt = true;
        else if (Matches(arg, "--user"))
        {
            if (!reader.value(arg, "--user", o.user, error))
                return Fail(error);
            if (o.user.empty())
                return Fail("--user needs a name.");
        }
        else if (arg == "--no-restart-wait")
            o.noRestartWait = true;
        else if (Matches(arg, "--interface"))
        {
            if (!reader.value(arg, "--interface", text, error))
                return Fail(error);
            if (HasLeadingZero(text))
                return Fail(LeadingZeroError("--interface", text));
            if (!IsDottedAddress(text))
                return Fail("--interface needs a local IPv4 address, not '" + text + "'.");
            o.interfaces.push_back(text);
        }
        else if (Matches(arg, "--wait"))
        {
            if (!reader.value(arg, "--wait", text, error))
                return Fail(error);
            const bool digits = !text.empty() && text.size() <= 5 &&
                                std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
            const int ms = digits ? std::stoi(text) : 0;
            if (ms < 1 || ms > kWaitLimitMs)
                return Fail("--wait needs a number of milliseconds from 1 to " + std::to_string(kWaitLimitMs) +
                            ", not '" + text + "'.");
            o.waitMs = ms;
        }
        else if (Matches(arg, "--ip") || Matches(arg, "--netmask") || Matches(arg, "--gateway"))
        {
            const std::string_view name = Matches(arg, "--ip")        ? "--ip"
                                          : Matches(arg, "--netmask") ? "--netmask"
                                                                      : "--gateway";
            if (!reader.value(arg, name, text, error))
                return Fail(error);
            // Empty is a blank field; octets above 255 are left to the octet rules, which name the digit.
            if (!text.empty() && HasLeadingZero(text))
                return Fail(LeadingZeroError(name, text));
            if (!text.empty() && !ParseDottedOctets(text))
                return Fail(std::string(name) + " needs an address of the form A.B.C.D, not '" + text + "'.");
            (name == "--ip" ? o.newIp : name == "--netmask" ? o.newNetmask : o.newGateway) = text;
        }
        else if (arg.size() > 1 && arg[0] == '-')
            return Fail("Unknown option '" + arg + "'.");
        else if (o.command == Command::None)
        {
            const auto command = CommandFromName(arg);
            if (!command)
                return Fail("Unknown command '" + arg +
                            "'; use search, query, set-address, set-dhcp, open, map, unmap, drives, doctor, "
                            "install-codepage or install-bt.");
            o.command = *command;
        }
        else
            positional.push_back(arg);
    }

    ParseResult result;
    if (o.help || o.version)
    {
        result.ok = true;
        result.options = std::move(o);
        return result;
    }
    if (o.command == Command::None)
        return Fail("No command given; use search, query, set-address, set-dhcp, open, map, unmap, drives, doctor, "
                    "install-codepage or install-bt "
                    "(see --help).");
    if (std::string problem = CheckCommand(o, positional); !problem.empty())
        return Fail(std::move(problem));
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

std::optional<services::Octets> ParseDottedOctets(std::string_view text)
{
    services::Octets octets{};
    std::size_t pos = 0;
    for (int i = 0; i < 4; ++i)
    {
        if (i > 0)
        {
            if (pos >= text.size() || text[pos] != '.')
                return std::nullopt;
            ++pos;
        }
        const std::size_t first = pos;
        int value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4)
        {
            value = value * 10 + (text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || digits > 3 || (digits > 1 && text[first] == '0'))
            return std::nullopt;
        octets[i] = value;
    }
    if (pos != text.size())
        return std::nullopt;
    return octets;
}

bool IsDottedAddress(std::string_view text)
{
    const auto octets = ParseDottedOctets(text);
    if (!octets)
        return false;
    for (int octet : *octets)
        if (octet > 255)
            return false;
    return true;
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
        const auto octets = ParseDottedOctets(*f.text);
        if (!octets)
        {
            result.error = std::string(f.option) + " needs an address of the form A.B.C.D, not '" + *f.text + "'.";
            return result;
        }
        f.octets = *octets;
    }
    result.ok = true;
    return result;
}

std::string UsageText()
{
    return "Usage: izuzez [--interface ADDR]... [--verbose] COMMAND [ARGS]\n"
           "\n"
           "Finds the devices on the local networks and manages one of them by its IP address.\n"
           "\n"
           "Commands:\n"
           "  search [--json] [--wait MS]     list the devices that answer; with --wait, listen until no\n"
           "                                  reply came for MS milliseconds (at most 5 seconds in all),\n"
           "                                  so that every device of a large network is listed\n"
           "  query IP WHAT                   ask a device; WHAT is one of shares, ssl, workgroup,\n"
           "                                  codepage, ideok, sharename, bt_firmware, domain\n"
           "  set-address IP --ip A --netmask M --gateway G [--password-stdin]\n"
           "                                  give the device a static address; --gateway may be left\n"
           "                                  out only for a link-local address (169.254.x.x)\n"
           "  set-dhcp IP [--password-stdin]  let the device take its address from DHCP\n"
           "  doctor [--json]                 tell why a device is not found: interfaces, sockets, routes,\n"
           "                                  firewall, and what one search on each interface received\n"
           "  open IP [--print-url]           open the device's web page in the default browser once it\n"
           "                                  answers (exit 1 when it does not); --print-url prints the\n"
           "                                  address instead\n"
           "  map IP VOLUME [LETTER] [--user NAME] [--password-stdin]\n"
           "                                  map a volume of the device to a drive letter (default: the\n"
           "                                  free one nearest Z:); prints letter, remote name, local path\n"
           "  unmap LETTER                    disconnect a drive letter\n"
           "  drives [--json] [--reconnect [--no-prompt]]\n"
           "                                  list the mapped and remembered letters with remote name,\n"
           "                                  local path and status; --reconnect first maps the\n"
           "                                  remembered ones again, --no-prompt without asking for a\n"
           "                                  password and within 15 s (what the login runs)\n"
           "  install-codepage IP CODEPAGE [--no-restart-wait]\n"
           "                                  install a language (950, 936, 850, 865, 852, 857, 949,\n"
           "                                  866, 932) onto the device's disk share\n"
           "  install-bt IP [--password-stdin] [--no-restart-wait]\n"
           "                                  install the BitTorrent helpers onto the device\n"
           "\n"
           "Options:\n"
           "  --interface ADDR   search only from this local address (may be repeated)\n"
           "  --password-stdin   read the administrator password as one line from standard input\n"
           "                     (otherwise it is asked for on the terminal when needed)\n"
           "  --no-restart-wait  end after the installation instead of waiting the 90 s of the device's restart\n"
           "  --verbose          print the protocol's diagnostic lines on standard error\n"
           "  --help             show this text\n"
           "  --version          show the version\n"
           "\n"
           "Addresses are written in decimal without leading zeros.\n"
           "\n"
           "Exit status: 0 done (doctor: a device answered), 1 no device answered, or the device did not answer, "
           "refused or was not found,\n"
           "2 bad usage or input (a password that is needed but cannot be asked for included).\n";
}

std::string VersionText()
{
    return std::string("izuzez ") + IZUZEZ_VERSION + "\n";
}

} // namespace izuzez::cli
