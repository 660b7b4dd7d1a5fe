// The process runner: a program's output and exit status within a time limit, including a program that
// closes its output before it exits and one that overstays.

#include "platform/RunProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>

using namespace izuzez::platform;
using namespace std::chrono_literals;

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

} // namespace
