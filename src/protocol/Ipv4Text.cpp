#include "protocol/Ipv4Text.h"

#include <algorithm>

namespace
{

bool HasLeadingZero(std::string_view text)
{
    std::size_t start = 0;
    while (start <= text.size())
    {
        const std::size_t end = std::min(text.find('.', start), text.size());
        if (end - start > 1 && text[start] == '0')
            return true;
        start = end + 1;
    }
    return false;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

Ipv4Reading ReadIpv4(std::string_view text)
{
    Ipv4Reading reading;
    if (HasLeadingZero(text))
    {
        reading.verdict = Ipv4Verdict::LeadingZero;
        return reading;
    }
    std::array<int, 4> octets{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < octets.size(); ++i)
    {
        if (i > 0)
        {
            if (pos >= text.size() || text[pos] != '.')
                return reading;
            ++pos;
        }
        const std::size_t first = pos;
        while (pos < text.size() && IsDigit(text[pos]) && pos - first < 3)
            octets[i] = octets[i] * 10 + (text[pos++] - '0');
        if (pos == first || (pos < text.size() && IsDigit(text[pos])))
            return reading;
    }
    if (pos != text.size())
        return reading;
    reading.octets = octets;
    reading.verdict = Ipv4Verdict::Address;
    for (int octet : octets)
        if (octet > 255)
            reading.verdict = Ipv4Verdict::OctetAbove255;
    return reading;
}

bool ParseIpv4(std::string_view text, std::uint32_t &address)
{
    const Ipv4Reading reading = ReadIpv4(text);
    if (reading.verdict != Ipv4Verdict::Address)
        return false;
    address = 0;
    for (int octet : reading.octets)
        address = (address << 8) | static_cast<std::uint32_t>(octet);
    return true;
}
