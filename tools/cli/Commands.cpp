#include "Commands.h"

#include "Output.h"
#include "protocol/LocalInterfaces.h"
#include "services/AddressChange.h"
#include "services/Diagnosis.h"
#include "services/DoctorReport.h"
#include "services/LanSettingsRules.h"
#include "services/OutsideNetwork.h"

namespace izuzez::cli
{
namespace
{

using services::lanmsg::kDhcpEnabled;
using services::lanmsg::kDhcpFailed;
using services::lanmsg::kWrongPassword;

bool NotListed(const Options &o, Console &console)
{
    console.err << "No device answered the search at " << o.deviceIp << ".\n";
    return false;
}

// Why the change was not sent; -1 when it was.
int UnsentStatus(const services::AddressChange &change, const Options &o, const DeviceSession &session,
                 Console &console)
{
    if (change.selected)
        return LoginStatus(change.login, o, session, console);
    NotListed(o, console);
    return kExitDevice;
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
    // All three stages passed, so all three texts are there.
    const std::string &newIp = *plan.newIp;
    const services::AddressChange change = services::ChangeToStaticAddress(session, o.deviceIp, newIp, *plan.newNetmask,
                                                                           *plan.newGateway, console.askPassword);
    if (const int status = UnsentStatus(change, o, session, console); status >= 0)
        return status;
    if (change.confirmed && change.atNewIp)
    {
        ReportAddress(console, *change.atNewIp);
        return kExitDone;
    }
    if (change.confirmed)
    {
        console.out << "The device confirmed " << newIp << " but did not answer the new search.\n";
        return kExitDone;
    }
    // The window stays silent here; a script needs to know that the change was not confirmed.
    console.err << "The device did not confirm the new address " << newIp << ".\n";
    if (change.atNewIp)
        console.err << "It answers the new search at " << newIp << " nevertheless.\n";
    else if (change.atOldIp)
        console.err << "It still answers at " << o.deviceIp << ".\n";
    return kExitDevice;
}

int RunSetDhcp(const Options &o, DeviceSession &session, Console &console)
{
    const services::AddressChange change = services::ChangeToDhcp(session, o.deviceIp, console.askPassword);
    if (const int status = UnsentStatus(change, o, session, console); status >= 0)
        return status;
    if (!change.confirmed)
    {
        console.err << kDhcpFailed.text << "\n";
        return kExitDevice;
    }
    console.out << kDhcpEnabled.text << "\n";
    if (change.atNewIp)
        ReportAddress(console, *change.atNewIp);
    else
        console.out << "The device answered from " << PrintableText(change.newIp)
                    << " but did not answer the new search.\n";
    return kExitDone;
}

} // namespace

bool SearchAndSelect(const Options &o, DeviceSession &session, Console &console, std::string *name)
{
    return services::SearchAndSelect(session, o.deviceIp, name) || NotListed(o, console);
}

int LoginStatus(services::AdminLogin login, const Options &o, const DeviceSession &session, Console &console)
{
    switch (login)
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

int RunDoctor(const Options &options, Console &console)
{
    const services::DoctorFacts facts = services::GatherDoctorFacts({options.interfaces});
    const std::vector<std::string> verdict = services::Diagnose(facts);
    console.out << (options.json ? services::DoctorJson(facts, verdict) + "\n" : services::DoctorText(facts, verdict));
    return services::AnsweredDevices(facts) > 0 ? kExitDone : kExitDevice;
}

} // namespace izuzez::cli
