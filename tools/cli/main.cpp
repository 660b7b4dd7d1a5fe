#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "CliOptions.h"
#include "Commands.h"
#include "Doctor.h"
#include "Password.h"
#include "ProtocolSession.h"

using namespace izuzez::cli;

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

    if (options.command == Command::Doctor)
    {
        Console console{std::cout, std::cerr, {}, false, {}};
        return RunDoctor(options, console);
    }

    std::vector<std::string> missing;
    const auto session = OpenProtocolSession(options.interfaces, options.verbose, missing);
    if (!missing.empty())
    {
        for (const std::string &address : missing)
            std::cerr << "izuzez: " << address << " is not a local IPv4 address of this machine.\n";
        return kExitUsage;
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
                    [&options]() -> std::optional<std::string>
                    {
                        constexpr std::size_t kShareLimit = 256;
                        if (options.passwordStdin)
                            return PasswordFromLine(std::cin, kShareLimit);
                        return PasswordFromTerminal("Share password: ", kShareLimit);
                    }};
    return RunCommand(options, *session, console);
}
