#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "CliOptions.h"
#include "services/AdminLogin.h"

namespace izuzez::cli
{

enum ExitStatus : int
{
    kExitDone = 0,
    kExitDevice = 1, // the device did not answer, refused, or was not found
    kExitUsage = 2,  // bad usage or input
};

struct Console
{
    std::ostream &out;
    std::ostream &err;
    // Asked once the empty administrator password has been refused. Nothing means there is nobody to ask (no
    // terminal, no --password-stdin); a text longer than the session's limit did not fit and is refused.
    std::function<std::optional<std::string>()> askPassword;
    // Standard output is a terminal: the search prints a table with a header instead of tab-separated lines.
    bool outIsTerminal = false;
    // The password of a share user (map --user, a reconnect), asked with the prompt given, which names the
    // letter and the share; nothing when there is nobody to ask.
    std::function<std::optional<std::string>(const std::string &prompt)> askSharePassword = nullptr;
};

// Searches and selects the device by its IP text, as a click in the window's list does; `name` receives its
// name when asked for.
bool SearchAndSelect(const Options &o, DeviceSession &session, Console &console, std::string *name = nullptr);
// How the administrator password proof ended, as a message. Returns an exit status, or -1 when the device
// accepted.
int LoginStatus(services::AdminLogin login, const Options &o, const DeviceSession &session, Console &console);

// The commands that touch a share or the desktop (open, map, unmap, drives, install-codepage, install-bt). They
// live in the share helper (ShareCommands.h), so that the others start without the share libraries.
bool IsShareCommand(Command command);

// Runs search, query, set-address or set-dhcp against the session and returns the exit status.
int RunDeviceCommand(const Options &options, DeviceSession &session, Console &console);

} // namespace izuzez::cli
