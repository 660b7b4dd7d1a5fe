#include "Doctor.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include <arpa/inet.h>
#include <dirent.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "platform/RunProcess.h"
#include "protocol/DeviceList.h"
#include "protocol/Endpoints.h"
#include "protocol/FixedText.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/PrintableText.h"
#include "protocol/ProtocolState.h"
#include "protocol/Search.h"

namespace izuzez::cli
{
namespace
{

using namespace std::chrono_literals;

constexpr auto kQuiet = 300ms;
constexpr auto kSearchBudget = 1500ms;
constexpr auto kToolLimit = 3s;

std::string ReadText(const std::string &path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int ReadNumber(const std::string &path)
{
    std::ifstream in(path);
    int value = -1;
    if (!(in >> value))
        return -1;
    return value;
}

// The firewall tools live in /usr/sbin, which an ordinary user's PATH often lacks.
platform::ProcessRun RunSystemTool(const std::string &name, const std::vector<std::string> &args)
{
    platform::ProcessRun run;
    for (const std::string &program : {name, "/usr/sbin/" + name, "/sbin/" + name})
    {
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), args.begin(), args.end());
        run = platform::RunProcess(argv, kToolLimit);
        if (run.started)
            break;
    }
    return run;
}

FirewallFacts ProbeFirewall()
{
    const platform::ProcessRun nft = RunSystemTool("nft", {"list", "ruleset"});
    if (nft.started && nft.status == 0)
        return ReadFirewallRules("nft", nft.out);
    const platform::ProcessRun iptables = RunSystemTool("iptables", {"-S"});
    if (iptables.started && iptables.status == 0)
        return ReadFirewallRules("iptables", iptables.out);
    FirewallFacts facts;
    if (!nft.started && !iptables.started)
        facts.detail = "neither nft nor iptables is installed";
    else if (geteuid() != 0)
        facts.detail = "could not be read without root (run sudo izuzez doctor)";
    else
        facts.detail = "could not be read: " + PrintableText(nft.started ? nft.err : iptables.err);
    while (!facts.detail.empty() && (facts.detail.back() == '\n' || facts.detail.back() == ' '))
        facts.detail.pop_back();
    return facts;
}

// Sockets of this process, by inode, so that they are not taken for another program's.
std::set<unsigned long> OwnSocketInodes()
{
    std::set<unsigned long> inodes;
    DIR *dir = opendir("/proc/self/fd");
    if (dir == nullptr)
        return inodes;
    while (const dirent *entry = readdir(dir))
    {
        char target[64] = {};
        const std::string path = std::string("/proc/self/fd/") + entry->d_name;
        const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        unsigned long inode = 0;
        if (n > 0 && std::sscanf(target, "socket:[%lu]", &inode) == 1)
            inodes.insert(inode);
    }
    closedir(dir);
    return inodes;
}

int OtherSocketsOnPort()
{
    const std::string table = ReadText("/proc/net/udp");
    if (table.empty())
        return -1;
    const std::set<unsigned long> own = OwnSocketInodes();
    int others = 0;
    for (unsigned long inode : UdpSocketInodes(table, kProtocolPort))
        others += own.count(inode) == 0;
    return others;
}

int PrefixOf(const sockaddr *mask)
{
    if (mask == nullptr || mask->sa_family != AF_INET)
        return 32;
    const std::uint32_t bits = ntohl(reinterpret_cast<const sockaddr_in *>(mask)->sin_addr.s_addr);
    return __builtin_popcount(bits);
}

// Name and prefix of the interface that holds `address`.
void NameInterface(InterfaceFacts &facts)
{
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return;
    for (const ifaddrs *a = list; a != nullptr; a = a->ifa_next)
    {
        if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET)
            continue;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in *>(a->ifa_addr)->sin_addr, text, sizeof text);
        if (facts.address != text)
            continue;
        facts.name = a->ifa_name;
        facts.prefix = PrefixOf(a->ifa_netmask);
        facts.loopback = (a->ifa_flags & IFF_LOOPBACK) != 0;
        break;
    }
    freeifaddrs(list);
}

std::string SocketState(int error)
{
    return error == 0 ? "open" : std::string("failed: ") + std::strerror(error);
}

std::string FirewallStateName(FirewallState state)
{
    switch (state)
    {
    case FirewallState::Unread:
        return "unread";
    case FirewallState::Silent:
        return "no rule for the port";
    case FirewallState::Accepts:
        return "accepts";
    case FirewallState::Drops:
        return "drops";
    }
    return {};
}

std::string RpFilterText(int value)
{
    switch (value)
    {
    case 0:
        return "off";
    case 1:
        return "strict";
    case 2:
        return "loose";
    default:
        return "unknown";
    }
}

} // namespace

DoctorFacts GatherDoctorFacts(const std::vector<std::string> &interfaces)
{
    DoctorFacts facts;
    SetInterfaceFilter(interfaces);
    OpenEndpoints();
    ProtocolState &state = g_ProtocolState;
    const std::string routes = ReadText("/proc/net/route");
    const int rpAll = ReadNumber("/proc/sys/net/ipv4/conf/all/rp_filter");
    for (int i = 0; i < state.interfaceCount; ++i)
    {
        InterfaceFacts f;
        f.address = std::string(FieldText(state.interfaceAddress[i]));
        NameInterface(f);
        f.unicastError = state.receiverFault[i].unicastError;
        f.groupError = state.receiverFault[i].groupError;
        if (!routes.empty() && !f.name.empty())
            f.multicastRoute = RouteSendsGroupVia(routes, f.name);
        const int rpOwn = f.name.empty() ? -1 : ReadNumber("/proc/sys/net/ipv4/conf/" + f.name + "/rp_filter");
        // The kernel applies the larger of the two values.
        f.rpFilter = rpOwn < 0 || rpAll < 0 ? -1 : std::max(rpOwn, rpAll);
        facts.interfaces.push_back(std::move(f));
    }
    facts.otherSockets = OtherSocketsOnPort();
    facts.firewall = ProbeFirewall();
    // One search per interface; the list is emptied in between so that each counts its own devices.
    for (int i = 0; i < state.interfaceCount; ++i)
    {
        FreeDeviceList();
        SearchInterfaceUntilQuiet(i, 1, 8, kQuiet, kSearchBudget, &facts.interfaces[static_cast<std::size_t>(i)].tally);
    }
    FreeDeviceList();
    CloseEndpoints();
    return facts;
}

std::string DoctorText(const DoctorFacts &facts, const std::vector<std::string> &verdict)
{
    std::ostringstream out;
    for (const InterfaceFacts &f : facts.interfaces)
    {
        const SearchTally &t = f.tally;
        out << "Interface " << (f.name.empty() ? "?" : f.name) << "  " << f.address << "/" << f.prefix << "\n"
            << "  receiver on its address:  " << SocketState(f.unicastError) << "\n"
            << "  receiver on 224.0.0.1:    " << (f.groupError == 0 ? "open, group joined" : SocketState(f.groupError))
            << "\n"
            << "  multicast route:          "
            << (!f.multicastRoute   ? "unknown"
                : *f.multicastRoute ? "leaves this interface"
                                    : "none")
            << "\n"
            << "  reverse-path filter:      " << RpFilterText(f.rpFilter) << "\n"
            << "  search: " << t.accepted << " accepted, " << t.repeated << " repeated, " << t.foreignClient
            << " for another instance, " << t.filtered << " other device kinds, " << t.otherKind << " other datagrams, "
            << t.malformed << " malformed, " << t.oversize << " oversize\n";
        for (const std::string &from : t.acceptedFrom)
            out << "  device " << PrintableText(from) << "\n";
    }
    out << "Firewall on UDP 13579:      " << FirewallStateName(facts.firewall.state);
    if (!facts.firewall.tool.empty())
        out << " (" << facts.firewall.tool << ")";
    if (!facts.firewall.detail.empty())
        out << ": " << facts.firewall.detail;
    out << "\nOther sockets on port 13579: "
        << (facts.otherSockets < 0 ? std::string("unknown") : std::to_string(facts.otherSockets)) << "\n\nVerdict:\n";
    for (const std::string &line : verdict)
        out << "- " << line << "\n";
    return out.str();
}

std::string DoctorJson(const DoctorFacts &facts, const std::vector<std::string> &verdict)
{
    using nlohmann::ordered_json;
    ordered_json list = ordered_json::array();
    for (const InterfaceFacts &f : facts.interfaces)
    {
        const SearchTally &t = f.tally;
        list.push_back(ordered_json{
            {"name", f.name},
            {"address", f.address},
            {"prefix", f.prefix},
            {"unicast_receiver", SocketState(f.unicastError)},
            {"group_receiver", SocketState(f.groupError)},
            {"multicast_route", f.multicastRoute ? ordered_json(*f.multicastRoute) : ordered_json(nullptr)},
            {"rp_filter", f.rpFilter},
            {"search", ordered_json{{"accepted", t.accepted},
                                    {"repeated", t.repeated},
                                    {"other_instance", t.foreignClient},
                                    {"other_device_kinds", t.filtered},
                                    {"other_kinds", t.otherKind},
                                    {"malformed", t.malformed},
                                    {"oversize", t.oversize},
                                    {"devices", t.acceptedFrom}}},
        });
    }
    const ordered_json report{
        {"answered", AnsweredDevices(facts)},
        {"interfaces", list},
        {"firewall", ordered_json{{"state", FirewallStateName(facts.firewall.state)},
                                  {"tool", facts.firewall.tool},
                                  {"detail", facts.firewall.detail}}},
        {"other_sockets", facts.otherSockets},
        {"verdict", verdict},
    };
    return report.dump(2, ' ', true, ordered_json::error_handler_t::replace);
}

int RunDoctor(const Options &options, Console &console)
{
    const DoctorFacts facts = GatherDoctorFacts(options.interfaces);
    const std::vector<std::string> verdict = Diagnose(facts);
    console.out << (options.json ? DoctorJson(facts, verdict) + "\n" : DoctorText(facts, verdict));
    return AnsweredDevices(facts) > 0 ? kExitDone : kExitDevice;
}

} // namespace izuzez::cli
