#pragma once

// The drive letters a share can be mapped to, for the window's letter list and the command line alike.

#include <string>
#include <vector>

namespace izuzez::platform
{
class NetworkDrives;
}

namespace izuzez::services
{

// "Z:" down to "C:", leaving out A:, B: and the local drives (removable, fixed, CD-ROM, RAM disk). Mapped
// letters are offered too: mapping one asks first.
std::vector<std::string> OfferableLetters(const platform::NetworkDrives &drives);

// The offerable letter nearest Z: that holds no connection; empty when every one is taken.
std::string FirstFreeLetter(const platform::NetworkDrives &drives);

} // namespace izuzez::services
