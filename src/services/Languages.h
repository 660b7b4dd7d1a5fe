#pragma once

// The languages a device can be given, in the order of the window's combo. Apart from their installation, so
// that reading a command line does not bring in the share code.

#include <span>
#include <string_view>

namespace izuzez::services
{

struct Language
{
    const char *name;     // combo item
    const char *codepage; // SetCodepage payload
};
std::span<const Language> Languages();
// Index of a code page text in the list; -1 when it is none of the nine.
int LanguageIndexOf(std::string_view codepage);
// 865, 852 and 857 (indexes 3 to 5) need firmware that carries them.
bool IsCodepageUnsupported(int index, bool extraCodepages);

} // namespace izuzez::services
