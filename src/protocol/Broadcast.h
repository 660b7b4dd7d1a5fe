#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The broadcast address of a local address and its prefix ("10.0.0.255" for 10.0.0.5/24); the limited
// broadcast 255.255.255.255 when the prefix is unknown (-1) or leaves no host bits.
std::string BroadcastAddress(const std::string &localAddress, int prefix);

// Sends one UDP datagram from localAddress to broadcast:port with SO_BROADCAST. Empty on success, otherwise
// the reason in plain words.
std::string SendBroadcast(const std::string &localAddress, const std::string &broadcast, int port,
                          const std::uint8_t *data, std::size_t size);
