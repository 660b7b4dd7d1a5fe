#include "protocol/SearchTally.h"

#include "protocol/Packets.h"

void SearchTally::Count(SearchDatagram kind)
{
    switch (kind)
    {
    case SearchDatagram::Accepted:
        ++accepted;
        break;
    case SearchDatagram::Repeated:
        ++repeated;
        break;
    case SearchDatagram::Filtered:
        ++filtered;
        break;
    case SearchDatagram::ForeignClient:
        ++foreignClient;
        break;
    case SearchDatagram::OtherKind:
        ++otherKind;
        break;
    case SearchDatagram::Malformed:
        ++malformed;
        break;
    case SearchDatagram::Oversize:
        ++oversize;
        break;
    }
}

int SearchTally::Total() const
{
    return accepted + repeated + filtered + foreignClient + otherKind + malformed + oversize;
}

SearchDatagram ClassifySearchDatagram(const std::uint8_t *datagram, std::size_t length, int classFilter, int typeFilter,
                                      bool alreadyListed, SearchReply *parsed)
{
    if (length == 0)
        return SearchDatagram::Malformed;
    const std::uint8_t opcode = datagram[0];
    if (opcode != kOpBasicSearchReply && opcode != kOpFilteredSearchReply && opcode != kOpFullSearchReply)
        return SearchDatagram::OtherKind;
    SearchReply reply;
    if (!ParseSearchReply(datagram, length, reply))
        return SearchDatagram::Malformed;
    if (!IsOwnReply(datagram, length))
        return SearchDatagram::ForeignClient;
    if (opcode != kOpBasicSearchReply &&
        ((classFilter != 0 && reply.classByte != classFilter) || (typeFilter != 0 && reply.typeByte != typeFilter)))
        return SearchDatagram::Filtered;
    if (parsed != nullptr)
        *parsed = reply;
    return alreadyListed ? SearchDatagram::Repeated : SearchDatagram::Accepted;
}

namespace
{
std::uint32_t PrefixMask(int prefix)
{
    if (prefix <= 0)
        return 0;
    if (prefix >= 32)
        return 0xFFFFFFFFu;
    return ~((1u << (32 - prefix)) - 1);
}
} // namespace

bool InSameSubnet(std::uint32_t a, std::uint32_t b, int prefix)
{
    const std::uint32_t mask = PrefixMask(prefix);
    return (a & mask) == (b & mask);
}

std::string NetworkText(std::uint32_t address, int prefix)
{
    const std::uint32_t network = address & PrefixMask(prefix);
    return std::to_string(network >> 24) + "." + std::to_string((network >> 16) & 0xFF) + "." +
           std::to_string((network >> 8) & 0xFF) + "." + std::to_string(network & 0xFF) + "/" + std::to_string(prefix);
}
