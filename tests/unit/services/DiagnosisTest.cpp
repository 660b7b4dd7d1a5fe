#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/Diagnosis.h"

// The doctor's verdict and the readers of the system's tables it rests on.
namespace
{
using namespace izuzez::services;

InterfaceFacts Interface(const char *name, const char *address, int prefix)
{
    InterfaceFacts f;
    f.name = name;
    f.address = address;
    f.prefix = prefix;
    f.multicastRoute = true;
    f.rpFilter = 0;
    return f;
}

DoctorFacts OneInterface(const InterfaceFacts &f)
{
    DoctorFacts facts;
    facts.interfaces.push_back(f);
    facts.firewall.state = FirewallState::Silent;
    facts.firewall.tool = "nft";
    facts.otherSockets = 0;
    return facts;
}

std::string Joined(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    return text;
}

TEST(DiagnosisTest, VerdictNamesTheCause)
{
    struct Case
    {
        const char *what;
        DoctorFacts facts;
        std::vector<std::string> says;
        std::vector<std::string> saysNot;
    };
    std::vector<Case> cases;

    InterfaceFacts fine = Interface("eth0", "10.0.0.5", 24);
    fine.tally.accepted = 1;
    fine.tally.acceptedFrom = {"10.0.0.20"};
    cases.push_back({"a device in the subnet", OneInterface(fine), {"1 device answered."}, {"outside", "firewall"}});

    InterfaceFacts outside = Interface("eth0", "10.0.0.5", 24);
    outside.tally.accepted = 2;
    outside.tally.acceptedFrom = {"192.168.0.20", "10.0.0.7"};
    cases.push_back(
        {"a device on another subnet",
         OneInterface(outside),
         {"2 devices answered.", "answered from 192.168.0.20, outside eth0 (10.0.0.5)'s 10.0.0.0/24", "LAN settings"},
         {"10.0.0.7,"}});

    InterfaceFacts nothing = Interface("eth0", "10.0.0.5", 24);
    DoctorFacts dropped = OneInterface(nothing);
    dropped.firewall = {FirewallState::Drops, "nft", "udp dport 13579 drop"};
    cases.push_back({"a firewall rule",
                     dropped,
                     {"No device answered on 1 interface.", "(nft) drops UDP port 13579", "udp dport 13579 drop"},
                     {"route"}});

    InterfaceFacts other = Interface("eth0", "10.0.0.5", 24);
    other.tally.foreignClient = 4;
    DoctorFacts second = OneInterface(other);
    second.otherSockets = 2;
    cases.push_back({"a second instance", second, {"4 replies on eth0", "another copy", "(2 sockets)"}, {"held by"}});
    second.portHolders = {"izuzez (process 41)", "nc (process 42)"};
    cases.push_back({"the port's holders named",
                     second,
                     {"(2 sockets)", "The port is held by izuzez (process 41), nc (process 42)."},
                     {}});

    InterfaceFacts flood = Interface("eth0", "10.0.0.5", 24);
    flood.tally.accepted = 1;
    flood.tally.acceptedFrom = {"10.0.0.9"};
    flood.tally.otherKind = 180;
    flood.tally.malformed = 3;
    flood.tally.oversize = 1;
    cases.push_back({"a flood",
                     OneInterface(flood),
                     {"received 184 datagrams", "search --wait", "4 malformed or oversize datagrams"},
                     {}});

    InterfaceFacts noRoute = Interface("veth1", "10.0.0.5", 24);
    noRoute.multicastRoute = false;
    InterfaceFacts routed = Interface("veth2", "10.0.1.5", 24);
    routed.tally.accepted = 1;
    routed.tally.acceptedFrom = {"10.0.1.9"};
    DoctorFacts twoRoutes = OneInterface(noRoute);
    twoRoutes.interfaces.push_back(routed);
    cases.push_back({"an interface without a multicast route",
                     twoRoutes,
                     {"no route to 224.0.0.0/4 leaves it", "dev veth1"},
                     {"dev veth2"}});

    InterfaceFacts strict = Interface("eth0", "10.0.0.5", 24);
    strict.rpFilter = 1;
    cases.push_back({"strict reverse-path filter", OneInterface(strict), {"net.ipv4.conf.eth0.rp_filter=2"}, {}});

    InterfaceFacts busy = Interface("eth0", "10.0.0.5", 24);
    busy.unicastError = EADDRINUSE;
    cases.push_back({"the port is taken", OneInterface(busy), {"cannot listen on UDP port 13579", "close it"}, {}});

    cases.push_back({"nothing in the way", OneInterface(nothing), {"Nothing on this computer stands in the way"}, {}});

    InterfaceFacts loopback = Interface("lo", "127.0.0.1", 8);
    loopback.loopback = true;
    loopback.multicastRoute = false;
    DoctorFacts unread = OneInterface(loopback);
    unread.firewall = {FirewallState::Unread, "", "could not be read without root"};
    cases.push_back({"rules unread, loopback without a route",
                     unread,
                     {"could not be read without root); run sudo izuzez doctor"},
                     {"route", "cable"}});
    cases.push_back({"no interface", DoctorFacts{}, {"No IPv4 interface is up"}, {}});

    for (const Case &c : cases)
    {
        const std::string verdict = Joined(Diagnose(c.facts));
        for (const std::string &text : c.says)
            EXPECT_NE(verdict.find(text), std::string::npos) << c.what << ": wanted '" << text << "' in\n" << verdict;
        for (const std::string &text : c.saysNot)
            EXPECT_EQ(verdict.find(text), std::string::npos) << c.what << ": did not want '" << text << "' in\n"
                                                             << verdict;
    }
}

TEST(DiagnosisTest, AnsweredDevicesCountsAnAddressOnce)
{
    DoctorFacts facts = OneInterface(Interface("a", "10.0.0.1", 24));
    facts.interfaces.push_back(Interface("b", "10.0.1.1", 24));
    facts.interfaces[0].tally.acceptedFrom = {"10.0.0.2", "10.0.0.3"};
    facts.interfaces[1].tally.acceptedFrom = {"10.0.0.3"};
    EXPECT_EQ(AnsweredDevices(facts), 2);
}

TEST(DiagnosisTest, ReadsFirewallRules)
{
    struct Case
    {
        const char *tool;
        const char *rules;
        FirewallState state;
        const char *detail;
    } cases[] = {
        {"nft", "", FirewallState::Silent, ""},
        {"nft",
         "table inet t {\n\tchain in {\n\t\ttype filter hook input priority filter; policy accept;\n"
         "\t\tudp dport 13579 drop\n\t}\n}\n",
         FirewallState::Drops, "udp dport 13579 drop"},
        {"nft",
         "table inet t {\n chain in {\n  type filter hook input priority 0; policy drop;\n"
         "  udp dport 13579 accept\n }\n}\n",
         FirewallState::Accepts, "udp dport 13579 accept"},
        {"nft",
         "table inet t {\n chain in {\n  type filter hook input priority 0; policy drop;\n"
         "  ct state established accept\n }\n}\n",
         FirewallState::Drops, "type filter hook input priority 0; policy drop;"},
        {"nft", "table inet t {\n chain out {\n  type filter hook output priority 0; policy drop;\n }\n}\n",
         FirewallState::Silent, ""},
        {"nft",
         "table inet t {\n chain in {\n  type filter hook input priority 0; policy accept;\n }\n"
         " chain fwd {\n  type filter hook forward priority 0; policy drop;\n }\n}\n",
         FirewallState::Silent, ""},
        {"iptables", "-P INPUT ACCEPT\n-A INPUT -p udp -m udp --dport 13579 -j REJECT\n", FirewallState::Drops,
         "-A INPUT -p udp -m udp --dport 13579 -j REJECT"},
        {"iptables", "-P INPUT DROP\n-P OUTPUT ACCEPT\n", FirewallState::Drops, "-P INPUT DROP"},
    };
    for (const Case &c : cases)
    {
        const FirewallFacts facts = ReadFirewallRules(c.tool, c.rules);
        EXPECT_EQ(facts.state, c.state) << c.rules;
        EXPECT_EQ(facts.detail, c.detail) << c.rules;
        EXPECT_EQ(facts.tool, c.tool);
    }
}

TEST(DiagnosisTest, ReadsSocketAndRouteTables)
{
    const char *udp =
        "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode ref\n"
        "  1: 0100007F:350B 00000000:0000 07 00000000:00000000 00:00000000 00000000  0  0 1111 2 0\n"
        "  2: 010000E0:350B 00000000:0000 07 00000000:00000000 00:00000000 00000000  0  0 2222 2 0\n"
        "  3: 00000000:350B 00000000:0000 07 00000000:00000000 00:00000000 00000000  0  0 3333 2 0\n"
        "  4: 0100007F:0035 00000000:0000 07 00000000:00000000 00:00000000 00000000  0  0 4444 2 0\n"
        "  5: garbage\n";
    EXPECT_EQ(UdpSocketInodes(udp, 13579), (std::vector<unsigned long>{1111, 3333}));

    const char *routes = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
                         "eth0\t00000000\t0100000A\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
                         "eth1\t0001A8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
                         "eth2\t000000E0\t00000000\t0001\t0\t0\t0\t000000F0\t0\t0\t0\n"
                         "eth3\t000000E0\t00000000\t0000\t0\t0\t0\t000000F0\t0\t0\t0\n";
    EXPECT_TRUE(RouteSendsGroupVia(routes, "eth0"));  // the default route
    EXPECT_FALSE(RouteSendsGroupVia(routes, "eth1")); // only its own subnet
    EXPECT_TRUE(RouteSendsGroupVia(routes, "eth2"));  // 224.0.0.0/4
    EXPECT_FALSE(RouteSendsGroupVia(routes, "eth3")); // a route that is not up
    EXPECT_FALSE(RouteSendsGroupVia(routes, "eth9"));
}
} // namespace
