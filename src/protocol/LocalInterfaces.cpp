#include "protocol/LocalInterfaces.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/random.h>
#include <unistd.h>

#include "protocol/FixedText.h"

namespace
{
std::vector<std::string> g_interfaceFilter;
} // namespace

void SetInterfaceFilter(const std::vector<std::string> &addresses)
{
    g_interfaceFilter = addresses;
}

std::vector<std::string> InterfaceFilter()
{
    return g_interfaceFilter;
}

std::vector<LocalAddress> ListLocalAddresses()
{
    std::vector<LocalAddress> result;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return result;
    for (const ifaddrs *entry = list; entry != nullptr; entry = entry->ifa_next)
    {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET || !(entry->ifa_flags & IFF_UP))
            continue;
        sockaddr_in address;
        std::memcpy(&address, entry->ifa_addr, sizeof address);
        char text[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) == nullptr)
            continue;
        int prefix = -1;
        if (entry->ifa_netmask != nullptr)
        {
            sockaddr_in mask;
            std::memcpy(&mask, entry->ifa_netmask, sizeof mask);
            prefix = __builtin_popcount(mask.sin_addr.s_addr);
        }
        result.push_back({text, (entry->ifa_flags & IFF_LOOPBACK) != 0, entry->ifa_name, prefix});
    }
    freeifaddrs(list);
    return result;
}

std::vector<std::string> SelectLocalAddresses(const std::vector<LocalAddress> &candidates,
                                              const std::vector<std::string> &filter)
{
    std::vector<std::string> selected;
    auto take = [&](bool loopback)
    {
        for (const LocalAddress &candidate : candidates)
        {
            if (candidate.loopback != loopback || selected.size() >= kInterfaceLimit)
                continue;
            if (candidate.address.empty() || candidate.address.size() >= kAddressSlot)
                continue;
            if (!filter.empty() && std::find(filter.begin(), filter.end(), candidate.address) == filter.end())
                continue;
            // An address listed twice (two interfaces with one address) would bind the same socket twice.
            if (std::find(selected.begin(), selected.end(), candidate.address) != selected.end())
                continue;
            selected.push_back(candidate.address);
        }
    };
    take(false);
    take(true);
    return selected;
}

ClientId MakeClientId()
{
    ClientId id = {};
    std::size_t filled = 0;
    for (int attempt = 0; attempt < 4 && filled < 6; ++attempt)
    {
        const ssize_t got = getrandom(id.data() + filled, 6 - filled, 0);
        if (got > 0)
            filled += static_cast<std::size_t>(got);
    }
    if (filled < 6)
    {
        // No entropy source: mix the clock and the process id so two instances still differ.
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::uint64_t mix = static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(now.tv_sec) << 20) ^
                            (static_cast<std::uint64_t>(getpid()) << 40);
        for (std::size_t i = filled; i < 6; ++i)
            id[i] = static_cast<std::uint8_t>(mix >> (8 * i));
    }
    return id;
}

void InitLocalInterfaces()
{
    ProtocolState &state = g_ProtocolState;
    std::memset(state.interfaceAddress, 0, sizeof state.interfaceAddress);
    state.interfaceCount = 0;
    for (const std::string &address : SelectLocalAddresses(ListLocalAddresses(), g_interfaceFilter))
        CopyText(state.interfaceAddress[state.interfaceCount++], address);
    state.clientId = MakeClientId();
}

int LocalPrefixLength(const std::string &address)
{
    for (const LocalAddress &local : ListLocalAddresses())
        if (local.address == address && local.prefix >= 0)
            return local.prefix;
    return -1;
}
