#pragma once

#include <string>
#include <vector>

#include "CliOptions.h"

namespace izuzez::cli
{

// open, map, unmap and drives. Their arguments are read apart from the commands themselves, so that reading
// a command line never brings in the share code.
bool IsDriveCommand(Command command);
// Checks the positional arguments and options of those commands; an error text, or empty.
std::string CheckDriveCommand(Options &options, const std::vector<std::string> &positional);

} // namespace izuzez::cli
