#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "CliOptions.h"
#include "Commands.h"
#include "ShareCommands.h"
#include "platform/StopSignals.h"
#include "platform/TerminalPassword.h"
#include "services/ProtocolSession.h"
#include "services/RememberingSession.h"

using namespace izuzez::cli;
using izuzez::platform::PasswordFromLine;
using izuzez::platform::PasswordFromTerminal;

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

    if (options.command == Command::Watch && !izuzez::platform::InstallStopHandlers(kExitDone))
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
        return RunWatch(options, *session, console, izuzez::platform::WaitOrStop);
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
    return RunCommand(options, *session, console);
}
