#include "ShareCommands.h"

namespace izuzez::cli
{

std::optional<int> HandOverShareCommand(char **)
{
    return std::nullopt;
}

int RunCommand(const Options &options, DeviceSession &session, Console &console)
{
    switch (options.command)
    {
    case Command::Open:
    case Command::Map:
    case Command::Unmap:
    case Command::Drives:
        return RunDriveCommand(options, session, console);
    case Command::InstallCodepage:
        return RunInstallCodepage(options, session, console);
    case Command::InstallBt:
        return RunInstallBt(options, session, console);
    default:
        return RunDeviceCommand(options, session, console);
    }
}

} // namespace izuzez::cli
