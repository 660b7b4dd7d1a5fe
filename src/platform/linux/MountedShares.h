#pragma once

#include <string>
#include <string_view>

namespace izuzez::platform
{

// The local folder through which the person's own session reaches \\server\share: the target of a drive
// letter mapped to it, else GVfs's folder of the share when GVfs has it mounted. Writing there uses the
// credentials the share was mounted with. Empty when the share is mounted nowhere.
std::string MountedShareFolder(std::string_view server, std::string_view share);

} // namespace izuzez::platform
