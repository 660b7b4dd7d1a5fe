#include "services/DriveLetters.h"

#include "platform/NetworkDrives.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

using namespace izuzez::platform;
using namespace izuzez::services;

namespace
{

// Drive types, connections and remembered mappings by letter; every other letter is a free root.
class LetterDrives : public NetworkDrives
{
public:
    std::map<char, int> types;
    std::map<char, std::string> remotes;
    std::vector<RememberedDrive> remembered;

    int GetDriveType(std::string_view root) const override
    {
        const auto it = types.find(root.empty() ? '\0' : root[0]);
        return it == types.end() ? DRIVE_NO_ROOT_DIR : it->second;
    }
    bool GetConnection(std::string_view localName, std::string &remoteName) const override
    {
        const auto it = remotes.find(localName.empty() ? '\0' : localName[0]);
        if (it == remotes.end())
            return false;
        remoteName = it->second;
        return true;
    }
    std::vector<RememberedDrive> DisconnectedRemembered() const override { return remembered; }
};

std::string Joined(const std::vector<std::string> &letters)
{
    std::string text;
    for (const std::string &letter : letters)
        text += letter;
    return text;
}

} // namespace

TEST(DriveLetters, LocalDrivesAndTheFloppyLettersAreNeverOffered)
{
    const struct
    {
        const char *name;
        std::map<char, int> types;
        std::map<char, std::string> remotes;
        std::string offered;
        std::string firstFree;
    } cases[] = {
        {"all free", {}, {}, "Z:Y:X:W:V:U:T:S:R:Q:P:O:N:M:L:K:J:I:H:G:F:E:D:C:", "Z:"},
        {"local drives left out",
         {{'Z', DRIVE_REMOVABLE}, {'Y', DRIVE_FIXED}, {'X', DRIVE_CDROM}, {'W', DRIVE_RAMDISK}, {'C', DRIVE_FIXED}},
         {},
         "V:U:T:S:R:Q:P:O:N:M:L:K:J:I:H:G:F:E:D:",
         "V:"},
        {"mapped letters offered, not free",
         {{'Z', DRIVE_REMOTE}, {'Y', DRIVE_UNKNOWN}},
         {{'Z', "\\\\nas\\a"}, {'Y', "\\\\nas\\b"}},
         "Z:Y:X:W:V:U:T:S:R:Q:P:O:N:M:L:K:J:I:H:G:F:E:D:C:",
         "X:"},
        {"a connection without a share name still takes its letter", {}, {{'Z', "\\\\nas"}}, "", "Y:"},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        LetterDrives drives;
        drives.types = c.types;
        drives.remotes = c.remotes;
        if (!c.offered.empty())
        {
            EXPECT_EQ(Joined(OfferableLetters(drives)), c.offered);
        }
        EXPECT_EQ(FirstFreeLetter(drives), c.firstFree);
    }
}

TEST(DriveLetters, NoneFreeWhenEveryOfferableLetterIsMappedOrLocal)
{
    LetterDrives drives;
    for (char c = 'C'; c <= 'Z'; ++c)
    {
        if (c % 2 == 0)
            drives.types[c] = DRIVE_FIXED;
        else
            drives.remotes[c] = std::string("\\\\nas\\s") + c;
    }
    EXPECT_EQ(OfferableLetters(drives).size(), 12u);
    EXPECT_EQ(FirstFreeLetter(drives), "");
}

TEST(DriveLetters, ALetterIsHeldByItsConnectionOrByTheShareItIsRememberedFor)
{
    const struct
    {
        const char *name;
        std::map<char, std::string> remotes;
        std::vector<RememberedDrive> remembered;
        std::string firstFree;
        std::optional<std::string> holderOfZ;
    } cases[] = {
        {"free", {}, {}, "Z:", std::nullopt},
        {"connected", {{'Z', "\\\\nas\\a"}}, {}, "Y:", "\\\\nas\\a"},
        {"remembered, its share not back", {}, {{"Z:", "\\\\nas\\a", ""}}, "Y:", "\\\\nas\\a"},
        {"remembered and connected ones together",
         {{'Y', "\\\\nas\\b"}},
         {{"z:", "\\\\nas\\a", "bob"}, {"X:", "\\\\nas\\c", ""}},
         "W:",
         "\\\\nas\\a"},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        LetterDrives drives;
        drives.remotes = c.remotes;
        drives.remembered = c.remembered;
        EXPECT_EQ(FirstFreeLetter(drives), c.firstFree);
        EXPECT_EQ(LetterHolders(drives).HolderOf("Z:"), c.holderOfZ);
    }
}
