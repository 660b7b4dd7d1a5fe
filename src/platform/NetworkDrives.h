#pragma once

#include "platform/WinError.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace izuzez::platform
{

// What GetDriveTypeA answers, with the original platform's numbers.
enum DriveType : int
{
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

// A remote name is at most this long, terminator included, as WNetGetConnectionA's buffer.
inline constexpr std::size_t kRemoteNameBuffer = 256;

// A mapping made with CONNECT_UPDATE_PROFILE whose letter is not connected now (after a new login).
struct RememberedDrive
{
    std::string localName; // "Z:"
    std::string remoteName;
    std::string userName;
};

// The 26 drive letters of the user, each possibly connected to a network share "\\server\share".
class NetworkDrives
{
public:
    virtual ~NetworkDrives() = default;

    // GetDriveTypeA of a root path "Z:" or "Z:\" (either case).
    virtual int GetDriveType(std::string_view rootPath) const = 0;

    // WNetGetConnectionA: the remote name of a connected local name "Z:". False for a free, local or
    // unreadable letter, and for a remote name that does not fit kRemoteNameBuffer.
    virtual bool GetConnection(std::string_view localName, std::string &remoteName) const = 0;

    // WNetAddConnection2A for a disk resource: connects localName ("Z:") to remoteName ("\\server\share").
    // A null password or user name stands for the logged-on user's; "DOMAIN\user" names a domain user.
    // Returns NO_ERROR or the original platform's error code. The defaults say the call is not supported.
    virtual int AddConnection(std::string_view localName, std::string_view remoteName, const char *password,
                              const char *userName, unsigned flags);
    // WNetCancelConnection2A: disconnects a letter; with force even while files are open on it.
    virtual int CancelConnection(std::string_view localName, unsigned flags, bool force);
    // WNetGetUserA for the default (null) name: the user the connections are made for.
    virtual int GetUser(std::string &userName) const;
    // Where the files of a connected letter can be reached on this machine; empty when it has none.
    virtual std::string LocalPath(std::string_view localName) const;
    virtual std::vector<RememberedDrive> DisconnectedRemembered() const;
    // Waits, until `until` at most, for what connections left to finish in the background (a share that
    // came up after its wait ended is unmounted). True when nothing is left.
    virtual bool FinishLateWork(std::chrono::steady_clock::time_point until);
};

// Asked when a connection with CONNECT_INTERACTIVE needs credentials that did not work: the user name (may
// carry "DOMAIN\\") and the password, or nothing when the person cancelled.
struct Credentials
{
    std::string userName;
    std::string password;
};
using CredentialPrompt = std::function<std::optional<Credentials>(std::string_view remoteName)>;
void SetCredentialPrompt(CredentialPrompt prompt);
const CredentialPrompt &CurrentCredentialPrompt();

// The latest time a connection may still be waited for, for a caller that must not hang on an absent device
// (the reconnect at login). A connection asked for later fails at once with ERROR_BAD_NETPATH. Unset, each
// waits as long as the backend's own limits allow. Set and read on one thread.
void SetConnectDeadline(std::optional<std::chrono::steady_clock::time_point> deadline);
std::optional<std::chrono::steady_clock::time_point> ConnectDeadline();

// The drive letter of "Z:" / "z:\" in upper case, or 0 when the text is not a drive root.
char DriveLetterOf(std::string_view rootPath);

// The backend of this operating system.
std::unique_ptr<NetworkDrives> CreateNetworkDrives();

// The layer the program uses; tests put a fake in its place (nullptr brings the backend back).
NetworkDrives &CurrentNetworkDrives();
void SetNetworkDrives(std::unique_ptr<NetworkDrives> drives);

} // namespace izuzez::platform
