// The simulator's built-in devices on 127.0.0.1, found by the command line. Needs no privileges; as root it
// runs in a namespace of its own so that parallel tests on the loopback interface cannot answer it.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>

#include "support/Lab.h"

using namespace izuzez::test;
using namespace std::chrono_literals;

namespace
{

TEST(Loopback, SearchListsTheSimulatorsBuiltInDevices)
{
    LoopbackNamespace ns;
    TempDir dir;
    std::string problem;
    const auto simulator = StartSimulator(ns.Wrap({}), {}, dir, problem);
    ASSERT_TRUE(simulator) << problem;

    // The listening time is fixed: on a loaded machine a slow reply can miss a search, so search again.
    RunResult run;
    for (int attempt = 0; attempt < 5; ++attempt)
    {
        run = RunProgram(ns.Wrap({BinDir() + "/izuzez", "--interface", "127.0.0.1", "search", "--json"}), 10s);
        if (run.status != 0 ||
            (run.out.find("127.0.0.2") != std::string::npos && run.out.find("127.0.0.3") != std::string::npos &&
             run.out.find("127.0.0.4") != std::string::npos))
            break;
    }
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json devices = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_TRUE(devices.is_array()) << run.out;

    // Which devices are built in is DevsimConfig.BuiltInDefaultGivesThreeLoopbackDevices'.
    for (const char *ip : {"127.0.0.2", "127.0.0.3", "127.0.0.4"})
    {
        const auto it = std::find_if(devices.begin(), devices.end(), [&](const auto &d) { return d["ip"] == ip; });
        ASSERT_NE(it, devices.end()) << ip << ": " << run.out;
        EXPECT_EQ((*it)["interface"], "127.0.0.1");
    }

    const RunResult shares =
        RunProgram(ns.Wrap({BinDir() + "/izuzez", "--interface", "127.0.0.1", "query", "127.0.0.2", "shares"}), 10s);
    EXPECT_EQ(shares.status, 0) << shares.err;
    EXPECT_EQ(shares.out, "public\nmedia\nbackup\n");
}

} // namespace
