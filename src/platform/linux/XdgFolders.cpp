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

} // namespace

std::string UserDataDir()
{
    return AbsoluteOr(g_get_user_data_dir(), std::string(g_get_home_dir()) + "/.local/share");
}

} // namespace izuzez::platform
