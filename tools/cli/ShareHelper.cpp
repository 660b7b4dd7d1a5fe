#include "Dispatch.h"
#include "ShareCommands.h"

namespace izuzez::cli
{

std::optional<int> HandOverShareCommand(char **)
{
    return std::nullopt;
}

int DispatchCommand(const Options &options, DeviceSession &session, Console &console)
{
    return RunCommand(options, session, console);
}

} // namespace izuzez::cli
