#pragma once

#include <string>
#include <string_view>

// A device's text made safe for one terminal or log line. Control characters of both ranges (0x00-0x1F,
// 0x7F, 0x80-0x9F) become '?', whether they come as single bytes or as the UTF-8 forms of U+0080 to U+009F,
// so that a name can neither break the line layout nor send escape sequences. Well-formed UTF-8 letters and
// the other bytes pass unchanged.
std::string PrintableText(std::string_view text);
