#pragma once

#include "platform/NetworkDrives.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace izuzez::platform
{

// Drive letters as entries of a per-user folder: a mapped letter is a symbolic link named by its letter
// ("Z") to the local path of a GVfs mount of smb://server/share. C: stands for a folder of its own.
// Beside each letter we mapped, ".Z.conn" keeps the remote name exactly as given (GVfs lower-cases the
// names in its folder names), the user, and whether the mapping is remembered for the next session.
class ShareMounter;

class DriveFolder : public NetworkDrives
{
public:
    // Without a mounter, GIO's is made when the first connection is asked for.
    DriveFolder(std::string drivesDir, std::string cDrive, std::shared_ptr<ShareMounter> mounter = nullptr);

    int GetDriveType(std::string_view rootPath) const override;
    bool GetConnection(std::string_view localName, std::string &remoteName) const override;
    int AddConnection(std::string_view localName, std::string_view remoteName, const char *password,
                      const char *userName, unsigned flags) override;
    int CancelConnection(std::string_view localName, unsigned flags, bool force) override;
    int GetUser(std::string &userName) const override;
    std::string LocalPath(std::string_view localName) const override;

    // The remembered mappings whose letter is not connected now (after a new login, say).
    std::vector<RememberedDrive> DisconnectedRemembered() const override;
    bool FinishLateWork(std::chrono::steady_clock::time_point until) override;

    const std::string &drivesDir() const { return m_drivesDir; }
    const std::string &cDrive() const { return m_cDrive; }
    // The folder entry of a letter ("<dir>/Z"); empty for a text that is no drive root.
    std::string EntryPath(std::string_view localName) const;

private:
    std::string SidecarPath(char letter) const;
    ShareMounter &Mounter();
    bool OtherLetterUses(char letter, const std::string &target) const;
    // Whether a new mapping to remoteName may take the letter: it holds no live entry, and is not remembered
    // for another share (a remembered letter stays its share's until it is unmapped).
    bool CanTake(char letter, std::string_view remoteName) const;

    std::string m_drivesDir;
    std::string m_cDrive;
    std::shared_ptr<ShareMounter> m_mounter;
};

// $IZUZEZ_DRIVES_DIR, else $XDG_DATA_HOME/izuzez/drives, else $HOME/.local/share/izuzez/drives.
std::string DefaultDrivesDirectory();
// $IZUZEZ_C_DRIVE, else $XDG_DATA_HOME/izuzez/c, else $HOME/.local/share/izuzez/c.
std::string DefaultCDrive();

// Server and share of a GVfs mount path whose last part is "smb-share:server=S,share=N" with any further
// keys in any order (values %-escaped). False for any other path.
bool ParseGvfsSmbPath(std::string_view path, std::string &server, std::string &share);

// The note beside a letter: a key file whose [Drive] group holds the keys with their values as written
// (not unescaped), or, as older versions wrote it, "key=value" lines without a group.
using DriveRecord = std::map<std::string, std::string>;
DriveRecord ParseDriveRecord(std::string_view text);
// The note as a key file. The values are written as they are, so the group-less reader of older versions,
// which skips the "[Drive]" line, reads the same record.
std::string FormatDriveRecord(const DriveRecord &record);

} // namespace izuzez::platform
