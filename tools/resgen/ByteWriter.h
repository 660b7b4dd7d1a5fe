#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace izuzez::resgen
{

// Appends integers in a fixed byte order.
class ByteWriter
{
public:
    explicit ByteWriter(bool bigEndian = false) : m_bigEndian(bigEndian) {}

    void U8(std::uint32_t v) { m_bytes.push_back(static_cast<std::uint8_t>(v)); }
    void U16(std::uint32_t v) { Put(v, 2); }
    void U32(std::uint32_t v) { Put(v, 4); }
    void Text(std::string_view s, std::size_t width)
    {
        for (std::size_t i = 0; i < width; ++i)
            U8(i < s.size() ? static_cast<unsigned char>(s[i]) : 0);
    }
    void CString(std::string_view s)
    {
        Text(s, s.size());
        U8(0);
    }
    void Pad(std::size_t alignment)
    {
        while (m_bytes.size() % alignment != 0)
            U8(0);
    }
    void Append(const std::vector<std::uint8_t> &other) { m_bytes.insert(m_bytes.end(), other.begin(), other.end()); }

    std::size_t size() const { return m_bytes.size(); }
    std::vector<std::uint8_t> &bytes() { return m_bytes; }

private:
    void Put(std::uint32_t v, int width)
    {
        for (int i = 0; i < width; ++i)
        {
            const int shift = m_bigEndian ? (width - 1 - i) * 8 : i * 8;
            U8(v >> shift);
        }
    }

    bool m_bigEndian;
    std::vector<std::uint8_t> m_bytes;
};

} // namespace izuzez::resgen
