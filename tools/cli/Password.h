#pragma once

#include <istream>
#include <optional>
#include <string>

namespace izuzez::cli
{

// One line of the stream; the line end ("\n" or "\r\n") is not part of the password. Empty at end of input.
std::string PasswordFromLine(std::istream &in);

// Asks on the controlling terminal with echo off. Nothing when there is no terminal to ask on.
std::optional<std::string> PasswordFromTerminal(const char *prompt);

} // namespace izuzez::cli
