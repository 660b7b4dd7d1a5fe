#include "platform/linux/XdgFolders.h"

#include <glib.h>

namespace izuzez::platform
{

namespace
{

std::string AbsoluteOr(const char *folder, const std::string &fallback)
{
    return folder != nullptr && folder[0] == '/' ? std::string(folder) : fallback;
}

std::string Take(char *text)
{
    std::string out = text != nullptr ? text : "";
    g_free(text);
    return out;
}

} // namespace

std::string UserDataDir()
{
    return AbsoluteOr(g_get_user_data_dir(), std::string(g_get_home_dir()) + "/.local/share");
}

std::string UserRuntimeDir()
{
    return AbsoluteOr(g_get_user_runtime_dir(), g_get_user_cache_dir());
}

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
