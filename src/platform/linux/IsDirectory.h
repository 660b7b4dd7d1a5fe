#pragma once

#include <string>

#include <sys/stat.h>

namespace izuzez::platform
{

// A folder, or a link to one.
inline bool IsDirectory(const std::string &path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace izuzez::platform
