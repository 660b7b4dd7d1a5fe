#include "services/OutsideNetwork.h"

#include "protocol/Ipv4Text.h"
#include "protocol/SearchTally.h"

#include <cstdint>

namespace izuzez::services
{

std::string OutsideNetwork(const std::string &deviceIp, const std::string &localIp, int prefix)
{
    std::uint32_t device = 0, own = 0;
    if (prefix < 0 || prefix > 32 || !ParseIpv4(deviceIp, device) || !ParseIpv4(localIp, own) ||
        InSameSubnet(device, own, prefix))
        return {};
    return NetworkText(own, prefix);
}

std::string OutsideNetworkNote(const std::string &network)
{
    return "This address lies outside " + network +
           ", the network of the interface the device answered on, so this computer usually cannot reach its "
           "web page or volumes. Its LAN settings can move it into " +
           network + ".";
}

} // namespace izuzez::services
