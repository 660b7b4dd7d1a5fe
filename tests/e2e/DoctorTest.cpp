// izuzez doctor and search --wait through the namespaces: each case sets up one cause of "no device found"
// for real and checks that the doctor's report holds what it found (the verdicts' texts are DiagnosisTest's).

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <thread>
#include <vector>

#include "support/LabSuite.h"

using namespace izuzez::test;
using nlohmann::json;

namespace
{

// Behind hA: a device in the subnet and one outside it. Behind hB: a device that floods the group with
// datagrams of another kind, one that answers another instance, one that sends broken replies.
const char *const kDoctorDevices = R"({
  "devices": [
    {"name": "Near", "address": "10.71.1.10", "netmask": "255.255.255.0", "kind": 8, "listen": ["10.71.1.2"]},
    {"name": "Far", "address": "192.168.0.20", "netmask": "255.255.255.0", "kind": 8, "listen": ["10.71.1.2"]},
    {"name": "Flooder", "address": "10.71.2.10", "kind": 8, "listen": ["10.71.2.2"],
     "faults": {"flood": {"count": 300, "opcode": 9, "spread_ms": 0, "on": ["search"]}}},
    {"name": "Echo", "address": "10.71.2.11", "kind": 8, "listen": ["10.71.2.2"],
     "faults": {"foreign_client_id": true}},
    {"name": "Broken", "address": "10.71.2.12", "kind": 8, "listen": ["10.71.2.2"],
     "faults": {"malformed": ["short", "oversize"]}}
  ]
})";

std::string Verdict(const json &report)
{
    std::string text;
    for (const json &line : report["verdict"])
        text += line.get<std::string>() + "\n";
    return text;
}

class DoctorTest : public LabSuite<kDoctorDevices>
{
protected:
    static json Doctor(const std::vector<std::string> &interfaces, RunResult &run)
    {
        std::vector<std::string> args{"doctor", "--json"};
        for (const std::string &address : interfaces)
            args.insert(args.end(), {"--interface", address});
        run = s_lab->Izuzez(args, std::chrono::seconds(20));
        EXPECT_FALSE(run.timedOut);
        const json report = json::parse(run.out, nullptr, false);
        EXPECT_TRUE(report.is_object()) << run.out << run.err;
        return report.is_object() ? report : json::object({{"interfaces", json::array()}, {"verdict", json::array()}});
    }
    static bool InHost(const std::vector<std::string> &argv)
    {
        return RunProgram(s_lab->InHost(argv), std::chrono::seconds(10)).status == 0;
    }
    // Whether a socket in the host namespace holds UDP port 13579 (350B), asked until `limit`.
    static bool PortHeld(std::chrono::milliseconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (int i = 0; i < 300 && std::chrono::steady_clock::now() < end; ++i)
        {
            if (RunProgram(s_lab->InHost({"cat", "/proc/net/udp"}), std::chrono::seconds(5)).out.find(":350B ") !=
                std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
};

TEST_F(DoctorTest, ReportsWhatEachInterfacesSearchMet)
{
    RunResult run;
    const json report = Doctor({Lab::kHostA, Lab::kHostB}, run);
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(report["interfaces"].size(), 2u);
    const json &hA = report["interfaces"][0];
    EXPECT_EQ(hA["name"], "hA");
    EXPECT_EQ(hA["prefix"], 24);
    EXPECT_EQ(hA["unicast_receiver"], "open");
    EXPECT_EQ(hA["group_receiver"], "open");
    EXPECT_EQ(hA["search"]["accepted"], 2);
    EXPECT_NE(Verdict(report).find("answered from 192.168.0.20, outside hA (10.71.1.1)'s 10.71.1.0/24"),
              std::string::npos)
        << Verdict(report);
    EXPECT_EQ(Verdict(report).find("10.71.1.10,"), std::string::npos);

    const json &search = report["interfaces"][1]["search"];
    EXPECT_EQ(search["accepted"], 1); // the flooder itself
    EXPECT_GE(search["other_kinds"].get<int>(), 250);
    EXPECT_GE(search["other_instance"].get<int>(), 1);
    EXPECT_GE(search["malformed"].get<int>(), 1);
    EXPECT_GE(search["oversize"].get<int>(), 1);
}

TEST_F(DoctorTest, NamesASecondInstanceHoldingThePort)
{
    // A second copy listening while the doctor runs (a --wait search with nothing to hear lasts its quiet time).
    TempDir dir;
    Background second(s_lab->InHost({BinDir() + "/izuzez", "search", "--wait", "5000", "--interface", Lab::kHostB}),
                      dir.file("out2"), dir.file("err2"));
    // On a loaded machine the copy may take a while to start: wait until it holds the port, then it lasts
    // five more seconds.
    ASSERT_TRUE(PortHeld(std::chrono::seconds(15)));
    RunResult run;
    const json report = Doctor({Lab::kHostA}, run);
    EXPECT_GE(report["other_sockets"].get<int>(), 1) << run.out;
    EXPECT_NE(Verdict(report).find("held by izuzez (process "), std::string::npos) << Verdict(report);
}

// The usual layout of a firewall set up by hand, with more than one rule: nft takes a while to exit after it
// has closed its output, and each run must still be read.
const char *const kUsualRuleset = R"(table inet filter {
    chain input {
        type filter hook input priority filter; policy accept;
        ct state established,related accept
        iif "lo" accept
        tcp dport 22 accept
        udp dport 13579 drop
    }
    chain forward {
        type filter hook forward priority filter; policy accept;
    }
    chain output {
        type filter hook output priority filter; policy accept;
    }
}
)";

TEST_F(DoctorTest, NamesTheFirewallRuleThatDropsThePortOnEveryRun)
{
    if (!InHost({"nft", "list", "tables"}))
        GTEST_SKIP() << "nft is not installed";
    TempDir dir;
    WriteFile(dir.file("rules.nft"), kUsualRuleset);
    const bool ready = InHost({"nft", "-f", dir.file("rules.nft")});
    std::vector<json> reports;
    for (int i = 0; ready && i < 4; ++i)
    {
        RunResult run;
        reports.push_back(Doctor({Lab::kHostA}, run));
        EXPECT_EQ(run.status, 1) << "nothing answered through the firewall";
    }
    InHost({"nft", "delete", "table", "inet", "filter"});
    ASSERT_TRUE(ready);
    for (const json &report : reports)
    {
        EXPECT_EQ(report["firewall"]["state"], "drops") << report["firewall"].dump();
        EXPECT_EQ(report["firewall"]["tool"], "nft");
        EXPECT_EQ(report["firewall"]["detail"], "udp dport 13579 drop");
        EXPECT_EQ(report["answered"], 0);
        EXPECT_EQ(Verdict(report).find("sudo"), std::string::npos) << Verdict(report);
    }
}

TEST_F(DoctorTest, NamesAnInterfaceWithoutAMulticastRoute)
{
    // hB gets a route for the multicast range; hC, a veth pair with nothing behind it, has none.
    const bool ready = InHost({"ip", "route", "add", "224.0.0.0/4", "dev", "hB"}) &&
                       InHost({"ip", "link", "add", "hC", "type", "veth", "peer", "name", "hD"}) &&
                       InHost({"ip", "addr", "add", "10.71.3.1/24", "dev", "hC"}) &&
                       InHost({"ip", "link", "set", "hD", "up"}) && InHost({"ip", "link", "set", "hC", "up"});
    RunResult run, plain;
    const json report = ready ? Doctor({Lab::kHostB, "10.71.3.1"}, run) : json::object();
    if (ready)
        plain = s_lab->Izuzez({"doctor", "--interface", "10.71.3.1"}, std::chrono::seconds(20));
    // Undone before any check, since the other cases share the lab.
    InHost({"ip", "link", "del", "hC"});
    InHost({"ip", "route", "del", "224.0.0.0/4", "dev", "hB"});
    ASSERT_TRUE(ready);
    ASSERT_EQ(report["interfaces"].size(), 2u);
    EXPECT_EQ(report["interfaces"][0]["name"], "hB");
    EXPECT_EQ(report["interfaces"][0]["multicast_route"], true);
    EXPECT_EQ(report["interfaces"][1]["name"], "hC");
    EXPECT_EQ(report["interfaces"][1]["multicast_route"], false);
    // The plain report, for a person (its lines are DoctorReportTest's): exit 1, nothing answered there.
    EXPECT_EQ(plain.status, 1);
    EXPECT_NE(plain.out.find("Interface hC  10.71.3.1/24"), std::string::npos) << plain.out;
}

// Three hundred devices on one link: more than the window's search reads.
std::string ManyDevices()
{
    std::string config = R"({"listen": "10.71.1.2", "devices": [)";
    for (int i = 0; i < 300; ++i)
        config += (i ? "," : "") + std::string(R"({"name": "Many-)") + std::to_string(i) + R"(", "address": "10.71.)" +
                  std::to_string(100 + i / 200) + "." + std::to_string(i % 200 + 1) + R"(", "kind": 8})";
    return config + "]}";
}
const std::string kManyText = ManyDevices();
const char *const kManyDevices = kManyText.c_str();

class WaitSearchTest : public LabSuite<kManyDevices>
{
};

TEST_F(WaitSearchTest, ListsEveryDeviceOfAThreeHundredDeviceLink)
{
    const RunResult run = s_lab->Izuzez({"search", "--json", "--wait", "500", "--interface", Lab::kHostA});
    ASSERT_EQ(run.status, 0) << run.err;
    const json list = json::parse(run.out, nullptr, false);
    ASSERT_TRUE(list.is_array());
    EXPECT_EQ(list.size(), 300u);
    // Quiet time after the last reply, within the cap.
    EXPECT_LT(run.elapsed, std::chrono::milliseconds(5000 + 2000));
    // The window's search on the same link stops after 100 datagrams.
    const RunResult plain = s_lab->Izuzez({"search", "--json", "--interface", Lab::kHostA});
    const json some = json::parse(plain.out, nullptr, false);
    ASSERT_TRUE(some.is_array());
    EXPECT_LE(some.size(), 100u);
}

} // namespace
