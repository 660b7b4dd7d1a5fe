#pragma once

// Runs one command line against a session as the program's main does, with both outputs captured.

#include "ShareCommands.h"

#include <gtest/gtest.h>

#include <sstream>

namespace izuzez::test
{

struct CommandRun
{
    int status;
    std::string out;
    std::string err;
};

inline CommandRun RunCli(const std::vector<std::string> &args, cli::DeviceSession &session,
                         std::function<std::optional<std::string>()> askPassword,
                         std::function<std::optional<std::string>(const std::string &)> askSharePassword = nullptr)
{
    const cli::ParseResult parsed = cli::ParseCommandLine(args);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    std::ostringstream out;
    std::ostringstream err;
    cli::Console console{out, err, std::move(askPassword), false, std::move(askSharePassword)};
    const int status = cli::RunCommand(parsed.options, session, console);
    return {status, out.str(), err.str()};
}

} // namespace izuzez::test
