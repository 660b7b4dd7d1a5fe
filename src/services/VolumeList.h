#pragma once

// The volume list of a device, for the window: each share's name as it can be shown, and the letter it is
// mapped to.

#include <span>
#include <string>
#include <string_view>

namespace izuzez::services
{

// A share name as the device sent it, made displayable: invalid UTF-8 replaced (one U+FFFD a byte), at most
// 255 bytes, cut on a character boundary.
std::string ShareNameForDisplay(std::string_view deviceName);

// One drive letter ("Z:") and the share it holds.
struct LetterShare
{
    std::string_view letter;
    std::string_view server;
    std::string_view share;
};

// The letter a share of a device shows: among `drives` (Z: first), the last one whose server is the device's
// name or IP (exactly, or ignoring case) and whose share is `share` ignoring case; empty when none is.
std::string LetterOfShare(std::span<const LetterShare> drives, std::string_view deviceName, std::string_view deviceIp,
                          std::string_view share, bool ignoreServerCase);

} // namespace izuzez::services
