#pragma once

#include <functional>
#include <memory>
#include <string>

#include "services/DeviceSession.h"

namespace izuzez::services
{

// The session with every search's devices written to the device cache (for wake). A cache that cannot be
// read or written is handed to `warn` once; the search's result is never touched.
std::unique_ptr<DeviceSession> RememberSearches(std::unique_ptr<DeviceSession> session,
                                                std::function<void(const std::string &)> warn);

} // namespace izuzez::services
