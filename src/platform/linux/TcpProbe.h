#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace izuzez::platform
{

enum class ProbeResult
{
    Answered,    // a port took the connection
    Refused,     // the host is there, but every port refused
    NoAnswer,    // nothing within the window: the host is absent, or the network not up yet
    NotAnAddress // a name, not a numeric address: left to whoever resolves it
};

// Tries TCP connections to every port at once, again and again while the network says "unreachable" (a
// network still coming up), until one is taken or the window ends. Numeric addresses only: a name would
// have to be resolved, and a resolver may wait longer than the window.
ProbeResult ProbeTcp(const std::string &host, const std::vector<std::uint16_t> &ports,
                     std::chrono::milliseconds window);

} // namespace izuzez::platform
