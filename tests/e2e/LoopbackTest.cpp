// The simulator's built-in devices on 127.0.0.1, found by the command line. Needs no privileges; as root it
// runs in a namespace of its own so that parallel tests on the loopback interface cannot answer it.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <thread>

#include <unistd.h>

#include "support/Lab.h"

using namespace izuzez::e2e;
using namespace std::chrono_literals;

namespace
{

// A namespace with only its loopback interface up; empty name when it cannot be made.
class LoopbackNamespace
{
public:
    LoopbackNamespace()
    {
        if (geteuid() != 0 || RunProgram({"ip", "netns", "list"}, 5s).status != 0)
            return;
        RemoveStaleNamespaces();
        const std::string name = "izzt-" + std::to_string(getpid()) + "-loopback";
        if (RunProgram({"ip", "netns", "add", name}, 5s).status != 0)
            return;
        m_name = name;
        if (RunProgram({"ip", "-n", m_name, "link", "set", "lo", "up"}, 5s).status != 0)
            Remove();
    }
    ~LoopbackNamespace() { Remove(); }

    std::vector<std::string> Wrap(std::vector<std::string> argv) const
    {
        if (m_name.empty())
            return argv;
        argv.insert(argv.begin(), {"ip", "netns", "exec", m_name});
        return argv;
    }

private:
    void Remove()
    {
        if (!m_name.empty())
            RunProgram({"ip", "netns", "del", m_name}, 5s);
        m_name.clear();
    }
    std::string m_name;
};

TEST(Loopback, SearchListsTheSimulatorsBuiltInDevices)
{
    LoopbackNamespace ns;
    TempDir dir;
    const std::string log = dir.file("devsim.log");
    Background simulator(ns.Wrap({BinDir() + "/izuzez-devsim", "--log", log}), dir.file("out"), dir.file("err"));
    bool ready = false;
    for (int i = 0; i < 500 && !ready && simulator.running(); ++i)
    {
        ready = ReadFile(log).find("ready ") != std::string::npos;
        if (!ready)
            std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(ready) << ReadFile(log) << ReadFile(dir.file("err"));

    const RunResult run =
        RunProgram(ns.Wrap({BinDir() + "/izuzez", "--interface", "127.0.0.1", "search", "--json"}), 10s);
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json devices = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_TRUE(devices.is_array()) << run.out;

    struct Expected
    {
        const char *name;
        const char *ip;
        bool dhcp;
        const char *model;
    };
    const Expected table[] = {
        {"Storage-One", "127.0.0.2", false, "NS-2400"},
        {"Recorder-Two", "127.0.0.3", true, ""}, // answers with a filtered reply: no model
        {"Secure-Three", "127.0.0.4", false, "NS-4800S"},
    };
    for (const Expected &e : table)
    {
        SCOPED_TRACE(e.name);
        const auto it = std::find_if(devices.begin(), devices.end(), [&](const auto &d) { return d["ip"] == e.ip; });
        ASSERT_NE(it, devices.end()) << run.out;
        EXPECT_EQ((*it)["name"], e.name);
        EXPECT_EQ((*it)["dhcp"], e.dhcp);
        EXPECT_EQ((*it)["model"], e.model);
        EXPECT_EQ((*it)["interface"], "127.0.0.1");
    }

    const RunResult shares =
        RunProgram(ns.Wrap({BinDir() + "/izuzez", "--interface", "127.0.0.1", "query", "127.0.0.2", "shares"}), 10s);
    EXPECT_EQ(shares.status, 0) << shares.err;
    EXPECT_EQ(shares.out, "public\nmedia\nbackup\n");
}

} // namespace
