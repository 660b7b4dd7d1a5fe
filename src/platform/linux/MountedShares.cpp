#include "platform/linux/MountedShares.h"

#include "platform/TextCompare.h"
#include "platform/linux/DriveFolder.h"
#include "platform/linux/XdgFolders.h"

#include <filesystem>

#include <sys/stat.h>

namespace izuzez::platform
{

namespace
{

bool IsDirectory(const std::string &path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// GVfs lower-cases the names in its folder names; the device's share names ignore case as well.
bool SameShare(std::string_view server, std::string_view share, std::string_view otherServer,
               std::string_view otherShare)
{
    return EqualsIgnoringCase(server, otherServer) && EqualsIgnoringCase(share, otherShare);
}

std::string FromLetters(std::string_view server, std::string_view share)
{
    const DriveFolder drives(DefaultDrivesDirectory(), DefaultCDrive());
    for (char letter = 'Z'; letter > 'C'; --letter)
    {
        const std::string localName{letter, ':'};
        std::string remote;
        if (!drives.GetConnection(localName, remote))
            continue;
        const std::size_t slash = remote.find('\\', 2);
        if (slash != std::string::npos &&
            SameShare(server, share, std::string_view(remote).substr(2, slash - 2), remote.substr(slash + 1)))
            return drives.LocalPath(localName);
    }
    return {};
}

std::string FromGvfs(std::string_view server, std::string_view share)
{
    std::error_code ec;
    std::filesystem::directory_iterator it(GvfsFuseRoot(), ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
    {
        std::string foundServer;
        std::string foundShare;
        const std::string path = it->path().string();
        if (ParseGvfsSmbPath(path, foundServer, foundShare) && SameShare(server, share, foundServer, foundShare) &&
            IsDirectory(path))
            return path;
    }
    return {};
}

} // namespace

std::string GvfsFuseRoot()
{
    return UserRuntimeDir() + "/gvfs";
}

std::string MountedShareFolder(std::string_view server, std::string_view share)
{
    if (server.empty() || share.empty())
        return {};
    if (std::string folder = FromLetters(server, share); !folder.empty())
        return folder;
    return FromGvfs(server, share);
}

} // namespace izuzez::platform
