#include "services/DeviceChanges.h"

#include <algorithm>

namespace izuzez::services
{
std::vector<FieldChange> ChangedFields(const FoundDevice &a, const FoundDevice &b)
{
    std::vector<FieldChange> out;
    const auto add = [&out](const char *key, const std::string &x, const std::string &y)
    {
        if (x != y)
            out.push_back({key, x, y});
    };
    const auto mode = [](bool dhcp) { return std::string(dhcp ? "dhcp" : "static"); };
    add("name", a.name, b.name);
    add("ip", a.ip, b.ip);
    add("netmask", a.netmask, b.netmask);
    add("gateway", a.gateway, b.gateway);
    add("dhcp", mode(a.dhcp), mode(b.dhcp));
    return out;
}

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
        else if (!ChangedFields(old->device, device).empty())
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
