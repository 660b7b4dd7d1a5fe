#pragma once

// Requests laid out by hand, byte by byte, as the program sends them; independent of the simulator's codec.
#include <cstdint>
#include <string>
#include <vector>

namespace devsim_test
{

using Bytes = std::vector<std::uint8_t>;

inline const Bytes kClientId{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0, 0, 0, 0};

inline void appendLe32(Bytes &out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline Bytes searchRequest(const Bytes &clientId = kClientId)
{
    Bytes out{1};
    out.insert(out.end(), clientId.begin(), clientId.end());
    return out;
}

inline Bytes queryRequest(const Bytes &uuid, std::uint8_t sub, const std::string &payload = {},
                          const Bytes &clientId = kClientId)
{
    Bytes out{3};
    out.insert(out.end(), clientId.begin(), clientId.end());
    out.insert(out.end(), uuid.begin(), uuid.end());
    out.insert(out.end(), {sub, 0, 0});
    appendLe32(out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

inline Bytes settingRequest(const Bytes &uuid, std::uint8_t sub, const std::string &netmask, const std::string &gateway,
                            const std::string &payload, const Bytes &clientId = kClientId)
{
    Bytes out{5};
    out.insert(out.end(), clientId.begin(), clientId.end());
    out.insert(out.end(), uuid.begin(), uuid.end());
    out.insert(out.end(), {sub, 0, 0});
    for (const std::string *text : {&netmask, &gateway})
    {
        Bytes field(16, 0);
        for (std::size_t i = 0; i < text->size() && i < 16; ++i)
            field[i] = static_cast<std::uint8_t>((*text)[i]);
        out.insert(out.end(), field.begin(), field.end());
    }
    appendLe32(out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

inline std::uint32_t le32(const Bytes &data, std::size_t offset)
{
    return static_cast<std::uint32_t>(data.at(offset)) | static_cast<std::uint32_t>(data.at(offset + 1)) << 8 |
           static_cast<std::uint32_t>(data.at(offset + 2)) << 16 |
           static_cast<std::uint32_t>(data.at(offset + 3)) << 24;
}

inline std::string textAt(const Bytes &data, std::size_t offset, std::size_t size)
{
    std::string text;
    for (std::size_t i = offset; i < offset + size && i < data.size() && data[i] != 0; ++i)
        text.push_back(static_cast<char>(data[i]));
    return text;
}

inline Bytes slice(const Bytes &data, std::size_t offset, std::size_t size)
{
    return Bytes(data.begin() + static_cast<std::ptrdiff_t>(offset),
                 data.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

} // namespace devsim_test
