#pragma once

#include <string>
#include <vector>

#include "CliOptions.h"
#include "Commands.h"

namespace izuzez::cli
{

// open, map, unmap and drives: the web page and the drive letters, over the platform layers in use.
bool IsDriveCommand(Command command);
// Checks the positional arguments and options of those commands; an error text, or empty.
std::string CheckDriveCommand(Options &options, const std::vector<std::string> &positional);
int RunDriveCommand(const Options &options, DeviceSession &session, Console &console);

} // namespace izuzez::cli
