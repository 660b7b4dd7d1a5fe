#pragma once

// The drive letters a share can be mapped to and the shares they hold, for the window and the command line alike.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace izuzez::platform
{
class NetworkDrives;
}

namespace izuzez::services
{

// "Z:" down to "C:", leaving out A:, B: and the local drives (removable, fixed, CD-ROM, RAM disk). Mapped
// letters are offered too: mapping one asks first.
std::vector<std::string> OfferableLetters(const platform::NetworkDrives &drives);

// Which share each letter belongs to. A remembered mapping keeps its letter while its share is not back (after
// a new login), until it is unmapped, so a new mapping does not take it and then find it refused. The
// remembered mappings are read once, when this is made.
class LetterHolders
{
public:
    explicit LetterHolders(const platform::NetworkDrives &drives);

    // The remote name a letter ("Z:") is connected or remembered to; nothing when the letter holds no share
    // (it may still be a local drive).
    std::optional<std::string> HolderOf(std::string_view letter) const;
    // The offerable letter nearest Z: that no share holds; empty when every one is taken.
    std::string FirstFree() const;

private:
    const platform::NetworkDrives &m_drives;
    std::map<char, std::string> m_remembered;
};

// LetterHolders(drives).FirstFree(), for a caller that needs nothing else of them.
std::string FirstFreeLetter(const platform::NetworkDrives &drives);

// The letter a new mapping takes: the one asked for ("Z:"), or without one the free letter nearest Z:. A
// letter that holds a share or is not a free root is refused, so that no mapping is lost by accident.
struct MapLetter
{
    enum class Refusal
    {
        None,
        NoneFree, // nothing was asked for and every letter is taken
        InUse,
    };
    std::string letter;
    Refusal refusal = Refusal::None;
    std::string holder; // InUse: the remote name it holds; empty for a local drive
};
MapLetter ChooseMapLetter(const platform::NetworkDrives &drives, const std::string &requested);

// A letter: "Z:", the remote name "\\server\share", where its files are on this machine, and whether it
// is "connected", "disconnected" (remembered) or remembered with a user name and "needs-password".
struct DriveRow
{
    std::string letter;
    std::string remote;
    std::string path;
    std::string status = "connected";
};
// The connected letters, Z: down to A:.
std::vector<DriveRow> ConnectedDrives(const platform::NetworkDrives &drives);
// The connected letters and the remembered ones that are not: those made with a user name wait for their
// password, the others for the device (or a reconnect); Z: down to A:.
std::vector<DriveRow> ListDrives(const platform::NetworkDrives &drives);

} // namespace izuzez::services
