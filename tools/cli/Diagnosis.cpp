#include "Diagnosis.h"

#include "protocol/Ipv4Text.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>

#include <arpa/inet.h>

namespace izuzez::cli
{
namespace
{

constexpr const char *kPortText = "13579";
// More foreign datagrams than the window's search reads on one interface.
constexpr int kFloodThreshold = 100;

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::string Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

bool Contains(const std::string &text, const char *word)
{
    return text.find(word) != std::string::npos;
}

std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty())
    {
        const auto end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::vector<std::string> Fields(std::string_view line)
{
    std::vector<std::string> fields;
    std::istringstream stream{std::string(line)};
    for (std::string field; stream >> field;)
        fields.push_back(field);
    return fields;
}

bool ParseHex(const std::string &text, unsigned long &value)
{
    if (text.empty() || text.size() > 8)
        return false;
    char *end = nullptr;
    value = std::strtoul(text.c_str(), &end, 16);
    return *end == '\0';
}

std::string Plural(int n, const char *one, const char *many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void DiagnoseInterface(const InterfaceFacts &f, const FirewallFacts &firewall, std::vector<std::string> &verdict)
{
    const std::string where = f.name.empty() ? f.address : f.name + " (" + f.address + ")";
    if (f.unicastError != 0 || f.groupError != 0)
    {
        const int error = f.unicastError != 0 ? f.unicastError : f.groupError;
        verdict.push_back("On " + where + " this program cannot listen on UDP port 13579 (" + std::strerror(error) +
                          ")" +
                          (error == EADDRINUSE ? ": another program holds the port without sharing it; close it."
                                               : ": replies on this interface are lost."));
    }
    std::uint32_t local = 0;
    const bool localKnown = ParseIpv4(f.address, local);
    std::set<std::string> reported;
    for (const std::string &from : f.tally.acceptedFrom)
    {
        std::uint32_t device = 0;
        if (!localKnown || !ParseIpv4(from, device) || InSameSubnet(device, local, f.prefix) ||
            !reported.insert(from).second)
            continue;
        verdict.push_back("A device answered from " + from + ", outside " + where + "'s " +
                          NetworkText(local, f.prefix) +
                          ": it can be reached only after its address is changed (the window's LAN settings, or "
                          "izuzez set-address " +
                          from + " --ip ... --netmask ... --gateway ...).");
    }
    if (f.tally.foreignClient > 0)
        verdict.push_back(Plural(f.tally.foreignClient, "reply", "replies") + " on " + where +
                          " answered another copy of this program: another instance is searching at the same time. "
                          "Close it if devices are missing.");
    const int foreign = f.tally.Total() - f.tally.accepted - f.tally.repeated;
    if (foreign >= kFloodThreshold)
        verdict.push_back(where + " received " + std::to_string(foreign) +
                          " datagrams during the search that were no replies to it: the window reads at most 100 "
                          "per interface and may miss devices; izuzez search --wait 1000 lists every device.");
    if (f.tally.malformed + f.tally.oversize > 0)
        verdict.push_back(Plural(f.tally.malformed + f.tally.oversize, "malformed or oversize datagram",
                                 "malformed or oversize datagrams") +
                          " reached " + where + " and were ignored; a device or another program sends broken replies.");
    if (f.tally.filtered > 0)
        verdict.push_back(Plural(f.tally.filtered, "device", "devices") + " on " + where +
                          " answered as a kind of device this program does not manage.");
    if (f.tally.accepted + f.tally.repeated > 0)
        return;
    if (f.rpFilter == 1)
        verdict.push_back("Reverse-path filtering is strict on " + where +
                          ": replies from a device whose address is not routed through it are dropped. Loosen it "
                          "with sysctl -w net.ipv4.conf." +
                          (f.name.empty() ? std::string("all") : f.name) + ".rp_filter=2.");
    if (f.multicastRoute == false && !f.loopback && firewall.state != FirewallState::Drops)
        verdict.push_back("Nothing answered on " + where +
                          " and no route to 224.0.0.0/4 leaves it: if a device is connected there, check its cable "
                          "and power; some systems also need ip route add 224.0.0.0/4 dev " +
                          (f.name.empty() ? std::string("IFACE") : f.name) + ".");
}

} // namespace

FirewallFacts ReadFirewallRules(std::string_view tool, std::string_view rules)
{
    FirewallFacts facts;
    facts.tool = std::string(tool);
    facts.state = FirewallState::Silent;
    std::string policyDrop;
    bool inInputChain = false;
    for (std::string_view raw : Lines(rules))
    {
        const std::string line = Lower(raw);
        if (Contains(line, "chain "))
            inInputChain = false;
        if (Contains(line, "hook input"))
            inInputChain = true;
        // nft: "type filter hook input priority 0; policy drop;"; iptables: "-P INPUT DROP".
        if ((inInputChain && Contains(line, "policy drop")) || Contains(line, "-p input drop"))
            policyDrop = Trim(raw);
        if (!Contains(line, kPortText))
            continue;
        if (Contains(line, "drop") || Contains(line, "reject"))
        {
            facts.state = FirewallState::Drops;
            facts.detail = Trim(raw);
            return facts;
        }
        if (Contains(line, "accept") && facts.state == FirewallState::Silent)
        {
            facts.state = FirewallState::Accepts;
            facts.detail = Trim(raw);
        }
    }
    if (facts.state == FirewallState::Silent && !policyDrop.empty())
    {
        // Replies to a multicast request match no connection, so a dropping policy takes them.
        facts.state = FirewallState::Drops;
        facts.detail = policyDrop;
    }
    return facts;
}

std::vector<unsigned long> UdpSocketInodes(std::string_view table, int port)
{
    std::vector<unsigned long> inodes;
    for (std::string_view line : Lines(table))
    {
        const std::vector<std::string> fields = Fields(line);
        // sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode ...
        if (fields.size() < 10)
            continue;
        const auto colon = fields[1].find(':');
        unsigned long localAddress = 0, localPort = 0;
        if (colon == std::string::npos || !ParseHex(fields[1].substr(0, colon), localAddress) ||
            !ParseHex(fields[1].substr(colon + 1), localPort) || localPort != static_cast<unsigned long>(port))
            continue;
        // A socket bound to a group gets its own copy of every group datagram; only the others compete.
        if ((ntohl(static_cast<std::uint32_t>(localAddress)) >> 28) == 0xE)
            continue;
        char *end = nullptr;
        const unsigned long inode = std::strtoul(fields[9].c_str(), &end, 10);
        if (*end == '\0' && inode != 0)
            inodes.push_back(inode);
    }
    return inodes;
}

bool RouteSendsGroupVia(std::string_view table, std::string_view name)
{
    const std::uint32_t group = 0xE0000001; // 224.0.0.1
    for (std::string_view line : Lines(table))
    {
        // Iface Destination Gateway Flags RefCnt Use Metric Mask ...; addresses in the kernel's byte order.
        const std::vector<std::string> fields = Fields(line);
        unsigned long destination = 0, flags = 0, mask = 0;
        if (fields.size() < 8 || fields[0] != name || !ParseHex(fields[1], destination) ||
            !ParseHex(fields[3], flags) || !ParseHex(fields[7], mask))
            continue;
        const std::uint32_t dest = ntohl(static_cast<std::uint32_t>(destination));
        const std::uint32_t bits = ntohl(static_cast<std::uint32_t>(mask));
        const bool up = (flags & 0x1) != 0;
        if (up && (group & bits) == (dest & bits))
            return true;
    }
    return false;
}

int AnsweredDevices(const DoctorFacts &facts)
{
    std::set<std::string> addresses;
    for (const InterfaceFacts &f : facts.interfaces)
        addresses.insert(f.tally.acceptedFrom.begin(), f.tally.acceptedFrom.end());
    return static_cast<int>(addresses.size());
}

std::vector<std::string> Diagnose(const DoctorFacts &facts)
{
    std::vector<std::string> verdict;
    const int answered = AnsweredDevices(facts);
    const int interfaces = static_cast<int>(facts.interfaces.size());
    if (interfaces == 0)
    {
        verdict.push_back("No IPv4 interface is up: connect this computer to the devices' network first.");
        return verdict;
    }
    verdict.push_back(answered > 0 ? Plural(answered, "device", "devices") + " answered."
                                   : "No device answered on " + Plural(interfaces, "interface.", "interfaces."));
    if (facts.firewall.state == FirewallState::Drops)
        verdict.push_back("The firewall (" + facts.firewall.tool + ") drops UDP port 13579: " + facts.firewall.detail +
                          ". Allow incoming UDP to port 13579, for example nft insert rule inet filter input udp "
                          "dport 13579 accept.");
    if (answered == 0 && facts.firewall.state == FirewallState::Unread)
        verdict.push_back("The firewall rules could not be read (" + facts.firewall.detail +
                          "); run sudo izuzez doctor to check them too.");
    if (facts.otherSockets > 0)
        verdict.push_back("Another program holds UDP port 13579 on this computer (" +
                          Plural(facts.otherSockets, "socket", "sockets") +
                          "): replies sent to this computer's address reach only one of them. Close it if devices "
                          "are missing.");
    for (const InterfaceFacts &f : facts.interfaces)
        DiagnoseInterface(f, facts.firewall, verdict);
    if (answered == 0 && verdict.size() == 1)
        verdict.push_back("Nothing on this computer stands in the way: check that the device is switched on and "
                          "connected to the same network as one of these interfaces.");
    return verdict;
}

} // namespace izuzez::cli
