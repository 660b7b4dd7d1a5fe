#pragma once

#include <optional>

#include "Commands.h"

namespace izuzez::cli
{

// Where main sends a parsed command. The front end (izuzez, FrontEnd.cpp) carries no share code, so that the
// commands a script runs most start at once; it hands each share command to the share helper (izuzez-shares,
// ShareCommands.cpp), which carries everything and runs it with the same arguments.

// The front end replaces itself with the helper and returns only when that failed, with the exit status; the
// helper returns nothing and runs the command itself.
std::optional<int> HandOverShareCommand(char **argv);

// Runs a parsed command (not --help, --version, doctor or watch) against the session and returns the exit
// status.
int RunCommand(const Options &options, DeviceSession &session, Console &console);

} // namespace izuzez::cli
