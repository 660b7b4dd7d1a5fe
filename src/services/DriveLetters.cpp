#include "services/DriveLetters.h"

#include "platform/NetworkDrives.h"

namespace izuzez::services
{

std::vector<std::string> OfferableLetters(const platform::NetworkDrives &drives)
{
    std::vector<std::string> letters;
    for (char c = 'Z'; c > 'B'; --c)
    {
        std::string letter{c, ':'};
        const int type = drives.GetDriveType(letter);
        const bool local = type == platform::DRIVE_REMOVABLE || type == platform::DRIVE_FIXED ||
                           type == platform::DRIVE_CDROM || type == platform::DRIVE_RAMDISK;
        if (!local)
            letters.push_back(std::move(letter));
    }
    return letters;
}

std::string FirstFreeLetter(const platform::NetworkDrives &drives)
{
    for (const std::string &letter : OfferableLetters(drives))
    {
        std::string remote;
        if (!drives.GetConnection(letter, remote))
            return letter;
    }
    return {};
}

} // namespace izuzez::services
