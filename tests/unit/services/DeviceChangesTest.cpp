#include "services/DeviceChanges.h"

#include <gtest/gtest.h>

using namespace izuzez::services;

namespace
{

FoundDevice Device(const std::string &mac, const std::string &ip, bool dhcp = false, const std::string &name = "NAS")
{
    FoundDevice d;
    d.mac = mac;
    d.ip = ip;
    d.netmask = "255.255.255.0";
    d.gateway = "10.0.0.1";
    d.dhcp = dhcp;
    d.name = name;
    return d;
}

// "appeared MAC", "changed MAC KEY OLD>NEW ...", "gone MAC" for the changes of one search.
std::vector<std::string> Describe(const std::vector<DeviceChange> &changes)
{
    std::vector<std::string> out;
    for (const DeviceChange &c : changes)
    {
        const char *event = c.event == DeviceEvent::Appeared  ? "appeared "
                            : c.event == DeviceEvent::Changed ? "changed "
                                                              : "gone ";
        std::string text = event + c.device.mac;
        if (c.event == DeviceEvent::Changed)
            for (const FieldChange &f : ChangedFields(c.before, c.device))
                text += std::string(" ") + f.key + " " + f.before + ">" + f.after;
        out.push_back(text);
    }
    return out;
}

struct WatchCase
{
    const char *what;
    std::vector<std::vector<FoundDevice>> searches;
    std::vector<std::string> lastChanges; // of the last search
};

const FoundDevice kA = Device("AA", "10.0.0.5");
const FoundDevice kB = Device("BB", "10.0.0.6");

FoundDevice WithNetwork(FoundDevice device, const std::string &netmask, const std::string &gateway)
{
    device.netmask = netmask;
    device.gateway = gateway;
    return device;
}

const WatchCase watchCases[] = {
    {"the devices present at the start appear", {{kA, kB}}, {"appeared AA", "appeared BB"}},
    {"nothing changed", {{kA, kB}, {kB, kA}}, {}},
    {"a new address is a change of the same device",
     {{kA}, {Device("AA", "10.0.0.9")}},
     {"changed AA ip 10.0.0.5>10.0.0.9"}},
    {"DHCP switched on", {{kA}, {Device("AA", "10.0.0.5", true)}}, {"changed AA dhcp static>dhcp"}},
    {"a new netmask and gateway",
     {{kA}, {WithNetwork(kA, "255.255.0.0", "10.0.0.254")}},
     {"changed AA netmask 255.255.255.0>255.255.0.0 gateway 10.0.0.1>10.0.0.254"}},
    {"name and ip", {{kA}, {Device("AA", "10.0.0.6", false, "Vlt")}}, {"changed AA name NAS>Vlt ip 10.0.0.5>10.0.0.6"}},
    {"missed twice is not gone", {{kA, kB}, {kA}, {kA}}, {}},
    {"missed three times in a row is gone", {{kA, kB}, {kA}, {kA}, {kA}}, {"gone BB"}},
    {"back after two misses is neither gone nor new", {{kA, kB}, {kA}, {kA}, {kA, kB}, {kA}, {kA}}, {}},
    {"back after it was gone appears again", {{kB}, {}, {}, {}, {kB}}, {"appeared BB"}},
    {"another device on a known address is another device", {{kA}, {Device("CC", "10.0.0.5")}}, {"appeared CC"}},
    {"a device answering on two interfaces is one device", {{kA, kA}}, {"appeared AA"}},
    {"a change while it was missed is reported when it is back",
     {{kA}, {}, {Device("AA", "10.0.0.7")}},
     {"changed AA ip 10.0.0.5>10.0.0.7"}},
};

TEST(NextWatchStep, AppearedChangedAndGone)
{
    for (const WatchCase &c : watchCases)
    {
        SCOPED_TRACE(c.what);
        std::vector<KnownDevice> known;
        WatchStep step;
        for (const std::vector<FoundDevice> &found : c.searches)
        {
            step = NextWatchStep(known, found);
            known = step.known;
        }
        EXPECT_EQ(Describe(step.changes), c.lastChanges);
    }
}

TEST(NextWatchStep, KnownDevicesStayBoundedOverManySearches)
{
    std::vector<KnownDevice> known;
    for (int i = 0; i < 1000; ++i)
        known = NextWatchStep(known, {Device("D" + std::to_string(i % 50), "10.0.1." + std::to_string(i % 7))}).known;
    EXPECT_LE(known.size(), static_cast<std::size_t>(kMissedSearchesForGone));
}

} // namespace
