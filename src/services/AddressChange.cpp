#include "services/AddressChange.h"

namespace izuzez::services
{
namespace
{

// True when the change may be sent.
bool SelectAndLogIn(AddressChange &change, DeviceSession &session, const std::string &deviceIp,
                    const AskAdminPasswordFn &ask)
{
    change.selected = SearchAndSelect(session, deviceIp);
    if (change.selected)
        change.login = LogInAsAdmin(session, ask);
    return change.selected && change.login == AdminLogin::Accepted;
}

void SearchAgain(AddressChange &change, DeviceSession &session, const std::string &deviceIp)
{
    const std::vector<FoundDevice> devices = session.Search();
    if (const FoundDevice *d = FindByIp(devices, change.newIp))
        change.atNewIp = *d;
    change.atOldIp = FindByIp(devices, deviceIp) != nullptr;
}

} // namespace

AddressChange ChangeToStaticAddress(DeviceSession &session, const std::string &deviceIp, const std::string &ip,
                                    const std::string &netmask, const std::string &gateway,
                                    const AskAdminPasswordFn &ask)
{
    AddressChange change;
    change.newIp = ip;
    if (!SelectAndLogIn(change, session, deviceIp, ask))
        return change;
    // An unconfirmed change may still have reached the device: the search tells.
    change.confirmed = session.SetStaticAddress(ip, netmask, gateway);
    SearchAgain(change, session, deviceIp);
    return change;
}

AddressChange ChangeToDhcp(DeviceSession &session, const std::string &deviceIp, const AskAdminPasswordFn &ask)
{
    AddressChange change;
    if (!SelectAndLogIn(change, session, deviceIp, ask))
        return change;
    change.confirmed = session.SetDhcp(change.newIp);
    if (change.confirmed)
        SearchAgain(change, session, deviceIp);
    return change;
}

} // namespace izuzez::services
