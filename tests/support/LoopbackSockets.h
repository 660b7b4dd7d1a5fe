#pragma once

// Plain UDP sockets on 127.0.0.1 and the group over it, for tests that stand in for a device or for the
// program. The port and group are written out: support code never borrows the program's constants.
#include <chrono>
#include <ctime>
#include <optional>

#include "support/Wire.h"

namespace izuzez::test
{

inline constexpr const char *kGroup = "224.0.0.1";
inline constexpr unsigned short kPort = 13579;

// A socket that sends from 127.0.0.1 (to the group too); -1 on failure.
int LoopbackSender();
// A socket bound to the group's port (shared with others) that receives the group on 127.0.0.1 only and
// sends through it. -1 when the host does not allow it.
int JoinGroupOnLoopback();
// Binds a socket to `address`:13579, sharing the port only with `reuse`, as a program that does or does not
// expect to share it would. -1 on failure.
int HoldPort(const char *address, bool reuse);

// Sends to 224.0.0.1:13579 or 127.0.0.1:13579 through `fd` (one that sends through 127.0.0.1); false unless
// the whole datagram went.
bool SendToGroup(int fd, const Bytes &datagram);
bool SendToUnicast(int fd, const Bytes &datagram);

// The next datagram within `limit`; nothing when none came.
std::optional<Bytes> Receive(int fd, std::chrono::milliseconds limit);
// Reads (without waiting) the next datagram on `fd`, a socket with SO_TIMESTAMPNS on, and returns the time the
// kernel stamped it with; nothing when none waits or it carries no stamp.
std::optional<timespec> ReceiveArrivalStamp(int fd);

} // namespace izuzez::test
