#pragma once

#include <chrono>

namespace izuzez::platform
{

// SIGINT and SIGTERM end a program that waits between rounds of work (watch). Outside WaitOrStop a stop ends
// the program at once with `status`; during it the handler only writes to a pipe that the wait polls, so that
// the round in progress is never cut.
bool InstallStopHandlers(int status);

// Waits `interval`; true when a stop signal came or the reader of standard output went away (a pipe's reader
// closing it tells nothing until the next write, which may be a long way off when nothing changes).
bool WaitOrStop(std::chrono::milliseconds interval);

} // namespace izuzez::platform
