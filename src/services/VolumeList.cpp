#include "services/VolumeList.h"

#include <glib.h>

namespace izuzez::services
{

namespace
{

constexpr std::size_t kShareNameBytes = 255;

// Valid UTF-8, what does not decode replaced.
std::string MadeValid(std::string_view text)
{
    gchar *valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string result(valid);
    g_free(valid);
    return result;
}

// One character for one, as the window's toolkit compares (simple case folding): full folding would make
// "ß" equal "ss". Folding the upper case form also joins the pairs whose fold is the upper case (Cherokee).
gunichar FoldedChar(gunichar c)
{
    if (c == 0x0131) // dotless i has no fold: it is not I's lower case
        return c;
    const gunichar upper = g_unichar_toupper(c);
    gchar bytes[6];
    gchar *full = g_utf8_casefold(bytes, g_unichar_to_utf8(upper, bytes));
    const gunichar folded = g_utf8_strlen(full, -1) == 1 ? g_utf8_get_char(full) : g_unichar_tolower(upper);
    g_free(full);
    return folded;
}

std::u32string Folded(std::string_view text)
{
    const std::string valid = MadeValid(text);
    std::u32string folded;
    for (const gchar *p = valid.c_str(); *p != '\0'; p = g_utf8_next_char(p))
        folded += static_cast<char32_t>(FoldedChar(g_utf8_get_char(p)));
    return folded;
}

bool Same(std::string_view a, std::string_view b, bool ignoreCase)
{
    return ignoreCase ? Folded(a) == Folded(b) : MadeValid(a) == MadeValid(b);
}

} // namespace

std::string ShareNameForDisplay(std::string_view deviceName)
{
    std::string text = MadeValid(deviceName);
    if (text.size() > kShareNameBytes)
    {
        std::size_t end = kShareNameBytes;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        text.resize(end);
    }
    return text;
}

std::string LetterOfShare(std::span<const LetterShare> drives, std::string_view deviceName, std::string_view deviceIp,
                          std::string_view share, bool ignoreServerCase)
{
    std::string letter;
    for (const LetterShare &drive : drives)
    {
        const bool sameServer =
            Same(drive.server, deviceName, ignoreServerCase) || Same(drive.server, deviceIp, ignoreServerCase);
        if (sameServer && Same(drive.share, share, true))
            letter = drive.letter;
    }
    return letter;
}

} // namespace izuzez::services
