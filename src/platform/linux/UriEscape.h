#pragma once

#include <string>
#include <string_view>

namespace izuzez::platform
{

// Percent escaping of one part of an smb:// address: all but the unreserved characters, the sub-delims and
// "@" (a NUL is escaped too).
std::string EscapeUriPart(std::string_view part);

// The reverse; false for a broken escape and for one that gives a NUL.
bool UnescapeUriPart(std::string_view text, std::string &out);

} // namespace izuzez::platform
