#pragma once

#include "Commands.h"

namespace izuzez::cli
{

// The window's language installation for one code page, without the dialogs: the device's disk state,
// the files, the code page, then the restart wait (unless --no-restart-wait).
int RunInstallCodepage(const Options &o, DeviceSession &session, Console &console);
// The BitTorrent helper installation: administrator password, support check, the two files, the restart wait.
int RunInstallBt(const Options &o, DeviceSession &session, Console &console);

} // namespace izuzez::cli
