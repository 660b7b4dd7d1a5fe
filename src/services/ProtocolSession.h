#pragma once

#include <memory>
#include <string>
#include <vector>

#include "services/DeviceSession.h"

namespace izuzez::services
{

struct OpenedSession
{
    std::unique_ptr<DeviceSession> session;
    std::vector<std::string> warnings; // a clash on the port, which would otherwise look like a silent network
    std::vector<std::string> missing;  // the given addresses that are not local
};

// The session over the protocol layer. Opens its endpoints, limited to the given local addresses when any
// are given.
OpenedSession OpenProtocolSession(const std::vector<std::string> &interfaces, bool verbose);

} // namespace izuzez::services
