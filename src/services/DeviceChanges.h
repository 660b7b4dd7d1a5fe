#pragma once

#include <string>
#include <vector>

#include "services/DeviceSession.h"

namespace izuzez::services
{

// A device the watch knows, with the number of searches in a row that did not list it.
struct KnownDevice
{
    FoundDevice device;
    int missed = 0;
};

enum class DeviceEvent
{
    Appeared,
    Changed, // address, netmask, gateway, name or DHCP state
    Gone,
};

struct DeviceChange
{
    DeviceEvent event = DeviceEvent::Appeared;
    FoundDevice device;
    FoundDevice before; // Changed: the values of the previous search
};

struct WatchStep
{
    std::vector<KnownDevice> known;
    std::vector<DeviceChange> changes;
};

// A device is gone when this many searches in a row did not list it; one lost datagram is not a departure.
inline constexpr int kMissedSearchesForGone = 3;

// A setting a change compares, by its JSON name, with its text before and after ("dhcp" or "static" for the
// DHCP state).
struct FieldChange
{
    const char *key;
    std::string before;
    std::string after;
};

// The settings that differ between two answers of one device, in the order name, ip, netmask, gateway, dhcp;
// empty when none does.
std::vector<FieldChange> ChangedFields(const FoundDevice &before, const FoundDevice &after);

// The device's own id: its MAC (its address may change), or its id text when it sent no MAC.
std::string DeviceIdentity(const FoundDevice &device);

// What one search changed against the devices known before it. Pure: the caller keeps `known`.
WatchStep NextWatchStep(const std::vector<KnownDevice> &known, const std::vector<FoundDevice> &found,
                        int missedForGone = kMissedSearchesForGone);

} // namespace izuzez::services
