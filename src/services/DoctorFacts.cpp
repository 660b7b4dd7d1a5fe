#include "services/DoctorFacts.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include <arpa/inet.h>
#include <dirent.h>
#include <unistd.h>

#include "platform/RunProcess.h"
#include "protocol/DeviceList.h"
#include "protocol/Endpoints.h"
#include "protocol/FixedText.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/PrintableText.h"
#include "protocol/ProtocolState.h"
#include "protocol/Search.h"
#include "services/DeviceSession.h"

namespace izuzez::services
{
namespace
{

using namespace std::chrono_literals;

constexpr const char *kPortText = "13579";
constexpr auto kQuiet = std::chrono::milliseconds(kSearchQuietMs);
constexpr auto kSearchBudget = 1500ms;
constexpr auto kToolLimit = 3s;

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

// The socket inodes a process holds, from the links in its fd folder (only a process of this user, or any as
// root, can be read).
std::set<unsigned long> SocketInodesOf(const std::string &fdFolder)
{
    std::set<unsigned long> inodes;
    DIR *dir = opendir(fdFolder.c_str());
    if (dir == nullptr)
        return inodes;
    while (const dirent *entry = readdir(dir))
    {
        char target[64] = {};
        const std::string path = fdFolder + "/" + entry->d_name;
        const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        unsigned long inode = 0;
        if (n > 0 && std::sscanf(target, "socket:[%lu]", &inode) == 1)
            inodes.insert(inode);
    }
    closedir(dir);
    return inodes;
}

// "name (process N)" of each readable process that holds one of `inodes`; a bounded walk of /proc.
std::vector<std::string> HoldersOf(const std::set<unsigned long> &inodes)
{
    std::vector<std::string> holders;
    DIR *proc = inodes.empty() ? nullptr : opendir("/proc");
    if (proc == nullptr)
        return holders;
    const std::string self = std::to_string(getpid());
    int looked = 0;
    while (const dirent *entry = readdir(proc))
    {
        const std::string pid = entry->d_name;
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
            pid == self)
            continue;
        if (++looked > 65536)
            break;
        const std::set<unsigned long> held = SocketInodesOf("/proc/" + pid + "/fd");
        if (std::none_of(held.begin(), held.end(), [&](unsigned long i) { return inodes.count(i) != 0; }))
            continue;
        std::string name = ReadText("/proc/" + pid + "/comm");
        while (!name.empty() && (name.back() == '\n' || name.back() == ' '))
            name.pop_back();
        holders.push_back(PrintableText(name.empty() ? "?" : name) + " (process " + pid + ")");
    }
    closedir(proc);
    return holders;
}

int OtherSocketsOnPort(std::vector<std::string> &holders)
{
    const std::string table = ReadText("/proc/net/udp");
    if (table.empty())
        return -1;
    const std::set<unsigned long> own = SocketInodesOf("/proc/self/fd");
    std::set<unsigned long> others;
    for (unsigned long inode : UdpSocketInodes(table, kProtocolPort))
        if (own.count(inode) == 0)
            others.insert(inode);
    holders = HoldersOf(others);
    return static_cast<int>(others.size());
}

// Name, prefix and loopback flag of each interface, from one walk of the interface table.
void NameInterfaces(std::vector<InterfaceFacts> &interfaces)
{
    const std::vector<LocalAddress> local = ListLocalAddresses();
    for (InterfaceFacts &f : interfaces)
    {
        const auto it =
            std::find_if(local.begin(), local.end(), [&](const LocalAddress &a) { return a.address == f.address; });
        if (it == local.end())
            continue;
        f.name = it->name;
        f.prefix = it->prefix < 0 ? 32 : it->prefix;
        f.loopback = it->loopback;
    }
}

// Restores the interface filter it found, so that a caller's own endpoints open as before.
class FilterScope
{
public:
    explicit FilterScope(const std::vector<std::string> &interfaces) : m_saved(InterfaceFilter())
    {
        SetInterfaceFilter(interfaces);
    }
    ~FilterScope() { SetInterfaceFilter(m_saved); }
    FilterScope(const FilterScope &) = delete;
    FilterScope &operator=(const FilterScope &) = delete;

private:
    std::vector<std::string> m_saved;
};

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

DoctorFacts GatherDoctorFacts(const DoctorRequest &request)
{
    DoctorFacts facts;
    const FilterScope filter(request.interfaces);
    OpenEndpoints();
    ProtocolState &state = g_ProtocolState;
    const std::string routes = ReadText("/proc/net/route");
    const int rpAll = ReadNumber("/proc/sys/net/ipv4/conf/all/rp_filter");
    for (int i = 0; i < state.interfaceCount; ++i)
    {
        InterfaceFacts f;
        f.address = std::string(FieldText(state.interfaceAddress[i]));
        f.unicastError = state.receiverFault[i].unicastError;
        f.groupError = state.receiverFault[i].groupError;
        facts.interfaces.push_back(std::move(f));
    }
    NameInterfaces(facts.interfaces);
    for (InterfaceFacts &f : facts.interfaces)
    {
        if (!routes.empty() && !f.name.empty())
            f.multicastRoute = RouteSendsGroupVia(routes, f.name);
        const int rpOwn = f.name.empty() ? -1 : ReadNumber("/proc/sys/net/ipv4/conf/" + f.name + "/rp_filter");
        // The kernel applies the larger of the two values.
        f.rpFilter = rpOwn < 0 || rpAll < 0 ? -1 : std::max(rpOwn, rpAll);
    }
    facts.otherSockets = OtherSocketsOnPort(facts.portHolders);
    if (request.readFirewall)
        facts.firewall = ProbeFirewall();
    else
        facts.firewall.detail = "skipped: reading them needs root";
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

} // namespace izuzez::services
