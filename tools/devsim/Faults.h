#pragma once

#include "Device.h"

#include <span>
#include <string>
#include <vector>

namespace izuzez::devsim
{

struct Labelled
{
    Bytes bytes;
    std::string note;
};

// The ClientId a reply carries under the device's faults: echoed, or changed so that the program
// must (bytes 1-6) or must not (bytes 7-10) reject it.
ClientId ReplyClientId(const Faults &faults, const ClientId &requested);

// Broken variants of a search reply of `kind`, one per entry of faults.malformed.
std::vector<Labelled> MalformedSearchReplies(int kind, const ClientId &clientId, const SearchReplyFields &fields,
                                             const Faults &faults);

// Broken variants of a query or setting reply; only Short and Oversize apply to those.
std::vector<Labelled> MalformedHeaderReplies(const Bytes &valid, ReplyClass replyClass, const Faults &faults);

// `flood.count` datagrams of `flood.opcode` with a ClientId that is not the asker's; each carries the
// delay at which it goes out.
std::vector<std::pair<Labelled, int>> FloodDatagrams(const Flood &flood, const ClientId &requested, const Uuid &uuid);

bool AppliesTo(const std::vector<ReplyClass> &classes, ReplyClass replyClass);

} // namespace izuzez::devsim
