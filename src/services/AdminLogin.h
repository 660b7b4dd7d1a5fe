#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "services/DeviceSession.h"

namespace izuzez::services
{

// How proving the administrator password before a change to the device ended.
enum class AdminLogin
{
    Accepted,
    Refused,  // the device refused the password given too
    NotGiven, // nobody to ask once the empty password was refused
    TooLong,  // the password given is longer than the session carries; not sent
};

// The device's verdict on the user name and password: non-zero accepts.
using CheckAdminPasswordFn = std::function<int(std::string_view userName, std::string_view password)>;
// Asked once the empty password has been refused; nothing (or no function) when there is nobody to ask.
using AskAdminPasswordFn = std::function<std::optional<std::string>()>;

// The empty administrator password first; when the device refuses it, the one `ask` gives, if it fits `limit`.
AdminLogin LogInAsAdmin(const CheckAdminPasswordFn &check, const AskAdminPasswordFn &ask, std::size_t limit);
AdminLogin LogInAsAdmin(DeviceSession &session, const AskAdminPasswordFn &ask);

} // namespace izuzez::services
