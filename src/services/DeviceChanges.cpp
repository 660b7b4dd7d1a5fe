#include "services/DeviceChanges.h"

#include <algorithm>

namespace izuzez::services
{
namespace
{

bool SameSettings(const FoundDevice &a, const FoundDevice &b)
{
    return a.ip == b.ip && a.netmask == b.netmask && a.gateway == b.gateway && a.name == b.name && a.dhcp == b.dhcp;
}

} // namespace

std::string DeviceIdentity(const FoundDevice &device)
{
    return device.mac.empty() ? "id:" + device.uuid : device.mac;
}

WatchStep NextWatchStep(const std::vector<KnownDevice> &known, const std::vector<FoundDevice> &found, int missedForGone)
{
    WatchStep step;
    std::vector<std::string> seen;
    for (const FoundDevice &device : found)
    {
        // A device that answers on two interfaces is listed twice; the first answer stands.
        const std::string id = DeviceIdentity(device);
        if (std::find(seen.begin(), seen.end(), id) != seen.end())
            continue;
        seen.push_back(id);
        const auto old = std::find_if(known.begin(), known.end(),
                                      [&id](const KnownDevice &k) { return DeviceIdentity(k.device) == id; });
        if (old == known.end())
            step.changes.push_back({DeviceEvent::Appeared, device, {}});
        else if (!SameSettings(old->device, device))
            step.changes.push_back({DeviceEvent::Changed, device, old->device});
        step.known.push_back({device, 0});
    }
    for (const KnownDevice &k : known)
    {
        if (std::find(seen.begin(), seen.end(), DeviceIdentity(k.device)) != seen.end())
            continue;
        if (k.missed + 1 >= missedForGone)
            step.changes.push_back({DeviceEvent::Gone, k.device, {}});
        else
            step.known.push_back({k.device, k.missed + 1});
    }
    return step;
}

} // namespace izuzez::services
