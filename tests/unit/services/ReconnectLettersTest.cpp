#include "services/ReconnectLetters.h"

#include "support/FakeNetworkDrives.h"

#include <gtest/gtest.h>

using namespace izuzez::platform;
using namespace izuzez::services;
using izuzez::test::FakeNetworkDrives;

// In a terminal every letter is tried and a user's password asked; unattended, a letter with a user name waits
// and the others are tried under a deadline that goes when the reconnect ends. A stale link goes first.
TEST(ReconnectLetters, AttendedAsksUnattendedLeavesPasswordLettersAndBoundsTheRest)
{
    const RememberedDrive guest{"X:", "\\\\10.0.0.5\\public", ""}, user{"W:", "\\\\10.0.0.5\\Media", "bob"};
    const std::string guestAdd = "X: \\\\10.0.0.5\\public : 1", userAdd = "W: \\\\10.0.0.5\\Media bob:pw 1";
    using S = ReconnectStatus;
    const struct
    {
        const char *name;
        std::vector<RememberedDrive> remembered;
        bool unattended;
        int answer;
        std::vector<std::string> asked, added;
        std::vector<S> reported;
    } cases[] = {
        {"nothing remembered", {}, true, NO_ERROR, {}, {}, {}},
        {"in a terminal", {guest, user}, false, NO_ERROR, {"W:"}, {guestAdd, userAdd}, {S::Back, S::Back}},
        {"at login", {guest, user}, true, NO_ERROR, {}, {guestAdd}, {S::Back, S::WaitsForPassword}},
        {"at login, device absent", {guest}, true, ERROR_BAD_NETPATH, {}, {guestAdd}, {S::Failed}},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        FakeNetworkDrives drives;
        drives.remembered = c.remembered;
        drives.addAnswer = c.answer;
        std::vector<std::string> asked;
        std::vector<S> reported;
        ReconnectHooks hooks;
        hooks.askPassword = [&](const RememberedDrive &d)
        {
            asked.push_back(d.localName);
            return std::optional<std::string>("pw");
        };
        hooks.reported = [&](const ReconnectOutcome &o) { reported.push_back(o.status); };
        const std::vector<ReconnectOutcome> outcomes = ReconnectRemembered(drives, c.unattended, hooks);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(drives.AddTexts(), c.added);
        EXPECT_EQ(drives.CancelledLetters().size(), c.added.size());
        EXPECT_EQ(reported, c.reported);
        ASSERT_EQ(outcomes.size(), c.reported.size());
        for (std::size_t i = 0; i < outcomes.size(); ++i)
        {
            EXPECT_EQ(outcomes[i].drive.localName, c.remembered[i].localName);
            EXPECT_EQ(outcomes[i].error, outcomes[i].status == S::Failed ? c.answer : 0);
        }
        EXPECT_EQ(AllBack(outcomes), c.reported == std::vector<S>(c.reported.size(), S::Back));
        for (const FakeNetworkDrives::Add &add : drives.adds)
            EXPECT_EQ(add.underDeadline, c.unattended);
        EXPECT_FALSE(ConnectDeadline().has_value());
    }
}
