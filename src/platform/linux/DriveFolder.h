#pragma once

#include "platform/NetworkDrives.h"

#include <string>
#include <string_view>

namespace izuzez::platform
{

// Drive letters as entries of a per-user folder: a mapped letter is a symbolic link named by its letter
// ("Z") to the local path of a GVfs mount of smb://server/share. C: stands for a folder of its own.
class DriveFolder : public NetworkDrives
{
public:
    DriveFolder(std::string drivesDir, std::string cDrive);

    int GetDriveType(std::string_view rootPath) const override;
    bool GetConnection(std::string_view localName, std::string &remoteName) const override;

    const std::string &drivesDir() const { return m_drivesDir; }
    const std::string &cDrive() const { return m_cDrive; }
    // The folder entry of a letter ("<dir>/Z"); empty for a text that is no drive root.
    std::string EntryPath(std::string_view localName) const;

private:
    std::string m_drivesDir;
    std::string m_cDrive;
};

// $IZUZEZ_DRIVES_DIR, else $XDG_DATA_HOME/izuzez/drives, else $HOME/.local/share/izuzez/drives.
std::string DefaultDrivesDirectory();
// $IZUZEZ_C_DRIVE, else $XDG_DATA_HOME/izuzez/c, else $HOME/.local/share/izuzez/c.
std::string DefaultCDrive();

// Server and share of a GVfs mount path whose last part is "smb-share:server=S,share=N" with any further
// keys in any order (values %-escaped). False for any other path.
bool ParseGvfsSmbPath(std::string_view path, std::string &server, std::string &share);

} // namespace izuzez::platform
