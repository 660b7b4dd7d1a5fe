#pragma once

// What the doctor looks at to tell why no device answers: the local interfaces, one search on each, the
// firewall and the other sockets on the port.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/SearchTally.h"

namespace izuzez::services
{

// What the doctor found out about one local interface.
struct InterfaceFacts
{
    std::string name;
    std::string address;
    int prefix = 32;
    bool loopback = false;
    int unicastError = 0;               // errno of the receiver socket on the interface's address; 0 when open
    int groupError = 0;                 // errno of the receiver socket on the group; 0 when open and joined
    std::optional<bool> multicastRoute; // a route to 224.0.0.1 leaves the interface; empty when unknown
    int rpFilter = -1;                  // effective reverse-path filter: 0 off, 1 strict, 2 loose; -1 unknown
    SearchTally tally;
};

enum class FirewallState
{
    Unread,  // the rules could not be read (no root, no tool), or were not asked for
    Silent,  // nothing in the rules touches the port
    Accepts, // a rule accepts the port
    Drops,   // a rule drops or rejects the port, or an input policy drops what is not accepted
};

struct FirewallFacts
{
    FirewallState state = FirewallState::Unread;
    std::string tool;   // "nft" or "iptables"
    std::string detail; // the rule that decides, or why the rules could not be read
};

struct DoctorFacts
{
    std::vector<InterfaceFacts> interfaces;
    FirewallFacts firewall;
    int otherSockets = -1;                // sockets of other processes on UDP port 13579; -1 when unknown
    std::vector<std::string> portHolders; // "name (process N)" of those this user may see
};

struct DoctorRequest
{
    std::vector<std::string> interfaces; // dotted local addresses to look at; empty: every interface
    bool readFirewall = true;            // false: the firewall is left Unread (its tools need root)
};

// Looks at the requested interfaces, searches once on each (about 1.5 s at most each) and counts what arrived;
// runs the firewall tools with a time limit. Touches no global but the protocol state: it opens and closes the
// endpoints itself and leaves the interface filter as it found it, so it may run on a worker thread while
// nothing else uses the endpoints.
DoctorFacts GatherDoctorFacts(const DoctorRequest &request);

// What the firewall does to UDP port 13579, from `nft list ruleset` or `iptables -S` output.
FirewallFacts ReadFirewallRules(std::string_view tool, std::string_view rules);

// Inodes of the sockets bound to `port` at a unicast or the wildcard address, from the text of /proc/net/udp.
std::vector<unsigned long> UdpSocketInodes(std::string_view table, int port);

// True when a route of /proc/net/route's text sends 224.0.0.1 out of interface `name`.
bool RouteSendsGroupVia(std::string_view table, std::string_view name);

} // namespace izuzez::services
