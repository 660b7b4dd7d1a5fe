#pragma once

#include "Commands.h"

namespace izuzez::cli
{

// Runs a parsed command (not --help or --version) against the session and returns the exit status: the
// share commands here, the others through RunDeviceCommand.
int RunCommand(const Options &options, DeviceSession &session, Console &console);

} // namespace izuzez::cli
