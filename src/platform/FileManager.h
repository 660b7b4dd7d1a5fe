#pragma once

#include <string>

namespace izuzez::platform
{

// Opens a local folder in the desktop's file manager, started as a process of its own that we do not wait
// for. WinExec's codes: above 31 when it started.
unsigned OpenInFileManager(const std::string &folder);

} // namespace izuzez::platform
