#include "platform/linux/UriEscape.h"

#include <glib.h>

namespace izuzez::platform
{

namespace
{

std::string Take(char *text)
{
    std::string out = text != nullptr ? text : "";
    g_free(text);
    return out;
}

} // namespace

std::string EscapeUriPart(std::string_view part)
{
    // The bytes version escapes a NUL instead of ending there.
    return Take(g_uri_escape_bytes(reinterpret_cast<const guint8 *>(part.data()), part.size(), "!$&'()*+,;=@"));
}

bool UnescapeUriPart(std::string_view text, std::string &out)
{
    if (text.find('\0') != std::string_view::npos)
        return false;
    const std::string copy(text);
    char *plain = g_uri_unescape_string(copy.c_str(), nullptr);
    if (plain == nullptr)
        return false;
    out = Take(plain);
    return true;
}

} // namespace izuzez::platform
