#pragma once

#include <chrono>
#include <vector>

#include <sys/socket.h>

namespace izuzez::platform
{

struct SocketAddress
{
    sockaddr_storage address{};
    socklen_t length = 0;
};

enum class ConnectResult
{
    Connected, // one address took the connection
    Refused,   // every address refused
    NoAnswer,  // anything else: unreachable, or nothing by the deadline
};

// TCP connections to every address at once, waited for until the first is taken, all have failed, or the
// deadline; each is closed again before the return.
ConnectResult ConnectWithin(const std::vector<SocketAddress> &targets, std::chrono::steady_clock::time_point deadline);

} // namespace izuzez::platform
