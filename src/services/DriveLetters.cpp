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

LetterHolders::LetterHolders(const platform::NetworkDrives &drives) : m_drives(drives)
{
    for (const platform::RememberedDrive &remembered : drives.DisconnectedRemembered())
    {
        if (const char c = platform::DriveLetterOf(remembered.localName); c != 0)
            m_remembered.emplace(c, remembered.remoteName);
    }
}

std::optional<std::string> LetterHolders::HolderOf(std::string_view letter) const
{
    std::string remote;
    if (m_drives.GetConnection(letter, remote))
        return remote;
    const auto it = m_remembered.find(platform::DriveLetterOf(letter));
    if (it == m_remembered.end())
        return std::nullopt;
    return it->second;
}

std::string LetterHolders::FirstFree() const
{
    for (const std::string &letter : OfferableLetters(m_drives))
    {
        if (!HolderOf(letter))
            return letter;
    }
    return {};
}

std::string FirstFreeLetter(const platform::NetworkDrives &drives)
{
    return LetterHolders(drives).FirstFree();
}

} // namespace izuzez::services
