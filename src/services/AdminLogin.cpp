#include "services/AdminLogin.h"

#include "services/LanSettingsRules.h"

namespace izuzez::services
{

AdminLogin LogInAsAdmin(const CheckAdminPasswordFn &check, const AskAdminPasswordFn &ask, std::size_t limit)
{
    if (check(kAdminUserName, "") != 0)
        return AdminLogin::Accepted;
    const std::optional<std::string> password = ask ? ask() : std::nullopt;
    // Nobody to ask: trying the empty password again would only be reported as a wrong one.
    if (!password)
        return AdminLogin::NotGiven;
    if (password->size() > limit)
        return AdminLogin::TooLong;
    return check(kAdminUserName, *password) != 0 ? AdminLogin::Accepted : AdminLogin::Refused;
}

AdminLogin LogInAsAdmin(DeviceSession &session, const AskAdminPasswordFn &ask)
{
    return LogInAsAdmin([&session](std::string_view userName, std::string_view password)
                        { return session.CheckAdminPassword(userName, password); },
                        ask, session.PasswordLimit());
}

} // namespace izuzez::services
