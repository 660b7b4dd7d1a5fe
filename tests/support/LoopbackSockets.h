#pragma once

// Plain UDP sockets on the group over 127.0.0.1, for tests that stand in for a device or for the program.
#include <chrono>
#include <optional>

#include "support/Wire.h"

namespace izuzez::test
{

inline constexpr const char *kGroup = "224.0.0.1";
inline constexpr unsigned short kPort = 13579;

// A socket bound to the group's port (shared with others) that receives the group on 127.0.0.1 only and
// sends through it. -1 when the host does not allow it.
int JoinGroupOnLoopback();
// Sends to the group through `fd` (one that sends through 127.0.0.1).
void SendToGroup(int fd, const Bytes &datagram);
// The same from a socket of its own.
void SendToGroup(const Bytes &datagram);
// The next datagram within `limit`; nothing when none came.
std::optional<Bytes> Receive(int fd, std::chrono::milliseconds limit);

} // namespace izuzez::test
