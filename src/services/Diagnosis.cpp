#include "services/Diagnosis.h"

#include "services/OutsideNetwork.h"

#include <cerrno>
#include <cstring>
#include <set>

namespace izuzez::services
{
namespace
{

// More foreign datagrams than the window's search reads on one interface.
constexpr int kFloodThreshold = 100;

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
    std::set<std::string> reported;
    for (const std::string &from : f.tally.acceptedFrom)
    {
        const std::string network = OutsideNetwork(from, f.address, f.prefix);
        if (network.empty() || !reported.insert(from).second)
            continue;
        verdict.push_back("A device answered from " + from + ", outside " + where + "'s " + network +
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
    if (facts.otherSockets > 0 && !facts.portHolders.empty())
    {
        std::string holders;
        for (const std::string &holder : facts.portHolders)
            holders += (holders.empty() ? "" : ", ") + holder;
        verdict.push_back("The port is held by " + holders + ".");
    }
    for (const InterfaceFacts &f : facts.interfaces)
        DiagnoseInterface(f, facts.firewall, verdict);
    if (answered == 0 && verdict.size() == 1)
        verdict.push_back("Nothing on this computer stands in the way: check that the device is switched on and "
                          "connected to the same network as one of these interfaces.");
    return verdict;
}

} // namespace izuzez::services
