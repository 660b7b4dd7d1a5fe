#include "services/DriveLetters.h"

#include "platform/NetworkDrives.h"

#include <functional>

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

MapLetter ChooseMapLetter(const platform::NetworkDrives &drives, const std::string &requested)
{
    const LetterHolders holders(drives);
    MapLetter choice;
    choice.letter = requested.empty() ? holders.FirstFree() : requested;
    if (choice.letter.empty())
    {
        choice.refusal = MapLetter::Refusal::NoneFree;
        return choice;
    }
    const std::optional<std::string> held = holders.HolderOf(choice.letter);
    if (held || drives.GetDriveType(choice.letter) != platform::DRIVE_NO_ROOT_DIR)
    {
        choice.refusal = MapLetter::Refusal::InUse;
        choice.holder = held.value_or("");
    }
    return choice;
}

std::vector<DriveRow> ConnectedDrives(const platform::NetworkDrives &drives)
{
    std::vector<DriveRow> rows;
    for (char c = 'Z'; c >= 'A'; --c)
    {
        const std::string letter{c, ':'};
        std::string remote;
        if (drives.GetConnection(letter, remote))
            rows.push_back({letter, remote, drives.LocalPath(letter), "connected"});
    }
    return rows;
}

std::vector<DriveRow> ListDrives(const platform::NetworkDrives &drives)
{
    std::map<char, DriveRow, std::greater<>> rows;
    for (DriveRow &row : ConnectedDrives(drives))
        rows.emplace(row.letter[0], std::move(row));
    for (const platform::RememberedDrive &remembered : drives.DisconnectedRemembered())
    {
        const char c = platform::DriveLetterOf(remembered.localName);
        if (c != 0 && rows.count(c) == 0)
            rows[c] = {std::string{c, ':'}, remembered.remoteName, "",
                       remembered.userName.empty() ? "disconnected" : "needs-password"};
    }
    std::vector<DriveRow> list;
    for (auto &entry : rows)
        list.push_back(std::move(entry.second));
    return list;
}

} // namespace izuzez::services
