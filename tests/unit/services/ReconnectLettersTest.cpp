#include "services/ReconnectLetters.h"

#include "support/FakeNetworkDrives.h"

#include <gtest/gtest.h>

using namespace izuzez::platform;
using namespace izuzez::services;
using izuzez::test::FakeNetworkDrives;

// In a terminal every letter is tried and a user's password asked; unattended, a letter with a user name waits
// and the others are tried under a deadline that goes when the reconnect ends.
TEST(ReconnectLetters, AttendedAsksUnattendedLeavesPasswordLettersAndBoundsTheRest)
{
    const std::vector<RememberedDrive> both = {{"X:", "\\\\10.0.0.5\\public", ""},
                                               {"W:", "\\\\10.0.0.5\\Media", "bob"}};
    using S = ReconnectStatus;
    const struct
    {
        const char *name;
        std::vector<RememberedDrive> remembered;
        bool unattended;
        int addAnswer;
        std::vector<std::string> asked;
        std::vector<std::string> added;
        std::vector<S> reported;
        bool allBack;
    } cases[] = {
        {"nothing remembered", {}, true, NO_ERROR, {}, {}, {}, true},
        {"in a terminal",
         both,
         false,
         NO_ERROR,
         {"W:"},
         {"X: \\\\10.0.0.5\\public : 1", "W: \\\\10.0.0.5\\Media bob:pw 1"},
         {S::Back, S::Back},
         true},
        {"in a terminal, device absent",
         both,
         false,
         ERROR_BAD_NETPATH,
         {"W:"},
         {"X: \\\\10.0.0.5\\public : 1", "W: \\\\10.0.0.5\\Media bob:pw 1"},
         {S::Failed, S::Failed},
         false},
        {"at login", both, true, NO_ERROR, {}, {"X: \\\\10.0.0.5\\public : 1"}, {S::Back, S::WaitsForPassword}, false},
        {"at login, device absent",
         {both[0]},
         true,
         ERROR_BAD_NETPATH,
         {},
         {"X: \\\\10.0.0.5\\public : 1"},
         {S::Failed},
         false},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        FakeNetworkDrives drives;
        drives.remembered = c.remembered;
        drives.addAnswer = c.addAnswer;
        std::vector<std::string> asked;
        std::vector<S> reported;
        ReconnectHooks hooks;
        hooks.askPassword = [&](const RememberedDrive &d)
        {
            asked.push_back(d.localName);
            return std::optional<std::string>("pw");
        };
        hooks.reported = [&](const ReconnectOutcome &o)
        {
            reported.push_back(o.status);
            if (o.status == S::Failed)
            {
                EXPECT_EQ(o.error, c.addAnswer);
            }
        };
        const std::vector<ReconnectOutcome> outcomes = ReconnectRemembered(drives, c.unattended, hooks);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(drives.AddTexts(), c.added);
        EXPECT_EQ(reported, c.reported);
        ASSERT_EQ(outcomes.size(), c.reported.size());
        for (std::size_t i = 0; i < outcomes.size(); ++i)
            EXPECT_EQ(outcomes[i].drive.localName, c.remembered[i].localName);
        EXPECT_EQ(AllBack(outcomes), c.allBack);
        for (const FakeNetworkDrives::Add &add : drives.adds)
            EXPECT_EQ(add.underDeadline, c.unattended);
        EXPECT_EQ(drives.CancelledLetters().size(), drives.adds.size()); // the stale link goes first
        EXPECT_FALSE(ConnectDeadline().has_value());
    }
}
