#pragma once

#include <cctype>
#include <string_view>

namespace izuzez::platform
{

// ASCII comparison without regard to case, as the original platform compares resource types and share names.
inline bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace izuzez::platform
