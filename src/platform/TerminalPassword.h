#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>

namespace izuzez::platform
{

// One line of the stream; the line end ("\n" or "\r\n") is not part of the password. Empty at end of input.
// Reads at most limit + 2 bytes: a line that does not fit comes back longer than `limit`, for the caller to
// refuse, and the rest of it is left unread.
std::string PasswordFromLine(std::istream &in, std::size_t limit);

// Asks on the controlling terminal with echo off. Nothing when there is no terminal to ask on. A line longer
// than `limit` is read to its end but comes back cut to limit + 1 characters, for the caller to refuse.
std::optional<std::string> PasswordFromTerminal(const char *prompt, std::size_t limit);

} // namespace izuzez::platform
