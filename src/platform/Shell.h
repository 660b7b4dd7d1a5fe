#pragma once

#include <string_view>

namespace izuzez::platform
{

// The desktop's opener (xdg-open, or the command in $IZUZEZ_OPENER) stands for the Windows shell.

// ShellExecuteA(owner, "open", file, no parameters, no folder, SW_SHOW): waits (bounded) for the opener
// and returns more than 32 when it took the file; 2 (file not found) for a missing file, 31 (no
// association) when nothing opens that type, 5 for a verb other than "open", 0 when no opener runs.
int ShellExecuteA(std::string_view verb, std::string_view file);

// WinExec of "explorer URL" (the only command lines the program runs): starts the opener on the URL
// without waiting and returns more than 31 on success, 2 when no opener can be started, 11 for any
// other command line.
int WinExec(std::string_view commandLine);

} // namespace izuzez::platform
