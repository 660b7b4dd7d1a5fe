#include "platform/SystemInfo.h"

namespace izuzez::platform
{

namespace
{
std::unique_ptr<SystemInfo> &SystemInfoSlot()
{
    static std::unique_ptr<SystemInfo> slot;
    return slot;
}
} // namespace

SystemInfo &CurrentSystemInfo()
{
    if (!SystemInfoSlot())
        SystemInfoSlot() = CreateSystemInfo();
    return *SystemInfoSlot();
}

void SetSystemInfo(std::unique_ptr<SystemInfo> info)
{
    SystemInfoSlot() = std::move(info);
}

} // namespace izuzez::platform
