// The process runner: a program's output and exit status within a time limit (including a program that closes
// its output before it exits and one that overstays), a start that does not wait (detached, reaped, kept and
// stopped) and a run whose output stays ours or that is left running past its limit.

#include "platform/RunProcess.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace izuzez::platform;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace
{

struct RunCase
{
    const char *name;
    std::vector<std::string> argv;
    std::chrono::milliseconds limit;
    bool started;
    bool timedOut;
    int status;
    const char *out;
    const char *err;
    std::chrono::milliseconds within; // the run returns before this, on a loaded machine too
};

const RunCase kRunCases[] = {
    {"OutputAndStatus", {"sh", "-c", "echo out; echo err >&2; exit 5"}, 10s, true, false, 5, "out\n", "err\n", 8s},
    // The firewall tools close their output some time before they are gone: the status is still theirs.
    {"ClosesOutputBeforeItExits",
     {"sh", "-c", "echo early; exec >&- 2>&-; sleep 0.5; exit 3"},
     10s,
     true,
     false,
     3,
     "early\n",
     "",
     8s},
    {"OverstaysAndIsKilled", {"sleep", "30"}, 300ms, true, true, -1, "", "", 5s},
    {"OverstaysWithItsOutputClosed", {"sh", "-c", "exec >&- 2>&-; sleep 30"}, 300ms, true, true, -1, "", "", 5s},
    // A child it leaves behind holding the pipes does not keep us waiting.
    {"LeavesAChildHoldingThePipes", {"sh", "-c", "sleep 6 & echo hi; exit 4"}, 20s, true, false, 4, "hi\n", "", 5s},
    {"EndsBySignal", {"sh", "-c", "kill -9 $$"}, 10s, true, false, -1, "", "", 8s},
    {"NotFound", {"/nonexistent/izuzez-tool"}, 10s, false, false, -1, "", "", 8s},
    {"NoArguments", {}, 10s, false, false, -1, "", "", 1s},
};

void PrintTo(const RunCase &c, std::ostream *out)
{
    *out << c.name;
}

class RunProcessTest : public ::testing::TestWithParam<RunCase>
{
};

TEST_P(RunProcessTest, ReportsTheRun)
{
    const RunCase &c = GetParam();
    const auto start = std::chrono::steady_clock::now();
    const ProcessRun run = RunProcess(c.argv, c.limit);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(run.started, c.started);
    EXPECT_EQ(run.timedOut, c.timedOut);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    EXPECT_LT(elapsed, c.within);
}

INSTANTIATE_TEST_SUITE_P(Cases, RunProcessTest, ::testing::ValuesIn(kRunCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(RunProcessOutputTest, KeepsTheCapAndStillWaitsForTheExit)
{
    const ProcessRun run = RunProcess({"sh", "-c", "head -c 3000000 /dev/zero; exit 7"}, 20s, 100000);
    EXPECT_EQ(run.status, 7);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.out.size(), 100000u);
}

class StartProcessTest : public ::testing::Test
{
protected:
    // The marker's text once it is there, waiting at most `limit`.
    static std::string WaitForFile(const fs::path &path, std::chrono::milliseconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end)
        {
            std::ifstream in(path);
            std::stringstream text;
            text << in.rdbuf();
            if (in && text.str().find('\n') != std::string::npos)
                return text.str();
            std::this_thread::sleep_for(10ms);
        }
        return {};
    }

    izuzez::test::TempDir m_temp;
    const fs::path m_dir = m_temp.file("");
};

TEST_F(StartProcessTest, EveryModeStartsOrSaysWhyNot)
{
    const fs::path plain = m_dir / "plain";
    std::ofstream(plain) << "not executable\n";
    const StartMode modes[] = {StartMode::Detached, StartMode::Reaped, StartMode::Kept};
    for (StartMode mode : modes)
    {
        SCOPED_TRACE(static_cast<int>(mode));
        const struct
        {
            std::vector<std::string> argv;
            int error;
        } failures[] = {
            {{"izuzez-no-such-program"}, ENOENT},
            {{(m_dir / "no-folder/prog").string()}, ENOENT},
            {{plain.string()}, EACCES},
            {{}, ENOENT},
        };
        for (const auto &f : failures)
        {
            const ProcessStart start = StartProcess(f.argv, mode);
            EXPECT_EQ(start.error, f.error) << (f.argv.empty() ? "" : f.argv[0]);
            EXPECT_EQ(start.pid, -1);
        }

        // The session it runs in, written by the program itself (field 6 of its stat line).
        const fs::path marker = m_dir / ("started-" + std::to_string(static_cast<int>(mode)));
        const std::string script = "cut -d' ' -f6 /proc/$$/stat > '" + marker.string() + "'; sleep 0.2";
        const ProcessStart start = StartProcess({"sh", "-c", script}, mode);
        ASSERT_EQ(start.error, 0);
        EXPECT_EQ(start.pid > 0, mode == StartMode::Kept);
        const std::string session = WaitForFile(marker, 5s);
        ASSERT_FALSE(session.empty());
        EXPECT_EQ(std::stoi(session) == getsid(0), mode != StartMode::Detached) << session;
        if (start.pid > 0)
        {
            StopProcess(start.pid, 2s);
            EXPECT_EQ(kill(start.pid, 0), -1);
        }
    }
}

// In a child of ours under a uid nobody runs as, allowed two processes: itself and the middle one of the
// detached start, so the fork of the program fails.
TEST_F(StartProcessTest, ADetachedStartThatCannotForkIsAFailure)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to take another uid";
    constexpr int kCannotSetUp = 3;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        const rlimit two{2, 2};
        if (setgid(54321) != 0 || setuid(54321) != 0 || setrlimit(RLIMIT_NPROC, &two) != 0)
            _exit(kCannotSetUp);
        _exit(StartProcess({"true"}, StartMode::Detached).error == EAGAIN ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kCannotSetUp)
        GTEST_SKIP() << "cannot take another uid here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the start was not reported as failed with EAGAIN";
}

TEST_F(StartProcessTest, StopEndsOneThatIgnoresTheRequest)
{
    const fs::path ready = m_dir / "ready";
    const ProcessStart start = StartProcess(
        {"sh", "-c", "trap '' TERM; echo > '" + ready.string() + "'; while :; do sleep 1; done"}, StartMode::Kept);
    ASSERT_EQ(start.error, 0);
    ASSERT_FALSE(WaitForFile(ready, 5s).empty());
    const auto begin = std::chrono::steady_clock::now();
    StopProcess(start.pid, 300ms);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
    EXPECT_EQ(kill(start.pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

TEST_F(StartProcessTest, RunWithoutCaptureOrLeftRunning)
{
    const fs::path late = m_dir / "late";
    const struct
    {
        const char *name;
        std::string script;
        RunOptions options;
        bool timedOut;
        int status;
        bool markerLater; // it went on after the run returned
    } cases[] = {
        {"StatusWithoutCapture", "echo not captured; exit 6", {5s, false, true}, false, 6, false},
        {"LeftRunningPastTheLimit", "sleep 0.6; echo > '" + late.string() + "'", {200ms, false, false}, true, -1, true},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        const auto begin = std::chrono::steady_clock::now();
        const ProcessRun run = RunProcess({"sh", "-c", c.script}, c.options);
        EXPECT_LT(std::chrono::steady_clock::now() - begin, 4s);
        EXPECT_TRUE(run.started);
        EXPECT_EQ(run.timedOut, c.timedOut);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.out.empty());
        if (c.markerLater)
        {
            EXPECT_FALSE(fs::exists(late));
            EXPECT_FALSE(WaitForFile(late, 5s).empty());
        }
    }
}

} // namespace
