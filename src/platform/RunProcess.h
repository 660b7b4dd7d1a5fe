#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace izuzez::platform
{

struct ProcessRun
{
    bool started = false;
    bool timedOut = false; // it overstayed the limit and was killed
    int status = -1;       // exit status; -1 when it did not start, was killed or ended by a signal
    std::string out;
    std::string err;
};

// Every program this one starts is started here.

struct RunOptions
{
    std::chrono::milliseconds limit{10000};
    bool capture = true;      // false: its standard output and error stay ours (a terminal, a log)
    bool killWhenLate = true; // false: past the limit it is left running and reaped in the background
    std::size_t outputCap = std::size_t{1} << 20;
};

// Runs argv (argv[0] searched in PATH when it has no slash) with standard input on /dev/null, collects its
// output and waits for its exit, all within the limit; past the limit it is killed by its pid (or left, see
// above). Output past `outputCap` bytes a stream is read and dropped, so a talkative program still runs to its
// end.
ProcessRun RunProcess(const std::vector<std::string> &argv, const RunOptions &options);
ProcessRun RunProcess(const std::vector<std::string> &argv, std::chrono::milliseconds limit,
                      std::size_t outputCap = std::size_t{1} << 20);

enum class StartMode
{
    Detached, // a session of its own, standard streams on /dev/null, handed to init: nobody waits for it
    Reaped,   // shares our session and streams (standard input on /dev/null); reaped in the background
    Kept,     // as Reaped, but the caller ends it with StopProcess
};

struct ProcessStart
{
    int error = 0; // 0 when it started, else the errno of the failed start (a missing program: ENOENT)
    int pid = -1;  // for Kept only
};

// Starts argv without waiting for it; `program` is the file to run when it is not argv[0] (searched in PATH).
ProcessStart StartProcess(const std::vector<std::string> &argv, StartMode mode, const std::string &program = {});

// Ends a Kept process: SIGTERM, then SIGKILL when it is still there after `grace`; waits for it either way.
void StopProcess(int pid, std::chrono::milliseconds grace);

} // namespace izuzez::platform
