#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <string>

#include "Commands.h"
#include "services/DeviceChanges.h"

namespace izuzez::cli
{

using services::DeviceChange;
using services::DeviceEvent;
using services::KnownDevice;
using services::NextWatchStep;
using services::WatchStep;

// Searches every interval and prints one line per change until `waitOrStop` (called with the interval
// after each search) returns true; then exit 0. A failed write ends it too, with 0 when the reader went away.
// At most `searches` searches when it is above 0 (benchmarks).
int RunWatch(const Options &options, DeviceSession &session, Console &console,
             const std::function<bool(std::chrono::milliseconds)> &waitOrStop, long searches = 0);

// One change for a person: "TIME appeared NAME IP ..." with the old values of a change.
std::string ChangeLine(const DeviceChange &change, std::time_t when);
// One change as a JSON object on one line: event, time, the device's fields, "old" for a change.
std::string ChangeJson(const DeviceChange &change, std::time_t when);

} // namespace izuzez::cli
