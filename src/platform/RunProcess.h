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

// Runs argv (argv[0] searched in PATH when it has no slash) with standard input on /dev/null, collects its
// output and waits for its exit, all within `limit`; past the limit it is killed by its pid. Output past
// `outputCap` bytes a stream is read and dropped, so a talkative program still runs to its end.
ProcessRun RunProcess(const std::vector<std::string> &argv, std::chrono::milliseconds limit,
                      std::size_t outputCap = std::size_t{1} << 20);

} // namespace izuzez::platform
