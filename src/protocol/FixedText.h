#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

// Copies text into a fixed field, truncating to size - 1 bytes and zero-padding the rest.
inline void CopyText(char *field, std::size_t size, std::string_view text)
{
    if (size == 0)
        return;
    const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    if (n > 0)
        std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, size - n);
}

template <std::size_t N> void CopyText(char (&field)[N], std::string_view text)
{
    CopyText(field, N, text);
}

// The text of a fixed field, stopping at its size if a terminator is missing.
template <std::size_t N> std::string_view FieldText(const char (&field)[N])
{
    return std::string_view(field, strnlen(field, N));
}
