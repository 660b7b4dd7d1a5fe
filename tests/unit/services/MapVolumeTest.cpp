#include "services/MapVolume.h"

#include "services/FilePlaces.h"
#include "support/FakeDeviceSession.h"
#include "support/FakeNetworkDrives.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace izuzez::platform;
using namespace izuzez::services;
using namespace izuzez::test;

// The letter rules are DriveLetters'; here the steps' order: each refusal stops what follows, only a user is
// asked, for the letter and share chosen, and only a connection that worked gets its place in the file manager.
TEST(MapVolume, TheVolumeListThenTheLetterThenThePasswordTheConnectionAndThePlace)
{
    using Result = VolumeMapping::Result;
    const struct
    {
        std::string volume, letter, user;
        bool listed; // the device answers the volume query
        bool full;   // every letter is a local drive
        int addAnswer;
        Result result;
        std::string chosen, asked, added, place;
    } cases[] = {
        {"Media", "", "", true, false, NO_ERROR, Result::Mapped, "X:", "", "X: \\\\10.0.0.5\\Media : 1",
         "smb://10.0.0.5/Media X: Media on Nas\n"},
        {"public", "W:", "WORK\\bob", true, false, NO_ERROR, Result::Mapped, "W:", "W: \\\\10.0.0.5\\public",
         "W: \\\\10.0.0.5\\public WORK\\bob:pw 1", "smb://10.0.0.5/public W: public on Nas\n"},
        {"public", "", "bob", false, false, NO_ERROR, Result::NoVolumeList, "", "", "", ""},
        {"media", "", "bob", true, false, NO_ERROR, Result::NoSuchVolume, "", "", "", ""},
        {"public", "", "bob", true, true, NO_ERROR, Result::NoFreeLetter, "", "", "", ""},
        {"public", "Y:", "bob", true, false, NO_ERROR, Result::LetterInUse, "Y:", "", "", ""},
        {"public", "V:", "bob", true, false, ERROR_LOGON_FAILURE, Result::NotConnected, "V:", "V: \\\\10.0.0.5\\public",
         "V: \\\\10.0.0.5\\public bob:pw 1", ""},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.volume + " " + c.letter + " " + c.user);
        FakeDeviceSession session;
        session.answers = {{QueryKind::Shares, {"public", "Media"}}};
        session.queryAnswers = c.listed;
        FakeNetworkDrives drives;
        drives.types = {{'C', DRIVE_FIXED}, {'Z', DRIVE_FIXED}};
        for (char letter = 'D'; c.full && letter <= 'Y'; ++letter)
            drives.types[letter] = DRIVE_FIXED;
        drives.remotes['Y'] = "\\\\other\\x";
        drives.addAnswer = c.addAnswer;
        std::remove(BookmarksPath().c_str());
        std::string asked;
        const auto ask = [&asked](const std::string &letter, const std::string &remote)
        {
            asked += letter + " " + remote;
            return std::optional<std::string>("pw");
        };
        const VolumeMapping mapping = MapVolume(session, drives, {"10.0.0.5", "Nas", c.volume, c.letter, c.user}, ask);
        EXPECT_EQ(mapping.result, c.result);
        EXPECT_EQ(mapping.letter, c.chosen);
        EXPECT_EQ(mapping.error, c.addAnswer);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(drives.AddTexts(), c.added.empty() ? std::vector<std::string>{} : std::vector{c.added});
        EXPECT_EQ(ReadFile(BookmarksPath()), c.place);
    }
}
