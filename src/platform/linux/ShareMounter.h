#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace izuzez::platform
{

// One SMB share to make reachable as a local folder.
struct MountRequest
{
    std::string server;
    std::string share;
    std::string domain;
    std::string user;
    std::string password;
    bool anonymous = false;   // no user name and no password: a guest login
    bool interactive = false; // ask the person (CurrentCredentialPrompt) once the given ones are refused
    std::string remoteName;   // "\\server\share", for the prompt
};

// Mounts shares for the drive letters. Results are the original platform's error codes.
class ShareMounter
{
public:
    virtual ~ShareMounter() = default;
    // On NO_ERROR, localPath is the folder through which the share's files are reached.
    virtual int Mount(const MountRequest &request, std::string &localPath) = 0;
    // Unmounts the share that was mounted as "smb://server/share"; on NO_ERROR its local folder is gone, so
    // that the share can be mounted again at once.
    virtual int Unmount(const std::string &server, const std::string &share, bool force) = 0;
};

// How long a mount or unmount may take: at `cancelAfter` it is cancelled, and `giveUpAfter` later the wait
// ends even when the backend has not finished (a backend may ignore the cancellation).
struct MountBounds
{
    std::chrono::milliseconds cancelAfter{40000};
    std::chrono::milliseconds giveUpAfter{10000};
};

// Over GIO and GVfs: needs a session bus with gvfsd, and gvfsd-fuse for the local folder. Unmounts take half
// the mount's cancel time. Under a connect deadline a mount's wait ends at the deadline; a share that comes up
// after that, or without its folder, is unmounted in the background within a few seconds.
std::unique_ptr<ShareMounter> CreateGioMounter(MountBounds bounds = {});

// Waits, until `until` at most, for what the mounts left behind: answers still owed to mounts that were given
// up on, and the unmounts of shares that came up too late. True when nothing is left.
bool WaitForLateMountWork(std::chrono::steady_clock::time_point until);

// The smb URI of a share, with reserved characters escaped.
std::string SmbUri(const std::string &server, const std::string &share);

// The local path GVfs gives `uri` (gvfsd-fuse's folder of its mount), asked on a thread of its own. Empty
// when GVfs has none or has not answered within `bound`.
std::string GvfsLocalPath(const std::string &uri, std::chrono::milliseconds bound);

} // namespace izuzez::platform
