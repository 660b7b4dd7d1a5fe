#include "Commands.h"

#include "protocol/LocalInterfaces.h"
#include "protocol/PrintableText.h"
#include "services/WakeOnLan.h"

#include <optional>

namespace izuzez::cli
{

int RunWake(const Options &o, DeviceSession &session, Console &console)
{
    const services::DeviceCacheReading cache = services::ReadDeviceCache(services::DeviceCachePath());
    if (!cache.warning.empty())
        console.err << "izuzez: warning: " << cache.warning << "\n";
    const services::WakeTarget target = services::FindWakeTarget(o.wakeDevice, cache.devices);
    if (target.problem != services::WakeProblem::None)
    {
        console.err << target.message << "\n";
        return target.problem == services::WakeProblem::BadMac ? kExitUsage : kExitDevice;
    }
    const std::string mac = services::MacText(target.mac);
    int sent = 0;
    for (const services::WakeSend &send : services::SendWakePackets(target, ListLocalAddresses(), o.interfaces))
    {
        if (!send.problem.empty())
        {
            console.err << "Cannot send the wake packet from " << send.from << ": " << send.problem << ".\n";
            continue;
        }
        console.out << "Sent the wake packet for " << mac << " to " << send.to << " from " << send.from << ".\n";
        ++sent;
    }
    if (sent == 0)
    {
        console.err << "The wake packet for " << mac << " went out on no interface.\n";
        return kExitDevice;
    }
    if (o.wakeWaitSeconds <= 0)
        return kExitDone;
    if (const std::optional<FoundDevice> woken = services::WaitForWokenDevice(
            target.mac, std::chrono::seconds(o.wakeWaitSeconds), [&session] { return session.Search(); }))
    {
        console.out << PrintableText(woken->name) << " answers at " << PrintableText(woken->ip) << ".\n";
        return kExitDone;
    }
    console.err << "The device " << mac << " did not answer within " << o.wakeWaitSeconds << " s.\n";
    return kExitDevice;
}

} // namespace izuzez::cli
