#include "services/WindowsVersion.h"

namespace izuzez::services
{

namespace
{

constexpr std::uint32_t kPlatform9x = 1;
constexpr std::uint32_t kPlatformNt = 2;
constexpr std::uint32_t kPlatformCe = 3;

const char *Name9x(std::uint32_t minor, std::uint32_t build)
{
    if (minor < 10)
    {
        if (build == 950)
            return "Windows 95";
        if (build > 950 && build <= 1080)
            return "Windows 95 SP1";
        if (build > 1080)
            return "Windows 95 OSR2";
        return nullptr;
    }
    if (minor == 10)
    {
        if (build == 1998)
            return "Windows 98";
        if (build > 1998 && build <= 2182)
            return "Windows 98 SP1";
        if (build >= 2183)
            return "Windows 98 SE";
        return nullptr;
    }
    return minor == 90 ? "Windows ME" : nullptr;
}

const char *NameNt(std::uint32_t major, std::uint32_t minor)
{
    if (major == 3 && minor == 51)
        return "Windows NT 3.51";
    if (major == 4 && minor == 0)
        return "Windows NT 4";
    if (major == 5 && minor == 0)
        return "Windows 2000";
    if (major == 5 && minor == 1)
        return "Windows XP";
    if (major == 6)
        return "Vista";
    return nullptr;
}

} // namespace

std::string WindowsVersionName(const platform::OsVersionInfo &info)
{
    const std::uint32_t build = info.buildNumber & 0xFFFFu;
    const char *name = nullptr;
    if (info.platformId == kPlatform9x && info.majorVersion == 4)
        name = Name9x(info.minorVersion, build);
    else if (info.platformId == kPlatformNt)
        name = NameNt(info.majorVersion, info.minorVersion);
    else if (info.platformId == kPlatformCe)
        name = "Windows CE";
    return name != nullptr ? name : kUnknownWindowsVersion;
}

bool GetWindowsVersionName(std::string &name)
{
    platform::OsVersionInfo info;
    if (!platform::CurrentSystemInfo().GetVersionEx(info))
    {
        name = kUnknownWindowsVersion;
        return false;
    }
    name = WindowsVersionName(info);
    return true;
}

} // namespace izuzez::services
