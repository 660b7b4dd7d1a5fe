// A device's volume list: the share names as shown and the letter each one is mapped to.

#include "services/VolumeList.h"

#include <gtest/gtest.h>

using namespace izuzez::services;

namespace
{

std::string Repeated(const std::string &text, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

TEST(ShareNameForDisplay, InvalidBytesAreReplacedAndLongNamesCutOnACharacterBoundary)
{
    const struct
    {
        std::string sent, shown;
    } cases[] = {
        {"public", "public"},
        {"a\xff"
         "b",
         "a\xef\xbf\xbd"
         "b"},
        {std::string(254, 'a') + "\xc3\xa9", std::string(254, 'a')},
        {Repeated("\xc3\xa9", 200), Repeated("\xc3\xa9", 127)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ShareNameForDisplay(c.sent), c.shown) << c.sent.size();
}

TEST(LetterOfShare, TheLastDriveNearestAOfTheDevicesNameOrIpWithTheShareIgnoringCase)
{
    // Z: first, as the drive table holds them.
    const LetterShare drives[] = {
        {"L:", "NAS-ONE", "backup"},  {"K:", "10.0.0.7", "media"}, {"J:", "other", "backup"},
        {"H:", "NAS-ONE", "Public"},  {"G:", "nas-one", "public"}, {"E:", "nas-one", "CAF\xc3\x89"},
        {"D:", "nas-one", "STRASSE"},
    };
    const struct
    {
        const char *share;
        bool ignoreServerCase;
        const char *letter;
    } cases[] = {
        {"public", true, "G:"},
        {"PUBLIC", false, "G:"},
        {"media", false, "K:"},
        {"backup", true, "L:"},
        {"backup", false, ""},
        {"caf\xc3\xa9", false, "E:"},
        {"stra\xc3\x9f"
         "e",
         true, ""}, // one character for one: not "ss"
        {"video", true, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LetterOfShare(drives, "nas-one", "10.0.0.7", c.share, c.ignoreServerCase), c.letter)
            << c.share << " " << c.ignoreServerCase;
}

} // namespace
