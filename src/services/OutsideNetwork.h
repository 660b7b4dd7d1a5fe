#pragma once

// A device that answers the search from outside the network of the interface it answered on: this computer
// usually cannot reach its web page or volumes until its LAN settings move it.

#include <string>

namespace izuzez::services
{

// The network ("10.0.0.0/24") of the local interface when the device's address lies outside it; empty when
// it lies inside, or when an address or the prefix (-1: unknown) cannot be read.
std::string OutsideNetwork(const std::string &deviceIp, const std::string &localIp, int prefix);

// The note the device's row adds to its tooltip, for a non-empty OutsideNetwork.
std::string OutsideNetworkNote(const std::string &network);

} // namespace izuzez::services
