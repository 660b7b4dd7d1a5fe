#include "services/MappingCredentials.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

using namespace izuzez::platform;
using namespace izuzez::services;

namespace
{

struct Case
{
    const char *name;
    std::string version;
    std::string domain;
    std::vector<bool> answers; // what each attempt answers; attempts beyond it fail
    std::optional<Credentials> typed;
    bool connected;
    int prompts;
    std::vector<std::string> attempts; // "password|user|flags", a null password as "-"
};

const Case cases[] = {
    {"anonymous works", "XP", "", {true}, std::nullopt, true, 0, {"|  |1"}},
    {"domain account works", "XP", "WORK", {true}, std::nullopt, true, 0, {"-|WORK\\local|1"}},
    {"older version asks, then domain and typed user",
     "XP",
     "WORK",
     {false, true},
     Credentials{"bob", "pw"},
     true,
     1,
     {"-|WORK\\local|1", "pw|WORK\\bob|1"}},
    {"a cancelled login still tries once with empty texts",
     "2000",
     "",
     {false, false},
     std::nullopt,
     false,
     1,
     {"|  |1", "|  |1"}},
    {"Vista lets the connection ask",
     "Vista",
     "",
     {false, true},
     Credentials{"bob", "pw"},
     true,
     0,
     {"|  |1", "|  |9"}},
    {"NT asks first and tries six times",
     "NT 4.0",
     "WORK",
     {},
     Credentials{"bob", "pw"},
     false,
     1,
     {"pw|bob|1", "pw|bob|1", "pw|bob|1", "pw|bob|1", "pw|bob|1", "pw|bob|1"}},
    {"NT stops at the first success",
     "NT 4.0",
     "",
     {false, true},
     Credentials{"bob", "pw"},
     true,
     1,
     {"pw|bob|1", "pw|bob|1"}},
};

} // namespace

TEST(MappingCredentials, TheOrderOfAttemptsByVersionAndDomain)
{
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        std::deque<bool> answers(c.answers.begin(), c.answers.end());
        std::vector<std::string> attempts;
        int prompts = 0;
        bool promptSetDuringInteractive = false;
        MappingSteps steps;
        steps.version = c.version;
        steps.domain = [&] { return c.domain; };
        steps.localUser = [] { return std::string("local"); };
        steps.prompt = [&]
        {
            ++prompts;
            return c.typed;
        };
        steps.connect = [&](const char *password, const char *user, unsigned flags)
        {
            // An empty user is written as two spaces so that it cannot be mistaken for a missing field.
            attempts.push_back((password ? std::string(password) : "-") + "|" + (*user ? std::string(user) : "  ") +
                               "|" + std::to_string(flags));
            if (flags & CONNECT_INTERACTIVE)
                promptSetDuringInteractive = static_cast<bool>(CurrentCredentialPrompt());
            const bool answer = !answers.empty() && answers.front();
            if (!answers.empty())
                answers.pop_front();
            return answer;
        };
        EXPECT_EQ(ConnectWithCredentials(steps), c.connected);
        EXPECT_EQ(prompts, c.prompts);
        EXPECT_EQ(attempts, c.attempts);
        EXPECT_EQ(promptSetDuringInteractive, c.version == "Vista");
        EXPECT_FALSE(CurrentCredentialPrompt()) << "the prompt outlives the mapping";
    }
}

TEST(MappingCredentials, TheLocalUserIsCutToTheBuffer)
{
    std::string user;
    MappingSteps steps;
    steps.version = "XP";
    steps.domain = [] { return std::string("D"); };
    steps.localUser = [] { return std::string(300, 'u'); };
    steps.prompt = [] { return std::optional<Credentials>(); };
    steps.connect = [&](const char *, const char *name, unsigned)
    {
        user = name;
        return true;
    };
    EXPECT_TRUE(ConnectWithCredentials(steps));
    EXPECT_EQ(user, "D\\" + std::string(259, 'u'));
}
