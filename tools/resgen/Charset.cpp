#include "Charset.h"

#include <clocale>
#include <cwctype>
#include <iconv.h>

namespace izuzez::resgen
{

namespace
{
// Converts one byte sequence; returns the code point, or 0 when iconv refuses it or yields more than one
// character or a character beyond the BMP.
std::uint32_t Decode(iconv_t cd, const unsigned char *bytes, std::size_t length)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[4];
    for (std::size_t i = 0; i < length; ++i)
        in[i] = static_cast<char>(bytes[i]);
    char out[16];
    char *inPtr = in;
    char *outPtr = out;
    std::size_t inLeft = length;
    std::size_t outLeft = sizeof out;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
        return 0;
    if (sizeof out - outLeft != 4)
        return 0;
    std::uint32_t code = 0;
    for (int i = 3; i >= 0; --i)
        code = (code << 8) | static_cast<unsigned char>(out[i]);
    return code <= 0xFFFF ? code : 0;
}
} // namespace

bool LoadCharset(const std::string &name, Charset &out)
{
    iconv_t cd = iconv_open("UTF-32LE", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out = Charset{};
    out.name = name;
    out.fromUnicode.assign(65536, 0);
    for (int b = 0; b < 256; ++b)
    {
        const unsigned char byte = static_cast<unsigned char>(b);
        out.single[b] = static_cast<std::uint16_t>(b == 0 ? 0 : Decode(cd, &byte, 1));
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead)
    {
        if (out.single[lead] != 0)
            continue;
        for (int trail = 0x40; trail <= 0xFE; ++trail)
        {
            const unsigned char bytes[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
            const std::uint32_t code = Decode(cd, bytes, 2);
            if (code == 0)
                continue;
            out.leadByte[lead] = true;
            out.pairs.emplace_back(static_cast<std::uint16_t>(lead << 8 | trail), static_cast<std::uint16_t>(code));
        }
    }
    iconv_close(cd);
    out.doubleByte = !out.pairs.empty();
    // The first code of a Unicode value wins, so round trips keep the canonical byte.
    for (auto it = out.pairs.rbegin(); it != out.pairs.rend(); ++it)
        out.fromUnicode[it->second] = it->first;
    for (int b = 255; b >= 1; --b)
        if (out.single[b] != 0)
            out.fromUnicode[out.single[b]] = static_cast<std::uint16_t>(b);
    return true;
}

std::vector<std::pair<std::uint8_t, std::uint8_t>> CasePairs(const Charset &charset)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::vector<std::pair<std::uint8_t, std::uint8_t>> result;
    for (int b = 0x80; b < 256; ++b)
    {
        const std::uint16_t lower = charset.single[b];
        if (lower == 0 || charset.leadByte[b])
            continue;
        const auto upper = static_cast<std::uint32_t>(std::towupper(static_cast<wint_t>(lower)));
        if (upper == lower || upper > 0xFFFF)
            continue;
        const std::uint16_t upperCode = charset.fromUnicode[upper];
        if (upperCode >= 0x80 && upperCode < 0x100)
            result.emplace_back(static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(upperCode));
    }
    return result;
}

} // namespace izuzez::resgen
