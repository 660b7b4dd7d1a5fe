#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "CliOptions.h"

namespace izuzez::cli
{

// What the declaration binds to: the options straight into Options; ParseCommandLine checks the rest.
struct CommandLineValues
{
    Options options;
    int intervalSeconds = 0;
    std::string ip;
    std::string netmask;
    std::string gateway;
    std::array<std::string, 3> args; // the positional arguments of the command, in order
};

// The one declaration of izuzez's command line: every command with its arguments and options. The parser,
// the usage text, the bash completion and the manual's lists are all made from it, so they cannot differ.
struct CommandLine
{
    CLI::App app;
    CommandLineValues values;
    std::map<std::string, Command, std::less<>> commands;
    // Positional arguments that take one of a fixed set of words (the completion offers them).
    std::map<const CLI::Option *, std::vector<std::string>> choices;
    // CLI11 reads an option before a subcommand only as the app's own, so the app has a twin of each command
    // option; a command takes over what its twins read (DeclareCommandLine).
    std::vector<CLI::Option *> twins;
};

std::unique_ptr<CommandLine> DeclareCommandLine();

// The commands in declaration order, and the options a command accepts (its own, then the global ones).
std::vector<const CLI::App *> DeclaredCommands(const CLI::App &app);
std::vector<const CLI::Option *> VisibleOptions(const CLI::App &app);
// "--wait", or "" for a positional argument.
std::string OptionName(const CLI::Option &option);
// The command's synopsis after its name: "IP VOLUME [LETTER] [--user NAME] [--password-stdin]".
std::string Synopsis(const CLI::App &command);

std::string RenderUsage(const CommandLine &line);
std::string RenderBashCompletion(const CommandLine &line);
// The manual's COMMANDS and OPTIONS sections (roff), put into the template at @COMMANDS@ and @OPTIONS@.
std::string RenderManualCommands(const CommandLine &line);
std::string RenderManualOptions(const CommandLine &line);
std::string RenderManual(const CommandLine &line, std::string_view manualTemplate);

} // namespace izuzez::cli
