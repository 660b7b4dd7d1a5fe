#include "platform/linux/MountedShares.h"

#include "platform/RemoteName.h"
#include "platform/TextCompare.h"
#include "platform/linux/DriveFolder.h"
#include "platform/linux/GlibHome.h"
#include "platform/linux/IsDirectory.h"
#include "platform/linux/ShareMounter.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <gio/gio.h>

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

// GVfs's answer about one share. The caller and the thread that asks share it, so that an answer after the
// caller left finds it still there.
struct Lookup
{
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    std::string folder;
};

// The question is one D-Bus call to the session's GVfs, unless GVfs's client already knows the mount; the
// caller waits for it this long at most.
constexpr auto kLookupBound = std::chrono::milliseconds(3000);

// The local folder GVfs gives the share while it has it mounted (gvfsd-fuse's, when that runs). GVfs
// compares server and share names ignoring case, as the device does.
//
// Asked with the blocking call on a thread of its own: the asynchronous lookup answers a mount GVfs's client
// has already seen through the process's global main context, which nothing runs here, so that answer would
// never come.
std::string FromGvfs(std::string_view server, std::string_view share)
{
    // The home thread keeps a session bus that goes away from ending the program; GVfs's client shares it.
    GlibHomeContext();
    auto lookup = std::make_shared<Lookup>();
    std::thread(
        [lookup, uri = SmbUri(std::string(server), std::string(share)) + "/"]
        {
            GFile *file = g_file_new_for_uri(uri.c_str());
            char *path = g_file_get_path(file);
            g_object_unref(file);
            std::lock_guard lock(lookup->mutex);
            lookup->folder = path != nullptr ? path : "";
            lookup->done = true;
            lookup->answered.notify_all();
            g_free(path);
        })
        .detach();
    std::unique_lock lock(lookup->mutex);
    if (!lookup->answered.wait_for(lock, kLookupBound, [&] { return lookup->done; }))
        return {};
    const std::string folder = lookup->folder;
    lock.unlock();
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
