#include "services/DriveLetters.h"

#include "support/FakeNetworkDrives.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

using namespace izuzez::platform;
using namespace izuzez::services;
using izuzez::test::FakeNetworkDrives;

namespace
{

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
        FakeNetworkDrives drives;
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
    FakeNetworkDrives drives;
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
        FakeNetworkDrives drives;
        drives.remotes = c.remotes;
        drives.remembered = c.remembered;
        EXPECT_EQ(FirstFreeLetter(drives), c.firstFree);
        EXPECT_EQ(LetterHolders(drives).HolderOf("Z:"), c.holderOfZ);
    }
}

TEST(DriveLetters, AMappingTakesTheLetterAskedForOrTheFreeOneNearestZButNeverOneInUse)
{
    using Refusal = MapLetter::Refusal;
    const struct
    {
        const char *requested;
        std::string letter;
        Refusal refusal;
        std::string holder;
    } cases[] = {
        {"", "W:", Refusal::None, ""},
        {"V:", "V:", Refusal::None, ""},
        {"Z:", "Z:", Refusal::InUse, "\\\\nas\\a"},
        {"Y:", "Y:", Refusal::InUse, "\\\\nas\\b"}, // remembered, its share not back
        {"X:", "X:", Refusal::InUse, ""},           // a local disk
    };
    FakeNetworkDrives drives;
    drives.remotes = {{'Z', "\\\\nas\\a"}};
    drives.remembered = {{"Y:", "\\\\nas\\b", ""}};
    drives.types = {{'X', DRIVE_FIXED}};
    for (const auto &c : cases)
    {
        const MapLetter choice = ChooseMapLetter(drives, c.requested);
        EXPECT_EQ(choice.letter, c.letter) << c.requested;
        EXPECT_EQ(choice.refusal, c.refusal) << c.requested;
        EXPECT_EQ(choice.holder, c.holder) << c.requested;
    }
    for (char c = 'C'; c <= 'W'; ++c)
        drives.types[c] = DRIVE_FIXED;
    EXPECT_EQ(ChooseMapLetter(drives, "").refusal, Refusal::NoneFree);
}

TEST(DriveLetters, TheListingHasTheConnectedLettersAndTheRememberedOnesThatAreNot)
{
    FakeNetworkDrives drives;
    drives.pathRoot = "/run/gvfs/";
    drives.remotes = {{'G', "\\\\nas\\g"}, {'Y', "\\\\nas\\y"}};
    drives.remembered = {{"x:", "\\\\nas\\x", ""}, {"B:", "\\\\nas\\b", "bob"}, {"?:", "\\\\nas\\q", ""}};
    std::string listed;
    for (const DriveRow &row : ListDrives(drives))
        listed += row.letter + " " + row.remote + " " + row.path + " " + row.status + "\n";
    EXPECT_EQ(listed, "Y: \\\\nas\\y /run/gvfs/Y connected\n"
                      "X: \\\\nas\\x  disconnected\n"
                      "G: \\\\nas\\g /run/gvfs/G connected\n"
                      "B: \\\\nas\\b  needs-password\n");
    EXPECT_EQ(ConnectedDrives(drives).size(), 2u);
}
