#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cerrno>

#include "services/DoctorReport.h"

// The doctor's report as `izuzez doctor` prints it (scripts and people read it: its bytes stay) and as JSON.
namespace
{
using namespace izuzez::services;

InterfaceFacts Interface(const char *name, const char *address, int prefix, std::optional<bool> route, int rpFilter)
{
    InterfaceFacts f;
    f.name = name;
    f.address = address;
    f.prefix = prefix;
    f.multicastRoute = route;
    f.rpFilter = rpFilter;
    return f;
}

// An unnamed interface whose receivers failed, one that heard a device and one without a multicast route.
DoctorFacts Facts()
{
    DoctorFacts facts;
    facts.interfaces = {Interface("", "10.0.0.5", 24, std::nullopt, -1), Interface("eth1", "192.168.1.2", 16, true, 2),
                        Interface("eth2", "172.16.0.1", 12, false, 1)};
    facts.interfaces[0].unicastError = EACCES;
    facts.interfaces[0].groupError = ENODEV;
    facts.interfaces[1].tally = {1, 2, 3, 4, 5, 6, 7, {"192.168.1.20\x1b[31m"}};
    facts.firewall = {FirewallState::Drops, "nft", "udp dport 13579 drop"};
    return facts;
}

TEST(DoctorReportTest, TextHoldsEveryFactInItsLine)
{
    EXPECT_EQ(DoctorText(Facts(), {"One.", "Two."}), R"(Interface ?  10.0.0.5/24
  receiver on its address:  failed: Permission denied
  receiver on 224.0.0.1:    failed: No such device
  multicast route:          unknown
  reverse-path filter:      unknown
  search: 0 accepted, 0 repeated, 0 for another instance, 0 other device kinds, 0 other datagrams, 0 malformed, 0 oversize
Interface eth1  192.168.1.2/16
  receiver on its address:  open
  receiver on 224.0.0.1:    open, group joined
  multicast route:          leaves this interface
  reverse-path filter:      loose
  search: 1 accepted, 2 repeated, 4 for another instance, 3 other device kinds, 5 other datagrams, 6 malformed, 7 oversize
  device 192.168.1.20?[31m
Interface eth2  172.16.0.1/12
  receiver on its address:  open
  receiver on 224.0.0.1:    open, group joined
  multicast route:          none
  reverse-path filter:      strict
  search: 0 accepted, 0 repeated, 0 for another instance, 0 other device kinds, 0 other datagrams, 0 malformed, 0 oversize
Firewall on UDP 13579:      drops (nft): udp dport 13579 drop
Other sockets on port 13579: unknown

Verdict:
- One.
- Two.
)");
}

TEST(DoctorReportTest, JsonHoldsTheSameFactsForScripts)
{
    DoctorFacts facts = Facts();
    facts.interfaces[1].tally.acceptedFrom.push_back("\xff");
    const nlohmann::json report = nlohmann::json::parse(DoctorJson(facts, {"One."}));
    EXPECT_EQ(report["answered"], 2);
    EXPECT_EQ(report["interfaces"][0]["unicast_receiver"], "failed: Permission denied");
    EXPECT_EQ(report["interfaces"][0]["multicast_route"], nullptr);
    EXPECT_EQ(report["interfaces"][1]["group_receiver"], "open");
    EXPECT_EQ(report["interfaces"][1]["search"]["other_kinds"], 5);
    // Bytes that are no UTF-8 are replaced, not refused.
    EXPECT_EQ(report["interfaces"][1]["search"]["devices"],
              nlohmann::json::array({"192.168.1.20\x1b[31m", "\xef\xbf\xbd"}));
    EXPECT_EQ(report["interfaces"][2]["multicast_route"], false);
    EXPECT_EQ(report["firewall"],
              (nlohmann::json{{"state", "drops"}, {"tool", "nft"}, {"detail", "udp dport 13579 drop"}}));
    EXPECT_EQ(report["other_sockets"], -1);
    EXPECT_EQ(report["verdict"], nlohmann::json::array({"One."}));
}

} // namespace
