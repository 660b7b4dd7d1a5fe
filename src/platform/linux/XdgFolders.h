#pragma once

#include <string>

namespace izuzez::platform
{

// The freedesktop folders as GLib works them out. GLib reads the environment once per process, on the first
// call. A relative $XDG_* value is ignored, as the standard asks.
std::string UserDataDir(); // $XDG_DATA_HOME, else ~/.local/share

} // namespace izuzez::platform
