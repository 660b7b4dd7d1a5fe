#include "Commands.h"

#include "Output.h"
#include "platform/NetworkDrives.h"
#include "protocol/PrintableText.h"
#include "services/DriveLetters.h"
#include "services/FilePlaces.h"
#include "services/MapVolume.h"
#include "services/ReconnectLetters.h"
#include "services/WebLaunch.h"

#include <optional>
#include <utility>

namespace izuzez::cli
{
namespace
{

using namespace platform;

// Asks the password of a share user, saying for which letter and share; nothing when there is nobody to ask.
std::optional<std::string> AskSharePassword(Console &console, const std::string &letter, std::string_view remote,
                                            const std::string &user)
{
    if (!console.askSharePassword)
        return std::nullopt;
    return console.askSharePassword("Password of " + PrintableText(user) + " for " + letter + " (" +
                                    PrintableText(remote) + "): ");
}

int RunOpen(const Options &o, DeviceSession &session, Console &console)
{
    if (!SearchAndSelect(o, session, console))
        return kExitDevice;
    std::vector<std::string> ssl;
    session.Query(QueryKind::Ssl, ssl); // no answer: the plain address, as the window does
    const std::string sslText = ssl.empty() ? std::string() : ssl.front();
    services::DeviceAvailability availability;
    const services::WebPageOpening opening = services::OpenDeviceWebPage(
        CurrentWebAccess(), availability, o.deviceIp, sslText, services::CurrentWaitClock(), !o.printUrl);
    if (!opening.available)
    {
        console.err << "Device is no longer available: nothing answers at " << services::WebAddress(o.deviceIp, "")
                    << ".\n";
        return kExitDevice;
    }
    if (o.printUrl)
    {
        console.out << services::WebAddress(o.deviceIp, sslText) << "\n";
        return kExitDone;
    }
    if (opening.report.Started())
        return kExitDone;
    console.err << "The browser did not start (" << opening.report.FinalCommand() << ": code "
                << opening.report.FinalCode() << ").\n";
    return kExitDevice;
}

std::string ConnectionError(int code)
{
    static const std::pair<int, const char *> kTexts[] = {
        {ERROR_LOGON_FAILURE, "the device refused the user name or password"},
        {ERROR_ACCESS_DENIED, "the device refused the user name or password"},
        {ERROR_INVALID_PASSWORD, "the device refused the user name or password"},
        {ERROR_BAD_NET_NAME, "the device has no such share"},
        {ERROR_BAD_NETPATH, "the device's file service does not answer"},
        {ERROR_NO_NETWORK, "no GVfs on the session bus (is this a desktop session?)"},
        {ERROR_BAD_DEVICE, "the share has no local folder (is gvfs-fuse running?)"},
        {ERROR_ALREADY_ASSIGNED, "the letter is already in use"},
        {ERROR_NOT_CONNECTED, "the letter is not mapped"},
        {ERROR_OPEN_FILES, "files are open on it"},
    };
    for (const auto &[known, text] : kTexts)
        if (code == known)
            return text;
    return "error " + std::to_string(code);
}

int RunMap(const Options &o, DeviceSession &session, Console &console)
{
    std::string deviceName;
    if (!SearchAndSelect(o, session, console, &deviceName))
        return kExitDevice;
    const auto ask = [&](const std::string &letter, const std::string &remote)
    { return AskSharePassword(console, letter, remote, o.user); };
    NetworkDrives &drives = CurrentNetworkDrives();
    const services::VolumeMapping mapping =
        services::MapVolume(session, drives, {o.deviceIp, deviceName, o.volume, o.letter, o.user}, ask);
    using Result = services::VolumeMapping::Result;
    switch (mapping.result)
    {
    case Result::NoVolumeList:
        console.err << "The device at " << o.deviceIp << " did not list its volumes.\n";
        return kExitDevice;
    case Result::NoSuchVolume:
        console.err << "The device at " << o.deviceIp << " has no volume '" << PrintableText(o.volume) << "'.\n";
        return kExitUsage;
    case Result::NoFreeLetter:
        console.err << "Every drive letter is in use.\n";
        return kExitDevice;
    case Result::LetterInUse:
        console.err << mapping.letter << " is in use"
                    << (mapping.holder.empty() ? "" : " by " + PrintableText(mapping.holder)) << "; unmap it first.\n";
        return kExitUsage;
    case Result::NotConnected:
        console.err << "Failed to map drive: " << ConnectionError(mapping.error) << ".\n";
        return kExitDevice;
    case Result::Mapped:
        break;
    }
    console.out << mapping.letter << "\t" << PrintableText(mapping.remote) << "\t"
                << PrintableText(drives.LocalPath(mapping.letter)) << "\n";
    return kExitDone;
}

int RunUnmap(const Options &o, Console &console)
{
    const int result =
        services::CancelConnectionAndPlace(CurrentNetworkDrives(), o.letter, CONNECT_UPDATE_PROFILE, true);
    if (result != NO_ERROR)
    {
        console.err << "Unable to disconnect " << o.letter << ": " << ConnectionError(result) << ".\n";
        return kExitDevice;
    }
    return kExitDone;
}

// Prints each letter that is not back as soon as it is known, so that the next prompt comes after it.
bool Reconnect(Console &console, bool unattended)
{
    services::ReconnectHooks hooks;
    hooks.askPassword = [&console](const RememberedDrive &remembered)
    { return AskSharePassword(console, remembered.localName, remembered.remoteName, remembered.userName); };
    hooks.reported = [&console](const services::ReconnectOutcome &outcome)
    {
        const RememberedDrive &remembered = outcome.drive;
        if (outcome.status == services::ReconnectStatus::WaitsForPassword)
            console.err << remembered.localName << " waits for the password of " << PrintableText(remembered.userName)
                        << ": 'izuzez drives --reconnect' in a terminal asks for it.\n";
        else if (outcome.status == services::ReconnectStatus::Failed)
            console.err << "Could not reconnect " << remembered.localName << " to "
                        << PrintableText(remembered.remoteName) << ": " << ConnectionError(outcome.error) << ".\n";
    };
    return services::AllBack(services::ReconnectRemembered(CurrentNetworkDrives(), unattended, hooks));
}

int RunDrives(const Options &o, Console &console)
{
    const bool allBack = !o.reconnect || Reconnect(console, o.noPrompt);
    const std::vector<DriveRow> rows = services::ListDrives(CurrentNetworkDrives());
    console.out << (o.json ? DrivesJson(rows) + "\n" : DrivesText(rows));
    return allBack ? kExitDone : kExitDevice;
}

} // namespace

int RunDriveCommand(const Options &options, DeviceSession &session, Console &console)
{
    switch (options.command)
    {
    case Command::Open:
        return RunOpen(options, session, console);
    case Command::Map:
        return RunMap(options, session, console);
    case Command::Unmap:
        return RunUnmap(options, console);
    case Command::Drives:
        return RunDrives(options, console);
    default:
        return kExitUsage;
    }
}

} // namespace izuzez::cli
