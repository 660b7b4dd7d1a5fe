#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include "CliOptions.h"
#include "Commands.h"
#include "Dispatch.h"
#include "Doctor.h"
#include "Password.h"
#include "WatchCommand.h"
#include "services/ProtocolSession.h"
#include "services/RememberingSession.h"

using namespace izuzez::cli;

namespace
{

int g_stopPipe[2] = {-1, -1};
// Outside the wait between searches a stop ends the program at once: a write that a full pipe or a stopped
// terminal holds would never come back to look at the pipe.
std::atomic<bool> g_stopAtOnce{true};
static_assert(std::atomic<bool>::is_always_lock_free, "read in a signal handler");

void OnStopSignal(int)
{
    if (g_stopAtOnce.load())
        _exit(kExitDone);
    const char byte = 1;
    const ssize_t ignored = write(g_stopPipe[1], &byte, 1);
    (void)ignored;
}

// watch ends on SIGINT and SIGTERM; while it waits, the handler only writes to a pipe that the wait polls.
bool InstallStopHandlers()
{
    if (pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action
    {
    };
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

// True when a stop signal came or the reader of our output went away (a pipe's reader closing it tells
// nothing until the next write, which may be a long way off when nothing changes).
bool WaitOrStop(std::chrono::milliseconds interval)
{
    pollfd fds[2] = {{g_stopPipe[0], POLLIN, 0}, {STDOUT_FILENO, 0, 0}};
    const auto end = std::chrono::steady_clock::now() + interval;
    g_stopAtOnce = false;
    bool stop = false;
    for (;;)
    {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        const int ready = poll(fds, 2, static_cast<int>(std::max<long long>(left, 0)));
        if (ready == 0)
            break;
        if (ready < 0)
            continue;
        if (fds[1].revents & POLLNVAL)
            fds[1].fd = -1; // no output at all: its writes say so
        if ((fds[0].revents & POLLIN) || (fds[1].revents & (POLLERR | POLLHUP)))
        {
            stop = true;
            break;
        }
    }
    g_stopAtOnce = true;
    // A signal that came between the poll and the line above is in the pipe.
    pollfd late{g_stopPipe[0], POLLIN, 0};
    return stop || poll(&late, 1, 0) > 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = ParseCommandLine(args);
    if (!parsed.ok)
    {
        std::cerr << "izuzez: " << parsed.error << "\n";
        return kExitUsage;
    }
    const Options &options = parsed.options;
    if (options.help)
    {
        std::cout << UsageText();
        return kExitDone;
    }
    if (options.version)
    {
        std::cout << VersionText();
        return kExitDone;
    }

    if (IsShareCommand(options.command))
        if (const std::optional<int> status = HandOverShareCommand(argv))
            return *status;

    if (options.command == Command::Doctor)
    {
        Console console{std::cout, std::cerr, {}, false, {}};
        return RunDoctor(options, console);
    }

    if (options.command == Command::Watch && !InstallStopHandlers())
    {
        std::cerr << "izuzez: cannot install the signal handlers.\n";
        return kExitDevice;
    }
    auto opened = izuzez::services::OpenProtocolSession(options.interfaces, options.verbose);
    const auto warn = [](const std::string &warning) { std::cerr << "izuzez: warning: " << warning << "\n"; };
    for (const std::string &warning : opened.warnings)
        warn(warning);
    if (!opened.missing.empty())
    {
        for (const std::string &address : opened.missing)
            std::cerr << "izuzez: " << address << " is not a local IPv4 address of this machine.\n";
        return kExitUsage;
    }
    const auto session = izuzez::services::RememberSearches(std::move(opened.session), warn); // for wake
    if (options.command == Command::Watch)
    {
        Console console{std::cout, std::cerr, {}, false, {}};
        return RunWatch(options, *session, console, WaitOrStop);
    }
    const std::size_t limit = session->PasswordLimit();
    Console console{std::cout, std::cerr,
                    [&options, limit]() -> std::optional<std::string>
                    {
                        if (options.passwordStdin)
                            return PasswordFromLine(std::cin, limit);
                        return PasswordFromTerminal("Administrator password: ", limit);
                    },
                    isatty(STDOUT_FILENO) == 1,
                    [&options](const std::string &prompt) -> std::optional<std::string>
                    {
                        constexpr std::size_t kShareLimit = 256;
                        if (options.passwordStdin)
                            return PasswordFromLine(std::cin, kShareLimit);
                        return PasswordFromTerminal(prompt.c_str(), kShareLimit);
                    }};
    return DispatchCommand(options, *session, console);
}
