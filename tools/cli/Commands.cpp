#include "Commands.h"

#include "Output.h"
#include "WakeCommand.h"
#include "protocol/LocalInterfaces.h"
#include "services/AdminLogin.h"
#include "services/LanSettingsRules.h"
#include "services/OutsideNetwork.h"

namespace izuzez::cli
{
namespace
{

using services::lanmsg::kDhcpEnabled;
using services::lanmsg::kDhcpFailed;
using services::lanmsg::kWrongPassword;

const FoundDevice *FindByIp(const std::vector<FoundDevice> &devices, const std::string &ip)
{
    for (const FoundDevice &d : devices)
        if (d.ip == ip)
            return &d;
    return nullptr;
}

int RunSearch(const Options &o, DeviceSession &session, Console &console)
{
    std::vector<FoundDevice> devices =
        o.waitMs > 0 ? session.SearchUntilQuiet(std::chrono::milliseconds(o.waitMs)) : session.Search();
    for (FoundDevice &d : devices) // the rule that colours the window's row
        d.outsideNetwork = services::OutsideNetwork(d.ip, d.interfaceAddress, LocalPrefixLength(d.interfaceAddress));
    if (o.json)
        console.out << DevicesJson(devices) << "\n";
    else if (console.outIsTerminal && !devices.empty())
        console.out << DevicesTable(devices);
    else
        for (const FoundDevice &d : devices)
            console.out << DeviceLine(d) << "\n";
    if (!devices.empty())
        return kExitDone;
    console.err << "No device answered.\n";
    return kExitDevice;
}

int RunQuery(const Options &o, DeviceSession &session, Console &console)
{
    if (!SearchAndSelect(o, session, console))
        return kExitDevice;
    std::vector<std::string> answer;
    if (!session.Query(o.query, answer))
    {
        console.err << "The device at " << o.deviceIp << " did not answer the " << QueryKindName(o.query)
                    << " query.\n";
        return kExitDevice;
    }
    for (const std::string &line : answer)
        console.out << PrintableText(line) << "\n";
    return kExitDone;
}

void ReportAddress(Console &console, const FoundDevice &d)
{
    console.out << "The device " << PrintableText(d.name) << " is now at " << PrintableText(d.ip) << " (netmask "
                << (d.netmask.empty() ? "-" : PrintableText(d.netmask)) << ", gateway "
                << (d.gateway.empty() ? "-" : PrintableText(d.gateway)) << ").\n";
}

int RunSetAddress(const Options &o, DeviceSession &session, Console &console)
{
    const AddressInputResult input = AddressInputFromOptions(o);
    if (!input.ok)
    {
        console.err << input.error << "\n";
        return kExitUsage;
    }
    // The address rules need no device, so bad input is refused before anything is sent.
    const services::StaticAddressPlan plan = services::CheckStaticAddress(input.input);
    if (!plan.ok)
    {
        console.err << plan.message.text << "\n";
        return kExitUsage;
    }
    if (!SearchAndSelect(o, session, console))
        return kExitDevice;
    if (const int status = ProveAdminPassword(o, session, console); status >= 0)
        return status;

    // All three stages passed, so all three texts are there.
    const std::string &newIp = *plan.newIp;
    const bool confirmed = session.SetStaticAddress(newIp, *plan.newNetmask, *plan.newGateway);
    const std::vector<FoundDevice> devices = session.Search();
    const FoundDevice *moved = FindByIp(devices, newIp);
    if (confirmed && moved)
    {
        ReportAddress(console, *moved);
        return kExitDone;
    }
    if (confirmed)
    {
        console.out << "The device confirmed " << newIp << " but did not answer the new search.\n";
        return kExitDone;
    }
    // The window stays silent here; a script needs to know that the change was not confirmed.
    console.err << "The device did not confirm the new address " << newIp << ".\n";
    if (moved)
        console.err << "It answers the new search at " << newIp << " nevertheless.\n";
    else if (FindByIp(devices, o.deviceIp))
        console.err << "It still answers at " << o.deviceIp << ".\n";
    return kExitDevice;
}

int RunSetDhcp(const Options &o, DeviceSession &session, Console &console)
{
    if (!SearchAndSelect(o, session, console))
        return kExitDevice;
    if (const int status = ProveAdminPassword(o, session, console); status >= 0)
        return status;
    std::string answeredIp;
    if (!session.SetDhcp(answeredIp))
    {
        console.err << kDhcpFailed.text << "\n";
        return kExitDevice;
    }
    console.out << kDhcpEnabled.text << "\n";
    const std::vector<FoundDevice> devices = session.Search();
    if (const FoundDevice *d = FindByIp(devices, answeredIp))
        ReportAddress(console, *d);
    else
        console.out << "The device answered from " << PrintableText(answeredIp)
                    << " but did not answer the new search.\n";
    return kExitDone;
}

} // namespace

// Searches and selects the device by its IP text, as a click in the window's list does.
bool SearchAndSelect(const Options &o, DeviceSession &session, Console &console, std::string *name)
{
    const std::vector<FoundDevice> devices = session.Search();
    if (session.Select(o.deviceIp))
    {
        if (const FoundDevice *d = FindByIp(devices, o.deviceIp); d != nullptr && name != nullptr)
            *name = d->name;
        return true;
    }
    console.err << "No device answered the search at " << o.deviceIp << ".\n";
    return false;
}

// The empty administrator password first, then the one the user gives. Returns an exit status, or -1 when
// the device accepted.
int ProveAdminPassword(const Options &o, DeviceSession &session, Console &console)
{
    switch (services::LogInAsAdmin(session, console.askPassword))
    {
    case services::AdminLogin::Accepted:
        return -1;
    case services::AdminLogin::NotGiven:
        console.err << "The device at " << o.deviceIp
                    << " needs the administrator password. Run the command on a terminal to be asked for it, "
                       "or give it as one line on standard input with --password-stdin.\n";
        return kExitUsage;
    case services::AdminLogin::TooLong:
        console.err << "The password does not fit: at most " << session.PasswordLimit() << " characters.\n";
        return kExitUsage;
    case services::AdminLogin::Refused:
        break;
    }
    console.err << kWrongPassword.text << "\n";
    return kExitDevice;
}

bool IsShareCommand(Command command)
{
    switch (command)
    {
    case Command::Open:
    case Command::Map:
    case Command::Unmap:
    case Command::Drives:
    case Command::InstallCodepage:
    case Command::InstallBt:
        return true;
    default:
        return false;
    }
}

int RunDeviceCommand(const Options &options, DeviceSession &session, Console &console)
{
    switch (options.command)
    {
    case Command::Search:
        return RunSearch(options, session, console);
    case Command::Query:
        return RunQuery(options, session, console);
    case Command::SetAddress:
        return RunSetAddress(options, session, console);
    case Command::SetDhcp:
        return RunSetDhcp(options, session, console);
    case Command::Wake:
        return RunWake(options, session, console);
    default: // the share commands run in izuzez-shares; doctor and watch in main
        break;
    }
    console.err << "No command given.\n";
    return kExitUsage;
}

} // namespace izuzez::cli
