#pragma once

#include <memory>
#include <ostream>

#include "CliOptions.h"

namespace izuzez::cli
{

// The session with every search's devices written to the device cache (for wake). A cache that cannot be
// read or written is said once on `err`; the search's result is never touched.
std::unique_ptr<DeviceSession> RememberSearches(std::unique_ptr<DeviceSession> session, std::ostream &err);

} // namespace izuzez::cli
