#include "platform/SystemInfo.h"

#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace izuzez::platform
{

namespace
{

class LinuxSystemInfo : public SystemInfo
{
public:
    // There is no Windows version to report here.
    bool GetVersionEx(OsVersionInfo &) const override { return false; }

    bool GetUserName(std::string &name) const override
    {
        long size = sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
        passwd entry{};
        passwd *result = nullptr;
        if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result != nullptr &&
            result->pw_name != nullptr && result->pw_name[0] != '\0')
        {
            name = result->pw_name;
            return true;
        }
        for (const char *variable : {"LOGNAME", "USER"})
        {
            if (const char *value = std::getenv(variable); value != nullptr && value[0] != '\0')
            {
                name = value;
                return true;
            }
        }
        return false;
    }
};

} // namespace

std::unique_ptr<SystemInfo> CreateSystemInfo()
{
    return std::make_unique<LinuxSystemInfo>();
}

} // namespace izuzez::platform
