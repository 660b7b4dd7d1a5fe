#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace izuzez::platform
{

// The desktop entry ("firefox-esr.desktop") GIO names as the default handler of http addresses; empty when
// none is set or installed. GIO reads the freedesktop folders once per process and then follows changes.
std::string DefaultBrowserId();
// The same for folders (inode/directory): the desktop's file manager.
std::string DefaultFileManagerId();

// The Exec line of an installed desktop entry with its field codes (%u, %U, %f, ...) taken out, the caller
// appending the address itself, and "%%" made "%"; empty when the entry is missing, cannot run or has no
// Exec line.
std::string DesktopEntryCommand(std::string_view desktopId);

// Splits a command line into words as a shell would: quotes group, a backslash escapes. False for a broken
// or empty one.
bool SplitCommandLine(std::string_view commandLine, std::vector<std::string> &words);

} // namespace izuzez::platform
