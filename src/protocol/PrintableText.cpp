#include "protocol/PrintableText.h"

namespace
{

bool InRange(unsigned char byte, unsigned char low, unsigned char high)
{
    return byte >= low && byte <= high;
}

// Length of the well-formed UTF-8 sequence at text[at], or 0 when the bytes there are not one. Strict, so
// that a continuation byte in 0x80-0x9F only passes inside a letter the terminal will decode as such.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (InRange(lead, 0xC2, 0xDF))
        length = 2;
    else if (InRange(lead, 0xE0, 0xEF))
    {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    }
    else if (InRange(lead, 0xF0, 0xF4))
    {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || text.size() - at < length || !InRange(byte(1), low, high))
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!InRange(byte(i), 0x80, 0xBF))
            return 0;
    return length;
}

} // namespace

std::string PrintableText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size())
    {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x20 || byte == 0x7F)
        {
            out += '?';
            ++at;
            continue;
        }
        if (byte < 0x80)
        {
            out += static_cast<char>(byte);
            ++at;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0)
        {
            // A stray byte: one of 0x80-0x9F is a control character to an 8-bit terminal.
            out += InRange(byte, 0x80, 0x9F) ? '?' : static_cast<char>(byte);
            ++at;
            continue;
        }
        // U+0080 to U+009F are 0xC2 0x80 to 0xC2 0x9F.
        if (byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F)
            out += '?';
        else
            out.append(text.substr(at, length));
        at += length;
    }
    return out;
}
