#pragma once

#include "Simulator.h"

#include <cstdint>
#include <span>
#include <string>

namespace izuzez::devsim
{

// Local wall-clock time as 2024-05-01T12:34:56.789.
std::string LogTimestamp();

// One line (no newline) describing a received datagram byte for byte:
// recv t=... from=ADDR:PORT on=LISTEN len=N op=N sub=N|- cid=HEX uuid=HEX|- payload_len=N
//   payload_hex=HEX payload_text="..." [error="..."] hex=HEX
std::string FormatRequestLine(const std::string &time, const Ipv4 &source, std::uint16_t port,
                              const std::string &listen, std::span<const std::uint8_t> datagram);

// send t=... device="NAME" to=ADDR:PORT via=LISTEN note=... len=N op=N hex=HEX
std::string FormatSendLine(const std::string &time, const Outgoing &outgoing, std::uint16_t port);

} // namespace izuzez::devsim
