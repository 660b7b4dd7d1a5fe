#include <algorithm>
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

using namespace izuzez::cli;

namespace
{

int g_stopPipe[2] = {-1, -1};

void OnStopSignal(int)
{
    const char byte = 1;
    const ssize_t ignored = write(g_stopPipe[1], &byte, 1);
    (void)ignored;
}

// watch ends on SIGINT and SIGTERM; the handler only writes to a pipe that the wait between searches polls.
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

// True when a stop signal came, before the interval or during the search before it.
bool WaitOrStop(std::chrono::milliseconds interval)
{
    pollfd fd{g_stopPipe[0], POLLIN, 0};
    const auto end = std::chrono::steady_clock::now() + interval;
    for (;;)
    {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        const int ready = poll(&fd, 1, static_cast<int>(std::max<long long>(left, 0)));
        if (ready > 0)
            return true;
        if (ready == 0)
            return false;
    }
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
    std::vector<std::string> missing;
    const auto session = izuzez::services::OpenProtocolSession(options.interfaces, options.verbose, missing);
    if (!missing.empty())
    {
        for (const std::string &address : missing)
            std::cerr << "izuzez: " << address << " is not a local IPv4 address of this machine.\n";
        return kExitUsage;
    }
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
