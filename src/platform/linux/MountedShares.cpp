#include "platform/linux/MountedShares.h"

#include "platform/RemoteName.h"
#include "platform/TextCompare.h"
#include "platform/linux/DriveFolder.h"
#include "platform/linux/IsDirectory.h"
#include "platform/linux/XdgFolders.h"

#include <filesystem>

#include <sys/stat.h>

namespace izuzez::platform
{

namespace
{

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
        std::string letterServer;
        std::string letterShare;
        if (drives.GetConnection(localName, remote) && SplitRemoteName(remote, letterServer, letterShare) &&
            SameShare(server, share, letterServer, letterShare))
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
