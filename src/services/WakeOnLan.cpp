#include "services/WakeOnLan.h"

#include "protocol/Broadcast.h"
#include "protocol/HexDigit.h"
#include "protocol/Ipv4Text.h"

#include <algorithm>
#include <cstdio>

namespace izuzez::services
{
namespace
{

// Hex digits with at least one ':' or '-': meant as a MAC, even when it is not a well formed one.
bool WrittenAsMac(std::string_view text)
{
    const bool separated = text.find_first_of(":-") != std::string_view::npos;
    return separated &&
           std::all_of(text.begin(), text.end(), [](char c) { return c == ':' || c == '-' || HexDigitValue(c) >= 0; });
}

const CachedDevice *Latest(const std::vector<CachedDevice> &cache,
                           bool (*match)(const CachedDevice &, const std::string &), const std::string &word)
{
    const CachedDevice *latest = nullptr;
    for (const CachedDevice &d : cache)
        if (match(d, word) && (latest == nullptr || d.seen > latest->seen))
            latest = &d;
    return latest;
}

} // namespace

std::optional<MacAddress> ParseMac(std::string_view text)
{
    if (text.size() != 17)
        return std::nullopt;
    const char separator = text[2];
    if (separator != ':' && separator != '-')
        return std::nullopt;
    MacAddress mac{};
    for (std::size_t i = 0; i < mac.size(); ++i)
    {
        const int high = HexDigitValue(text[i * 3]);
        const int low = HexDigitValue(text[i * 3 + 1]);
        if (high < 0 || low < 0 || (i < 5 && text[i * 3 + 2] != separator))
            return std::nullopt;
        mac[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return mac;
}

std::string MacText(const MacAddress &mac)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

std::array<std::uint8_t, kMagicPacketSize> MagicPacket(const MacAddress &mac)
{
    std::array<std::uint8_t, kMagicPacketSize> packet{};
    std::fill_n(packet.begin(), 6, 0xFF);
    for (std::size_t copy = 0; copy < 16; ++copy)
        std::copy(mac.begin(), mac.end(), packet.begin() + 6 + static_cast<std::ptrdiff_t>(copy * mac.size()));
    return packet;
}

WakeTarget FindWakeTarget(const std::string &word, const std::vector<CachedDevice> &cache)
{
    const bool address = ReadIpv4(word).verdict == Ipv4Verdict::Address;
    WakeTarget target;
    const CachedDevice *known = nullptr;
    if (address)
        known = Latest(
            cache, [](const CachedDevice &d, const std::string &w) { return d.ip == w; }, word);
    else
        known = Latest(
            cache, [](const CachedDevice &d, const std::string &w) { return d.name == w; }, word);
    if (known == nullptr && !address && WrittenAsMac(word))
    {
        const std::optional<MacAddress> mac = ParseMac(word);
        if (!mac)
        {
            target.problem = WakeProblem::BadMac;
            target.message =
                "'" + word + "' is not a MAC address; write its six bytes as aa:bb:cc:dd:ee:ff or aa-bb-cc-dd-ee-ff.";
            return target;
        }
        target.mac = *mac;
        known = Latest(
            cache, [](const CachedDevice &d, const std::string &w) { return ParseMac(d.mac) == ParseMac(w); }, word);
        if (known != nullptr)
            target.interfaceAddress = known->interfaceAddress;
        return target;
    }
    if (known == nullptr)
    {
        target.problem = WakeProblem::Unknown;
        target.message = "No device '" + word +
                         "' was seen by a search on this computer; give its MAC address instead, as in izuzez wake "
                         "aa:bb:cc:dd:ee:ff (the MAC column of izuzez search).";
        return target;
    }
    target.mac = *ParseMac(known->mac); // the cache keeps only readable MACs
    target.interfaceAddress = known->interfaceAddress;
    return target;
}

std::vector<LocalAddress> WakeInterfaces(const std::vector<LocalAddress> &local, const std::vector<std::string> &given,
                                         const std::string &lastSeen)
{
    std::vector<LocalAddress> chosen;
    for (const LocalAddress &a : local)
        if (std::find(given.begin(), given.end(), a.address) != given.end())
            chosen.push_back(a);
    if (!given.empty())
        return chosen;
    for (const LocalAddress &a : local)
        if (a.address == lastSeen)
            return {a};
    for (const LocalAddress &a : local)
        if (!a.loopback)
            chosen.push_back(a);
    return chosen;
}

std::vector<WakeSend> SendWakePackets(const WakeTarget &target, const std::vector<LocalAddress> &local,
                                      const std::vector<std::string> &given, const BroadcastSender &send)
{
    const BroadcastSender broadcast = send ? send : BroadcastSender(SendBroadcast);
    const auto packet = MagicPacket(target.mac);
    std::vector<WakeSend> sends;
    for (const LocalAddress &from : WakeInterfaces(local, given, target.interfaceAddress))
    {
        const std::string to = BroadcastAddress(from.address, from.prefix);
        sends.push_back({from.address, to, broadcast(from.address, to, kWakePort, packet.data(), packet.size())});
    }
    return sends;
}

std::optional<FoundDevice> WaitForWokenDevice(const MacAddress &mac, std::chrono::seconds wait,
                                              const std::function<std::vector<FoundDevice>()> &search,
                                              const WakeClock &clock)
{
    using Duration = std::chrono::steady_clock::duration;
    const auto end = clock.now() + wait;
    for (;;)
    {
        for (const FoundDevice &d : search())
            if (ParseMac(d.mac) == mac)
                return d;
        const Duration left = end - clock.now();
        if (left <= Duration::zero())
            return std::nullopt;
        clock.sleep(std::min<Duration>(left, std::chrono::seconds(1)));
    }
}

} // namespace izuzez::services
