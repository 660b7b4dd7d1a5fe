#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace izuzez::platform
{

// The fields of the basic version structure that GetVersionExA fills.
struct OsVersionInfo
{
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0; // 1 = Windows 9x, 2 = NT, 3 = CE
};

class SystemInfo
{
public:
    virtual ~SystemInfo() = default;
    // GetVersionExA; false when the version cannot be read.
    virtual bool GetVersionEx(OsVersionInfo &info) const = 0;
    // GetUserNameA: the name of the logged-on user; false when it cannot be read.
    virtual bool GetUserName(std::string &name) const = 0;
};

std::unique_ptr<SystemInfo> CreateSystemInfo();

// The layer the program uses; tests put a fake in its place (nullptr brings the backend back).
SystemInfo &CurrentSystemInfo();
void SetSystemInfo(std::unique_ptr<SystemInfo> info);

} // namespace izuzez::platform
