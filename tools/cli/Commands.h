#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "CliOptions.h"
#include "services/AdminLogin.h"
#include "services/DeviceChanges.h"

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

// The commands, each returning its exit status.

// search, query, set-address, set-dhcp and wake against the session.
int RunDeviceCommand(const Options &options, DeviceSession &session, Console &console);
// Sends the magic packet for the device of options.wakeDevice, then with --wait searches until it answers.
int RunWake(const Options &options, DeviceSession &session, Console &console);
// `izuzez doctor`: the report (services/DoctorReport.h); exit 0 when at least one device answered, 1 otherwise.
int RunDoctor(const Options &options, Console &console);

// Searches every interval and prints one line per change until `waitOrStop` (called with the interval
// after each search) returns true; then exit 0. A failed write ends it too, with 0 when the reader went away.
// At most `searches` searches when it is above 0 (benchmarks).
int RunWatch(const Options &options, DeviceSession &session, Console &console,
             const std::function<bool(std::chrono::milliseconds)> &waitOrStop, long searches = 0);
// One change for a person: "TIME appeared NAME IP ..." with the old values of a change.
std::string ChangeLine(const services::DeviceChange &change, std::time_t when);
// One change as a JSON object on one line: event, time, the device's fields, "old" for a change.
std::string ChangeJson(const services::DeviceChange &change, std::time_t when);

// The share commands, in the share helper only.
// open, map, unmap and drives: the web page and the drive letters, over the platform layers in use.
int RunDriveCommand(const Options &options, DeviceSession &session, Console &console);
// The window's language installation for one code page, without the dialogs: the device's disk state,
// the files, the code page, then the restart wait (unless --no-restart-wait).
int RunInstallCodepage(const Options &o, DeviceSession &session, Console &console);
// The BitTorrent helper installation: administrator password, support check, the two files, the restart wait.
int RunInstallBt(const Options &o, DeviceSession &session, Console &console);

} // namespace izuzez::cli
