#pragma once

// Waking a sleeping device: its MAC address, the magic packet that carries it, and which device a word names.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "protocol/LocalInterfaces.h"
#include "services/DeviceCache.h"
#include "services/DeviceSession.h"

namespace izuzez::services
{

using MacAddress = std::array<std::uint8_t, 6>;

// "aa:bb:cc:dd:ee:ff" or "aa-bb-cc-dd-ee-ff", either case; nothing for any other text.
std::optional<MacAddress> ParseMac(std::string_view text);
// Lowercase, colon-separated.
std::string MacText(const MacAddress &mac);

inline constexpr int kWakePort = 9;
inline constexpr std::size_t kMagicPacketSize = 102;
// Six bytes 0xFF, then the MAC sixteen times.
std::array<std::uint8_t, kMagicPacketSize> MagicPacket(const MacAddress &mac);

enum class WakeProblem
{
    None,
    BadMac,  // the word is written as a MAC but is not one
    Unknown, // no device of the cache goes by that address or name
};

struct WakeTarget
{
    WakeProblem problem = WakeProblem::None;
    std::string message; // for the problem, in plain words
    MacAddress mac{};
    std::string interfaceAddress; // where the device was last seen; empty when unknown
};

// The device that `word` names: an IPv4 address or a name from the cache (the latest seen wins), or a MAC.
WakeTarget FindWakeTarget(const std::string &word, const std::vector<CachedDevice> &cache);

// The addresses to send from: the given ones (--interface), else where the device was last seen while that
// address is still here, else every one but loopback.
std::vector<LocalAddress> WakeInterfaces(const std::vector<LocalAddress> &local, const std::vector<std::string> &given,
                                         const std::string &lastSeen);

// One magic packet sent from a local address to its network's broadcast address; `problem` says why it did
// not go out (empty when it did).
struct WakeSend
{
    std::string from;
    std::string to;
    std::string problem;
};
// Sends one datagram as SendBroadcast does; empty on success, otherwise the reason.
using BroadcastSender = std::function<std::string(const std::string &from, const std::string &to, int port,
                                                  const std::uint8_t *data, std::size_t size)>;
// The magic packet for the target, sent from each address WakeInterfaces chooses, in that order, through `send`
// (empty: the real broadcast).
std::vector<WakeSend> SendWakePackets(const WakeTarget &target, const std::vector<LocalAddress> &local,
                                      const std::vector<std::string> &given, const BroadcastSender &send = {});

// The time of the wait for a woken device; tests put in one that passes at once.
struct WakeClock
{
    std::function<std::chrono::steady_clock::time_point()> now = [] { return std::chrono::steady_clock::now(); };
    std::function<void(std::chrono::steady_clock::duration)> sleep = [](std::chrono::steady_clock::duration pause)
    { std::this_thread::sleep_for(pause); };
};
// Searches at once and then after pauses of at most a second until a device with the MAC answers, for `wait`
// in all. The device that answered; nothing when none did in time.
std::optional<FoundDevice> WaitForWokenDevice(const MacAddress &mac, std::chrono::seconds wait,
                                              const std::function<std::vector<FoundDevice>()> &search,
                                              const WakeClock &clock = {});

} // namespace izuzez::services
