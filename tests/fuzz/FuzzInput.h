#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace izuzez::fuzz
{

inline std::string_view AsText(const std::uint8_t *data, std::size_t size)
{
    return {reinterpret_cast<const char *>(data), size};
}

// The input cut at every `separator` byte; empty pieces are kept, so that the fuzzer reaches empty texts.
inline std::vector<std::string> Pieces(std::string_view text, char separator, std::size_t limit = 64)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (pieces.size() < limit)
    {
        const std::size_t end = text.find(separator, start);
        pieces.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return pieces;
}

} // namespace izuzez::fuzz
