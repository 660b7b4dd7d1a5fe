#pragma once

#include "Commands.h"

namespace izuzez::cli
{

// Sends the magic packet for the device of options.wakeDevice, then with --wait searches until it answers.
int RunWake(const Options &options, DeviceSession &session, Console &console);

} // namespace izuzez::cli
