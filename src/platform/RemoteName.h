#pragma once

#include <string>
#include <string_view>

namespace izuzez::platform
{

// The one reader and writer of a share's remote name, "\\server\share".

// Both parts non-empty and free of '\', '/' and NUL: anything else could name another share or a folder
// in one. False, with nothing written, for any other text.
bool SplitRemoteName(std::string_view remote, std::string &server, std::string &share);

// "\\server\share" as written; SplitRemoteName refuses it when a part is not well formed.
std::string JoinRemoteName(std::string_view server, std::string_view share);

} // namespace izuzez::platform
