#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "services/DeviceSession.h"
#include "services/LanSettingsRules.h"

namespace izuzez::cli
{

enum class Command
{
    None,
    Search,
    Query,
    SetAddress,
    SetDhcp,
    Doctor,
    Open,
    Map,
    Unmap,
    Drives,
    InstallCodepage,
    InstallBt,
    Watch,
    Wake,
};

// The session and its types live in services; the commands name them as their own.
using services::DeviceSession;
using services::FoundDevice;
using services::QueryKind;

struct Options
{
    Command command = Command::None;
    bool help = false;
    bool version = false;
    bool verbose = false;
    bool json = false;
    bool passwordStdin = false;
    std::vector<std::string> interfaces;
    int waitMs = 0;       // search --wait: listen until no reply came for this long; 0 for the window's search
    std::string deviceIp; // the device to act on, as its IP text
    QueryKind query = QueryKind::Shares;
    std::optional<std::string> newIp;
    std::optional<std::string> newNetmask;
    std::optional<std::string> newGateway;
    bool printUrl = false;
    bool reconnect = false;      // drives: connect the remembered letters again
    bool noPrompt = false;       // drives --reconnect: ask nobody, within a bound (the login's autostart entry)
    std::string volume;          // map: the device's volume
    std::string letter;          // map, unmap: "Z:"
    std::string user;            // map: the share's user name
    std::string codepage;        // install-codepage: one of the nine code pages
    bool noRestartWait = false;  // the installations: end without waiting for the device's restart
    int watchIntervalMs = 10000; // watch: the time between two searches
    std::string wakeDevice;      // wake: an IPv4 address, a MAC or a name the searches saw
    int wakeWaitSeconds = 0;     // wake --wait: search this long for the device to answer

    bool operator==(const Options &) const = default;
};

struct ParseResult
{
    bool ok = false;
    std::string error; // plain words, for standard error
    Options options;
};

// Parses the arguments after the program name. Global options may stand before or after the command.
ParseResult ParseCommandLine(const std::vector<std::string> &args);

// "'010.0.0.5' has an octet with a leading zero; ...": leading zeros read as octal in some programs and never
// match the device's own text, so every address refuses them with these words after its name.
std::string LeadingZeroText(std::string_view text);

using services::QueryKindFromName;
using services::QueryKindName;
using services::QueryKindNames;
// The words install-codepage takes, in their order.
std::vector<std::string> CodepageNames();

// The three address fields as the window would hold them; a missing option is a blank field.
// Fails with plain words when a given text is not an address at all.
struct AddressInputResult
{
    bool ok = false;
    std::string error;
    services::StaticAddressInput input;
};
AddressInputResult AddressInputFromOptions(const Options &options);

// The most that search --wait takes as a quiet time.
using services::kWaitLimitMs;
// The seconds watch may wait between two searches.
inline constexpr int kWatchIntervalMin = 2;
inline constexpr int kWatchIntervalMax = 3600;
// The longest wake --wait, in seconds.
inline constexpr int kWakeWaitMax = 3600;

std::string UsageText();
std::string VersionText();

} // namespace izuzez::cli
