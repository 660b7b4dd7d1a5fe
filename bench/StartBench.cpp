// How fast the command line starts: wall time, peak memory and the shared libraries it loads, for
// `izuzez --version` and a search on loopback. Prints figures; run by hand:
//   build/bin/izuzez-start-bench build/bin/izuzez [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/RunProcess.h"

extern char **environ;

namespace
{

struct Figures
{
    double medianMs = 0;
    long peakKiB = 0;
};

// One run with its output thrown away: the wall time from spawn to exit and the child's peak resident size.
bool RunOnce(const std::vector<std::string> &argv, double &ms, long &peakKiB)
{
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int error = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return false;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return false;
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    peakKiB = usage.ru_maxrss;
    return true;
}

Figures Measure(const std::vector<std::string> &argv, int runs)
{
    std::vector<double> times;
    Figures figures;
    for (int i = 0; i < runs; ++i)
    {
        double ms = 0;
        long peak = 0;
        if (!RunOnce(argv, ms, peak))
            break;
        times.push_back(ms);
        figures.peakKiB = std::max(figures.peakKiB, peak);
    }
    if (!times.empty())
    {
        std::sort(times.begin(), times.end());
        figures.medianMs = times[times.size() / 2];
    }
    return figures;
}

// The shared libraries the dynamic loader maps for the program, as ldd lists them.
int LoadedLibraries(const std::string &program)
{
    const auto run = izuzez::platform::RunProcess({"ldd", program}, std::chrono::seconds(10));
    int count = 0;
    for (char c : run.out)
        count += c == '\n';
    return count;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: izuzez-start-bench PATH-TO-IZUZEZ [RUNS]\n");
        return 2;
    }
    const std::string program = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    std::printf("%s: %d shared libraries\n", program.c_str(), LoadedLibraries(program));
    const std::vector<std::vector<std::string>> commands{
        {program, "--version"},
        {program, "--interface", "127.0.0.1", "search"},
    };
    for (const auto &command : commands)
    {
        const Figures figures = Measure(command, runs);
        std::string text;
        for (std::size_t i = 1; i < command.size(); ++i)
            text += (i > 1 ? " " : "") + command[i];
        std::printf("%-32s median %8.2f ms   peak %6ld KiB   (%d runs)\n", text.c_str(), figures.medianMs,
                    figures.peakKiB, runs);
    }
    return 0;
}
