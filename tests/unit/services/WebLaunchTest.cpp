// The wait for the web port both faces make before the page opens, and the browser's command line.

#include "services/WebLaunch.h"
#include "support/FakeWebAccess.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>

using namespace izuzez::services;
using namespace std::chrono_literals;

namespace
{

// Pauses take no time; each one is added up and may let the check answer first.
class CountingClock : public WaitClock
{
public:
    std::chrono::milliseconds Scaled(std::chrono::milliseconds nominal) const override
    {
        waited += nominal;
        if (++pauses == answerAt)
            answer();
        return 0ms;
    }
    mutable int pauses = 0;
    mutable std::chrono::milliseconds waited{0};
    int answerAt = -1;
    std::function<void()> answer;
};

// Bounded: a worker that never answers fails the case instead of hanging it.
template <class Condition> bool Within2s(Condition condition)
{
    for (int i = 0; i < 200 && !condition(); ++i)
        std::this_thread::sleep_for(10ms);
    return condition();
}

TEST(WebPortWait, ARefusalEndsItAtOnceSilenceAfterTwoSecondsALateAnswerServesNothing)
{
    const struct
    {
        const char *name;
        int answerAt; // the pause during which the check answers; 0 before the first look, -1 never
        bool reachable;
        bool result;
        std::chrono::milliseconds waited; // in pauses of 50 ms
    } cases[] = {
        {"reachable at once", 0, true, true, 0ms},
        {"refused at once", 0, false, false, 0ms},
        {"reachable within the wait", 10, true, true, 500ms},
        {"refused within the wait", 25, false, false, 1250ms},
        {"reachable during the last pause", 40, true, true, 2000ms},
        {"silent", -1, true, false, 2000ms},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        auto web = std::make_shared<izuzez::test::FakeWebAccess>();
        web->gated = true;
        DeviceAvailability check;
        check.Start(web, "10.0.0.5");
        CountingClock clock;
        clock.answerAt = c.answerAt;
        clock.answer = [&]
        {
            web->Open(c.reachable);
            EXPECT_TRUE(Within2s([&] { return check.Value() != 0; }));
        };
        if (c.answerAt == 0)
            clock.answer();
        EXPECT_EQ(WaitForWebPort(check, clock), c.result);
        EXPECT_EQ(clock.waited, c.waited);
        EXPECT_EQ(clock.pauses * 50ms, c.waited);
        if (c.answerAt < 0)
            web->Open(c.reachable); // after the wait: nobody listens any more
        // The worker lets go of the layer once it has written (or dropped) its answer.
        EXPECT_TRUE(Within2s([&] { return web.use_count() == 1; }));
        EXPECT_EQ(check.Value(), 0);
    }
}

} // namespace

// Which command line each browser gets: IE through explorer, and codes 2, 3 and 11 falling back on it while 5
// (access denied) is not retried. The launch that counts is the fallback when one ran.
TEST(OpenInBrowser, TheCommandFollowsTheRegistryAndFallsBack)
{
    const std::string fallback = "explorer http://10.0.0.5";
    const struct
    {
        const char *name;
        std::string browser, command, ssl;
        std::deque<unsigned> results;
        std::vector<std::string> expected;
        bool started;
    } cases[] = {
        {"registered, secure", "ff.desktop", "ff --new", "1", {}, {"ff --new https://10.0.0.5"}, true},
        {"IE opens through explorer", "IEXPLORE.EXE", "unused", "1", {}, {"explorer https://10.0.0.5"}, true},
        {"file not found", "g.desktop", "g", "0", {2}, {"g http://10.0.0.5", fallback}, true},
        {"path not found, fallback fails", "g.desktop", "g", "0", {3, 2}, {"g http://10.0.0.5", fallback}, false},
        {"bad format", "g.desktop", "g", "", {11}, {"g http://10.0.0.5", fallback}, true},
        {"access denied is not retried", "locked.desktop", "locked", "0", {5}, {"locked http://10.0.0.5"}, false},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        izuzez::test::FakeWebAccess web;
        web.browser = c.browser;
        web.command = c.command;
        web.execResults = c.results;
        const LaunchReport report = OpenInBrowser(web, "10.0.0.5", c.ssl);
        EXPECT_EQ(web.commands, c.expected);
        EXPECT_EQ(report.Started(), c.started);
        EXPECT_EQ(report.FinalCommand(), web.commands.back());
        // The IE branch never reads the browser's command line.
        const std::string commandKey = "Software\\Clients\\StartMenuInternet\\" + c.browser + "\\shell\\open\\command";
        EXPECT_EQ(web.keys.back() == commandKey, c.browser.find("IE") == std::string::npos);
    }
}

// The check comes first; the page opens only when it answered and a launch is asked for.
TEST(OpenDeviceWebPage, CheckedFirstThenLaunched)
{
    for (const auto &[reachable, launch] : {std::pair{false, true}, {true, false}, {true, true}})
    {
        auto web = std::make_shared<izuzez::test::FakeWebAccess>();
        web->reachable = reachable;
        DeviceAvailability check;
        const WebPageOpening opening = OpenDeviceWebPage(web, check, "10.0.0.5", "1", ScaledClock(1), launch);
        EXPECT_EQ(opening.available, reachable);
        ASSERT_EQ(web->commands.size(), reachable && launch ? 1u : 0u);
        EXPECT_EQ(opening.report.Started(), reachable && launch);
    }
}
