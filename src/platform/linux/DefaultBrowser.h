#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace izuzez::platform
{

// The desktop entry ("firefox-esr.desktop") that mimeapps.list names for x-scheme-handler/http, searching
// the freedesktop places in their order; empty when none does.
std::string DefaultBrowserFromMimeApps();

// The directories of desktop entries ($XDG_DATA_HOME/applications, then each $XDG_DATA_DIRS/applications).
std::vector<std::string> ApplicationDirectories();

// The Exec line of a desktop entry found in those directories, with its field codes (%u, %U, %f, ...)
// taken out and "%%" made "%"; empty when the entry or its Exec line is missing.
std::string DesktopEntryCommand(std::string_view desktopId);

// The readers of those files' texts: the desktop entries mimeapps.list names for x-scheme-handler/http, in
// its order; the command of a desktop entry's Exec line as DesktopEntryCommand gives it.
std::vector<std::string> MimeAppsHttpHandlers(std::string_view listText);
std::string DesktopEntryExecCommand(std::string_view entryText);

// Splits a command line into words: double quotes group, a backslash inside them escapes the next
// character. False for an unterminated quote.
bool SplitCommandLine(std::string_view commandLine, std::vector<std::string> &words);

} // namespace izuzez::platform
