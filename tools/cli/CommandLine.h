#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "CliOptions.h"

namespace izuzez::cli
{

// The one declaration of izuzez's command line: every command with its arguments and options. The parser,
// the usage text, the bash completion and the manual's lists are all made from it, so they cannot differ
// (izuzez-cli-reference, in tools/cli-reference, makes the completion and the manual).
struct CommandLine
{
    CLI::App app;
    // What the declaration reads into; ParseCommandLine checks the command's arguments once all is read.
    Options options;
    std::string queryName; // query's WHAT, read into options.query
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
bool TakesValue(const CLI::Option &option);
// Every option of the commands once, in declaration order, by name and value (search's --wait MS and wake's
// --wait SECONDS are two entries).
std::vector<const CLI::Option *> CommandOptions(const CLI::App &app);

// One piece of a synopsis: an argument's name, or an option with its value's name.
struct SynopsisPiece
{
    std::string word;
    std::string value;
    bool optional = false;
    bool repeats = false;
};
std::vector<SynopsisPiece> SynopsisPieces(const CLI::App &command);
// The command's synopsis after its name: "IP VOLUME [LETTER] [--user NAME] [--password-stdin]".
std::string Synopsis(const CLI::App &command);

std::string RenderUsage(const CommandLine &line);

} // namespace izuzez::cli
