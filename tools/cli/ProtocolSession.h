#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DeviceSession.h"

namespace izuzez::cli
{

// The session over the protocol layer. Opens its endpoints, limited to the given local addresses when any
// are given; `missing` receives the given addresses that are not local.
std::unique_ptr<DeviceSession> OpenProtocolSession(const std::vector<std::string> &interfaces, bool verbose,
                                                   std::vector<std::string> &missing);

} // namespace izuzez::cli
