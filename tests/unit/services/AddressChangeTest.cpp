// The address change both faces run once the input passed its checks, and the session's small helpers.

#include "services/AddressChange.h"
#include "support/FakeDeviceSession.h"

#include <gtest/gtest.h>

using namespace izuzez::services;
using izuzez::test::Device;
using izuzez::test::FakeDeviceSession;

namespace
{

TEST(AddressChange, SendsOnlyOnceListedAndLoggedInThenSearchesAgain)
{
    const FoundDevice old = Device("NAS", "10.0.0.5");
    using Searches = std::vector<std::vector<FoundDevice>>;
    const Searches elsewhere = {{Device("NAS", "10.0.0.6")}}, stays = {{old}}, vanishes = {{old}, {}};
    const Searches moves = {{old}, {Device("NAS", "10.0.0.6")}}, dhcp = {{old}, {Device("NAS", "10.0.0.77")}};
    // The empty password is accepted unless the case refuses both.
    const struct
    {
        const char *name;
        bool toDhcp;
        const Searches &searches;
        bool refusePassword;
        bool confirms;
        bool selected;
        AdminLogin login;
        bool confirmed;
        std::string atNewIp; // empty: not found
        bool atOldIp;
        int searchCount;
    } cases[] = {
        {"not listed", false, elsewhere, false, true, false, AdminLogin::Refused, false, "", false, 1},
        {"password refused", false, stays, true, true, true, AdminLogin::Refused, false, "", false, 1},
        {"moved", false, moves, false, true, true, AdminLogin::Accepted, true, "10.0.0.6", false, 2},
        {"confirmed, not found", false, vanishes, false, true, true, AdminLogin::Accepted, true, "", false, 2},
        {"unconfirmed, still old", false, stays, false, false, true, AdminLogin::Accepted, false, "", true, 2},
        {"unconfirmed, moved", false, moves, false, false, true, AdminLogin::Accepted, false, "10.0.0.6", false, 2},
        {"dhcp answered address", true, dhcp, false, true, true, AdminLogin::Accepted, true, "10.0.0.77", false, 2},
        {"dhcp refused, no search", true, stays, false, false, true, AdminLogin::Accepted, false, "", false, 1},
        {"dhcp not listed", true, elsewhere, false, true, false, AdminLogin::Refused, false, "", false, 1},
        {"dhcp password refused", true, stays, true, true, true, AdminLogin::Refused, false, "", false, 1},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        FakeDeviceSession s;
        s.searches = c.searches;
        s.verdicts = {c.refusePassword ? 0 : 1, 0};
        s.staticConfirms = s.dhcpConfirms = c.confirms;
        const auto ask = [] { return std::optional<std::string>("secret"); };
        const AddressChange r = c.toDhcp ? ChangeToDhcp(s, "10.0.0.5", ask)
                                         : ChangeToStaticAddress(s, "10.0.0.5", "10.0.0.6", "255.0.0.0", "", ask);
        EXPECT_EQ(r.selected, c.selected);
        EXPECT_EQ(r.login, c.login);
        const std::vector<std::string> request = {"10.0.0.6", "255.0.0.0", ""};
        EXPECT_EQ(c.toDhcp ? s.dhcpSent : s.staticRequest == request, c.selected && c.login == AdminLogin::Accepted);
        EXPECT_EQ(r.confirmed, c.confirmed);
        EXPECT_EQ(r.atNewIp ? r.atNewIp->ip : "", c.atNewIp);
        EXPECT_EQ(r.atOldIp, c.atOldIp);
        EXPECT_EQ(s.searchCount, c.searchCount);
    }
}

TEST(SearchAndSelect, SelectsOnlyWhatTheSearchListedAndGivesItsName)
{
    FakeDeviceSession s;
    s.searches = {{Device("NAS", "10.0.0.5"), Device("Backup", "10.0.0.50")}};
    std::string name = "untouched";
    EXPECT_FALSE(SearchAndSelect(s, "10.0.0.6", &name));
    EXPECT_EQ(name, "untouched");
    EXPECT_TRUE(SearchAndSelect(s, "10.0.0.50", &name));
    EXPECT_EQ(name, "Backup");
}

// Each word reads as a kind that is named by that word again; the words are exact.
TEST(QueryKindNames, EachWordReadsBackAsItself)
{
    for (const std::string &name : QueryKindNames())
        EXPECT_EQ(QueryKindName(QueryKindFromName(name).value()), name);
    EXPECT_FALSE(QueryKindFromName("SSL"));
}

} // namespace
