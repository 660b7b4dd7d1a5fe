#pragma once

#include <memory>
#include <string>
#include <vector>

#include "services/DeviceSession.h"

namespace izuzez::services
{

// The session over the protocol layer. Opens its endpoints, limited to the given local addresses when any
// are given; `missing` receives the given addresses that are not local.
std::unique_ptr<DeviceSession> OpenProtocolSession(const std::vector<std::string> &interfaces, bool verbose,
                                                   std::vector<std::string> &missing);

} // namespace izuzez::services
