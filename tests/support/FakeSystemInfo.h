#pragma once

#include "platform/SystemInfo.h"

#include <optional>
#include <string>

namespace izuzez::test
{

// A version as the test names it (nullopt: unreadable, as on Linux) and the logged-on user.
class FakeSystemInfo : public platform::SystemInfo
{
public:
    std::optional<platform::OsVersionInfo> version;
    std::string userName = "alice";

    bool GetVersionEx(platform::OsVersionInfo &info) const override
    {
        if (version)
            info = *version;
        return version.has_value();
    }
    bool GetUserName(std::string &name) const override
    {
        name = userName;
        return true;
    }
};

} // namespace izuzez::test
