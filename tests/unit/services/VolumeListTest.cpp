// A device's volume list: the share names as shown and the letter each one is mapped to.

#include "services/VolumeList.h"

#include <gtest/gtest.h>

using namespace izuzez::services;

namespace
{

TEST(ShareNameForDisplay, InvalidBytesAreReplacedAndLongNamesCutOnACharacterBoundary)
{
    const struct
    {
        std::string sent, shown;
    } cases[] = {
        {"public", "public"},
        {"a\xffz", "a\xef\xbf\xbdz"},
        {std::string(254, 'a') + "\xc3\xa9", std::string(254, 'a')},
        {std::string(253, 'a') + "\xe6\x97\xa5", std::string(253, 'a')},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ShareNameForDisplay(c.sent), c.shown) << c.sent.size();
}

TEST(LetterOfShare, TheLastDriveNearestAOfTheDevicesNameOrIpWithTheShareIgnoringCase)
{
    // Z: first, as the drive table holds them.
    const LetterShare drives[] = {
        {"L:", "NAS-ONE", "backup"}, {"K:", "10.0.0.7", "media"}, {"J:", "other", "backup"},
        {"H:", "NAS-ONE", "Public"}, {"G:", "nas-one", "public"}, {"E:", "nas-one", "CAF\xc3\x89"},
        {"D:", "nas-one", "GROSS"},
    };
    const struct
    {
        const char *share;
        bool ignoreServerCase;
        const char *letter;
    } cases[] = {
        {"public", true, "G:"}, {"PUBLIC", false, "G:"},   {"media", false, "K:"},
        {"backup", true, "L:"}, {"backup", false, ""},     {"caf\xc3\xa9", false, "E:"},
        {"video", true, ""},    {"gro\xc3\x9f", true, ""}, // one character for one: not "ss"
    };
    for (const auto &c : cases)
        EXPECT_EQ(LetterOfShare(drives, "nas-one", "10.0.0.7", c.share, c.ignoreServerCase), c.letter) << c.share;
}

} // namespace
