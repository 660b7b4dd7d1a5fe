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

// A letter is held by its connection or by the share it is remembered for (after a new login, until it is
// unmapped); the free one nearest Z: skips both and the local drives. The listing shows both kinds of holder.
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
    drives.pathRoot = "/run/gvfs/";
    drives.remotes = {{'Z', "\\\\nas\\a"}, {'G', "\\\\nas\\g"}};
    drives.remembered = {{"y:", "\\\\nas\\b", "bob"}, {"D:", "\\\\nas\\d", ""}, {"?:", "\\\\nas\\q", ""}};
    drives.types = {{'X', DRIVE_FIXED}};
    for (const auto &c : cases)
    {
        const MapLetter choice = ChooseMapLetter(drives, c.requested);
        EXPECT_EQ(choice.letter, c.letter) << c.requested;
        EXPECT_EQ(choice.refusal, c.refusal) << c.requested;
        EXPECT_EQ(choice.holder, c.holder) << c.requested;
    }
    std::string listed;
    for (const DriveRow &row : ListDrives(drives))
        listed += row.letter + " " + row.remote + " " + row.path + " " + row.status + "\n";
    EXPECT_EQ(listed, "Z: \\\\nas\\a /run/gvfs/Z connected\nY: \\\\nas\\b  needs-password\n"
                      "G: \\\\nas\\g /run/gvfs/G connected\nD: \\\\nas\\d  disconnected\n");
    for (char c = 'C'; c <= 'W'; ++c)
        drives.types[c] = DRIVE_FIXED;
    EXPECT_EQ(ChooseMapLetter(drives, "").refusal, Refusal::NoneFree);
}
