// Searches through a host namespace with two interfaces, the simulator's devices behind them.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>

#include "support/LabSuite.h"

using namespace izuzez::test;
using nlohmann::json;

namespace
{

// Listen points: A is the lan side of the host's first interface, B of its second.
const char *const kSearchDevices = R"({
  "devices": [
    {"name": "Alpha", "address": "10.71.1.10", "netmask": "255.255.255.0", "gateway": "10.71.1.1",
     "kind": 8, "model": "NS-1", "mac": "00:1B:7A:00:00:10", "hw_version": "1", "sw_version": "1.0",
     "listen": ["10.71.1.2"], "uuid": "001b7a000010"},
    {"name": "Bravo", "address": "10.71.2.20", "netmask": "255.255.255.0", "gateway": "10.71.2.1",
     "dhcp": true, "kind": 7, "listen": ["10.71.2.2"]},
    {"name": "Both", "address": "10.71.1.30", "netmask": "255.255.255.0", "gateway": "10.71.1.1",
     "kind": 8, "model": "NS-2", "listen": ["10.71.1.2", "10.71.2.2"]},
    {"name": "UnicastReply", "address": "10.71.2.31", "netmask": "255.255.255.0", "kind": 8,
     "reply": "unicast", "listen": ["10.71.2.2"]}
  ]
})";

// What a search through both interfaces lists.
const std::vector<std::string> kListed = {"Alpha", "Bravo", "Both", "UnicastReply"};

bool ListsAll(const std::string &out, const std::vector<std::string> &names)
{
    return std::all_of(names.begin(), names.end(),
                       [&](const std::string &name) { return out.find(name) != std::string::npos; });
}

class SearchTest : public LabSuite<kSearchDevices>
{
protected:
    // The program listens for a fixed time, so on a loaded machine a slow reply can miss one search. A case
    // that needs every `wanted` device searches again, a few times at most, and checks the last run.
    static RunResult Search(const std::vector<std::string> &args, const std::vector<std::string> &wanted = kListed)
    {
        RunResult run;
        for (int attempt = 0; attempt < 5; ++attempt)
        {
            run = s_lab->Izuzez(args);
            if (run.status != 0 || ListsAll(run.out, wanted))
                break;
        }
        return run;
    }

    // Device name -> its JSON object; fails the test on a name listed twice.
    static std::map<std::string, json> ByName(const RunResult &run)
    {
        std::map<std::string, json> devices;
        const json list = json::parse(run.out, nullptr, false);
        EXPECT_TRUE(list.is_array()) << run.out << run.err;
        if (!list.is_array())
            return devices;
        for (const json &d : list)
            EXPECT_TRUE(devices.emplace(d["name"].get<std::string>(), d).second) << "listed twice: " << d["name"];
        return devices;
    }
};

TEST_F(SearchTest, ListsDevicesBehindBothInterfacesOnceEach)
{
    const RunResult run = Search({"search", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto devices = ByName(run);

    const std::pair<const char *, const char *> table[] = {
        {"Alpha", Lab::kHostA}, {"Bravo", Lab::kHostB}, {"Both", Lab::kHostA}, {"UnicastReply", Lab::kHostB}};
    for (const auto &[name, interface] : table)
    {
        ASSERT_EQ(devices.count(name), 1u) << name << ": " << run.out;
        EXPECT_EQ(devices.at(name)["interface"], interface) << name;
    }
    EXPECT_EQ(devices.size(), 4u);

    const json &alpha = devices.at("Alpha");
    EXPECT_EQ(alpha["ip"], "10.71.1.10");
    EXPECT_EQ(alpha["netmask"], "255.255.255.0");
    EXPECT_EQ(alpha["gateway"], "10.71.1.1");
    EXPECT_EQ(alpha["dhcp"], false);
    EXPECT_EQ(alpha["uuid"], "001b7a0000100a47010a");
    EXPECT_EQ(alpha["model"], "NS-1");
    EXPECT_EQ(alpha["mac"], "00:1B:7A:00:00:10");
    EXPECT_EQ(alpha["sw_version"], "1.0");
    EXPECT_EQ(devices.at("Bravo")["dhcp"], true);
    EXPECT_EQ(devices.at("Bravo")["model"], ""); // a filtered reply carries no model
}

TEST_F(SearchTest, InterfaceOptionLimitsTheSearch)
{
    const RunResult run = Search({"--interface", Lab::kHostB, "search", "--json"}, {"Both"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto devices = ByName(run);
    EXPECT_EQ(devices.count("Alpha"), 0u);
    ASSERT_EQ(devices.count("Both"), 1u);
    EXPECT_EQ(devices.at("Both")["interface"], Lab::kHostB);

    const RunResult bad = s_lab->Izuzez({"search", "--interface", "10.71.9.9"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("not a local IPv4 address"), std::string::npos);
}

TEST_F(SearchTest, TwoInstancesAtOnceEachListEveryDevice)
{
    // Group replies reach both; a unicast reply reaches only one of the two sockets bound to the address.
    const std::vector<std::string> both = {"Alpha", "Bravo", "Both"};
    const std::vector<std::string> argv = s_lab->InHost({BinDir() + "/izuzez", "search", "--json"});
    TempDir dir;
    int status[2] = {-1, -1};
    std::string out[2];
    for (int attempt = 0; attempt < 5; ++attempt)
    {
        const pid_t first = Spawn(argv, "", dir.file("out1"), dir.file("err1"));
        const pid_t second = Spawn(argv, "", dir.file("out2"), dir.file("err2"));
        bool timedOut = false;
        status[0] = WaitOrKill(first, std::chrono::seconds(10), timedOut);
        status[1] = WaitOrKill(second, std::chrono::seconds(10), timedOut);
        out[0] = ReadFile(dir.file("out1"));
        out[1] = ReadFile(dir.file("out2"));
        if (status[0] != 0 || status[1] != 0 || (ListsAll(out[0], both) && ListsAll(out[1], both)))
            break;
    }
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ(status[i], 0);
        RunResult run;
        run.out = out[i];
        const auto devices = ByName(run);
        for (const std::string &device : both)
            EXPECT_EQ(devices.count(device), 1u) << "instance " << i << " lacks " << device << ": " << run.out;
    }
}

TEST(SearchNothingAnswers, EndsAfterTheFixedListeningTime)
{
    std::string reason;
    const auto lab = Lab::Create(reason);
    if (!lab)
        GTEST_SKIP() << reason;
    const RunResult run = lab->Izuzez({"search", "--json"});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err, "No device answered.\n");
    EXPECT_EQ(json::parse(run.out), json::array());
    // 50 ms and 100 short polls per interface, two interfaces: at least the two pauses. The program stops
    // polling an interface after 350 ms at the latest; the rest is starting it on a loaded machine.
    EXPECT_GE(run.elapsed.count(), 100);
    EXPECT_LT(run.elapsed.count(), 5000);
}

} // namespace
