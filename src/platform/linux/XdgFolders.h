#pragma once

#include <string>
#include <string_view>

namespace izuzez::platform
{

// The freedesktop folders as GLib works them out. GLib reads the environment once per process, on the first
// call. A relative $XDG_* value is ignored, as the standard asks.
std::string UserDataDir();    // $XDG_DATA_HOME, else ~/.local/share
std::string UserRuntimeDir(); // $XDG_RUNTIME_DIR, else GLib's (and so GVfs's) fallback

// Percent escaping of one part of an smb:// address: all but the unreserved characters and the sub-delims
// and "@" (a NUL is escaped too). Unescaping fails for a broken escape and for one that gives a NUL.
std::string EscapeUriPart(std::string_view part);
bool UnescapeUriPart(std::string_view text, std::string &out);

} // namespace izuzez::platform
