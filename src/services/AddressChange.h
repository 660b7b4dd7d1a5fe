#pragma once

// A new address or DHCP for a device, once the input passed its checks: select the listed device, prove the
// administrator password, send the change, then search again to see where the device answers.

#include "services/AdminLogin.h"
#include "services/DeviceSession.h"

#include <optional>
#include <string>

namespace izuzez::services
{

struct AddressChange
{
    bool selected = false;                  // the search listed the device; when false nothing else happened
    AdminLogin login = AdminLogin::Refused; // nothing was sent unless Accepted
    bool confirmed = false;                 // the device confirmed the change
    // The address asked for, or the one the device answered the DHCP change from.
    std::string newIp;
    // What the search after the change found; a DHCP change the device did not confirm is not searched after.
    std::optional<FoundDevice> atNewIp;
    bool atOldIp = false;
};

AddressChange ChangeToStaticAddress(DeviceSession &session, const std::string &deviceIp, const std::string &ip,
                                    const std::string &netmask, const std::string &gateway,
                                    const AskAdminPasswordFn &ask);
AddressChange ChangeToDhcp(DeviceSession &session, const std::string &deviceIp, const AskAdminPasswordFn &ask);

} // namespace izuzez::services
