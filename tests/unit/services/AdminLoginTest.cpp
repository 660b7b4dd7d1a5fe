// The administrator password before a change to the device: the sequence both faces run.

#include "services/AdminLogin.h"

#include <gtest/gtest.h>

#include <vector>

using namespace izuzez::services;

namespace
{

TEST(AdminLogin, TheEmptyPasswordFirstThenTheOneGivenIfItFits)
{
    const struct
    {
        const char *name;
        std::vector<int> verdicts; // per check; missing ones refuse
        std::optional<std::string> typed;
        bool nobodyToAsk;
        AdminLogin result;
        std::vector<std::string> tried;
        int asked;
    } cases[] = {
        {"empty password accepted", {1}, "secret", false, AdminLogin::Accepted, {""}, 0},
        {"any non-zero verdict accepts", {-1}, "secret", false, AdminLogin::Accepted, {""}, 0},
        {"typed password accepted", {0, 1}, "secret", false, AdminLogin::Accepted, {"", "secret"}, 1},
        {"typed password refused", {0, 0}, "guess", false, AdminLogin::Refused, {"", "guess"}, 1},
        {"an empty answer is sent again", {0, 0}, "", false, AdminLogin::Refused, {"", ""}, 1},
        {"nothing typed", {0, 1}, std::nullopt, false, AdminLogin::NotGiven, {""}, 1},
        {"nobody to ask", {0, 1}, "secret", true, AdminLogin::NotGiven, {""}, 0},
        {"sixteen characters", {0, 1}, "0123456789abcdef", false, AdminLogin::Accepted, {"", "0123456789abcdef"}, 1},
        {"seventeen do not fit", {0, 1}, "0123456789abcdefg", false, AdminLogin::TooLong, {""}, 1},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        std::vector<std::string> tried;
        int asked = 0;
        const auto check = [&](std::string_view user, std::string_view password)
        {
            EXPECT_EQ(user, "admin");
            tried.emplace_back(password);
            return tried.size() <= c.verdicts.size() ? c.verdicts[tried.size() - 1] : 0;
        };
        const AskAdminPasswordFn ask = [&]
        {
            ++asked;
            return c.typed;
        };
        EXPECT_EQ(LogInAsAdmin(check, c.nobodyToAsk ? nullptr : ask, 16), c.result);
        EXPECT_EQ(tried, c.tried);
        EXPECT_EQ(asked, c.asked);
    }
}

} // namespace
