#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace izuzez::platform
{

// Starts argv[0] (searched in PATH when it has no slash) as a process of its own session that we do not
// wait for, its standard streams on /dev/null. WinExec's codes: 33 started, 2 file not found, 3 path not
// found, 11 bad format, 5 access denied, 0 anything else.
unsigned StartDetached(const std::vector<std::string> &argv);

// Runs argv and returns its first line of output; empty when it fails or overstays `limit` (then killed).
std::string FirstLineOf(const std::vector<std::string> &argv, std::chrono::milliseconds limit);

} // namespace izuzez::platform
