#pragma once

#include <string>
#include <vector>

#include "CliOptions.h"
#include "Commands.h"

namespace izuzez::cli
{

// open, map, unmap and drives: the web page and the drive letters, over the platform layers in use.
int RunDriveCommand(const Options &options, DeviceSession &session, Console &console);

} // namespace izuzez::cli
