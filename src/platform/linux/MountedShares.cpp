#include "platform/linux/MountedShares.h"

#include "platform/RemoteName.h"
#include "platform/TextCompare.h"
#include "platform/linux/DriveFolder.h"
#include "platform/linux/IsDirectory.h"
#include "platform/linux/ShareMounter.h"

#include <chrono>

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

// The question is one D-Bus call to the session's GVfs, unless GVfs's client already knows the mount.
constexpr auto kLookupBound = std::chrono::milliseconds(3000);

// The local folder GVfs gives the share while it has it mounted (gvfsd-fuse's, when that runs). GVfs
// compares server and share names ignoring case, as the device does.
std::string FromGvfs(std::string_view server, std::string_view share)
{
    const std::string folder = GvfsLocalPath(SmbUri(std::string(server), std::string(share)), kLookupBound);
    // A share unmounted since GVfs's client last looked keeps its old path there; the folder is gone.
    return !folder.empty() && IsDirectory(folder) ? folder : std::string();
}

} // namespace

std::string MountedShareFolder(std::string_view server, std::string_view share)
{
    if (server.empty() || share.empty())
        return {};
    if (std::string folder = FromLetters(server, share); !folder.empty())
        return folder;
    return FromGvfs(server, share);
}

} // namespace izuzez::platform
