#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/ProtocolState.h"

// Opens one sender socket and one receiver pair per local IPv4 address (see LocalInterfaces.h for the table).
// Sockets that fail to set up stay -1; exchanges on that interface then simply time out. Calling it again
// closes the old endpoints first.
void OpenEndpoints();

// Closes every socket; the interface table and ClientId stay as they were.
void CloseEndpoints();

// Sends a datagram from interface i's sender socket to 224.0.0.1:13579, choosing the outgoing interface first.
// Returns false when the send failed (the protocol ignores that; it ends as a timeout).
bool SendToGroup(int interfaceIndex, const std::uint8_t *data, std::size_t length);

// Waits until either socket of the pair is readable, at most `timeout`. True when one is.
bool WaitReadable(const ReceiverSocket &receiver, std::chrono::microseconds timeout);

// Receives one datagram from the pair, without blocking, into a buffer of kPacketBufferSize + 1 bytes and
// appends a NUL: of the datagrams waiting on the two sockets, the one the host received first. Returns its
// length, -1 when nothing could be received, or kOversizeDatagram (-2) when the datagram was longer than
// kPacketBufferSize (it is discarded).
long ReceiveDatagram(const ReceiverSocket &receiver, std::uint8_t *buffer);

// One line for each receiver socket that OpenEndpoints could not set up (for example because another program
// holds port 13579 without address reuse), naming the address and the reason. Empty when all are open. The
// protocol layer prints nothing itself; the caller shows these.
std::vector<std::string> ReceiverWarnings();
