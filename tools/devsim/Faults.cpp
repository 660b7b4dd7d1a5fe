#include "Faults.h"

#include <algorithm>

namespace izuzez::devsim
{
namespace
{

constexpr std::size_t kOversizeLength = 5000;
constexpr std::size_t kOverlongName = 300;

std::string PadTo(std::string text, std::size_t size, char filler)
{
    text.resize(size, filler);
    return text;
}

std::size_t DefaultShortLength(ReplyClass replyClass)
{
    switch (replyClass)
    {
    case ReplyClass::Search:
        return 40; // ends inside the netmask text
    case ReplyClass::Query:
        return 20; // ends inside the uuid, before the address is complete
    case ReplyClass::Setting:
        return 16;
    }
    return 16;
}

Bytes Cut(Bytes bytes, std::size_t length)
{
    bytes.resize(std::min(bytes.size(), length));
    return bytes;
}

} // namespace

bool AppliesTo(const std::vector<ReplyClass> &classes, ReplyClass replyClass)
{
    return std::find(classes.begin(), classes.end(), replyClass) != classes.end();
}

ClientId ReplyClientId(const Faults &faults, const ClientId &requested)
{
    ClientId id = requested;
    if (faults.foreignClientId)
        for (std::size_t i = 0; i < 6; ++i)
            id[i] = static_cast<std::uint8_t>(~id[i]);
    if (faults.clientIdTail)
        for (std::size_t i = 6; i < id.size(); ++i)
            id[i] = static_cast<std::uint8_t>(id[i] ^ 0xA5);
    return id;
}

std::vector<Labelled> MalformedSearchReplies(int kind, const ClientId &clientId, const SearchReplyFields &fields,
                                             const Faults &faults)
{
    std::vector<Labelled> out;
    const std::size_t lengthOffset = NameLengthOffset(kind);
    if (lengthOffset == 0)
        return out;
    for (const Malformed variant : faults.malformed)
    {
        SearchReplyFields broken = fields;
        switch (variant)
        {
        case Malformed::NamePastEnd:
        {
            Bytes bytes = EncodeSearchReply(kind, clientId, fields);
            PutU32(bytes, lengthOffset, static_cast<std::uint32_t>(fields.name.size() + 64));
            out.push_back({std::move(bytes), "malformed:name_past_end"});
            break;
        }
        case Malformed::NameOver255:
            broken.name = PadTo(fields.name, kOverlongName, 'N');
            out.push_back({EncodeSearchReply(kind, clientId, broken), "malformed:name_over_255"});
            break;
        case Malformed::Unterminated:
            broken.netmask = PadTo(fields.netmask, kAddressTextField, '#');
            broken.gateway = PadTo(fields.gateway, kAddressTextField, '#');
            broken.product.model = PadTo(fields.product.model, kLongTextField, '#');
            broken.product.mac = PadTo(fields.product.mac, kLongTextField, '#');
            broken.product.hwVersion = PadTo(fields.product.hwVersion, kLongTextField, '#');
            broken.product.swVersion = PadTo(fields.product.swVersion, kLongTextField, '#');
            out.push_back({EncodeSearchReply(kind, clientId, broken), "malformed:unterminated"});
            break;
        case Malformed::Short:
        {
            const std::size_t length = faults.shortLength ? faults.shortLength : DefaultShortLength(ReplyClass::Search);
            out.push_back({Cut(EncodeSearchReply(kind, clientId, fields), length), "malformed:short"});
            break;
        }
        case Malformed::Oversize:
            broken.name = PadTo(fields.name, kOversizeLength, 'O');
            out.push_back({EncodeSearchReply(kind, clientId, broken), "malformed:oversize"});
            break;
        }
    }
    return out;
}

std::vector<Labelled> MalformedHeaderReplies(const Bytes &valid, ReplyClass replyClass, const Faults &faults)
{
    std::vector<Labelled> out;
    for (const Malformed variant : faults.malformed)
    {
        if (variant == Malformed::Short)
        {
            const std::size_t length = faults.shortLength ? faults.shortLength : DefaultShortLength(replyClass);
            out.push_back({Cut(valid, length), "malformed:short"});
        }
        else if (variant == Malformed::Oversize)
        {
            Bytes bytes = valid;
            bytes.resize(kOversizeLength, 'O');
            out.push_back({std::move(bytes), "malformed:oversize"});
        }
    }
    return out;
}

std::vector<std::pair<Labelled, int>> FloodDatagrams(const Flood &flood, const ClientId &requested, const Uuid &uuid)
{
    std::vector<std::pair<Labelled, int>> out;
    Faults foreign;
    foreign.foreignClientId = true;
    const ClientId clientId = ReplyClientId(foreign, requested);
    for (int i = 0; i < flood.count; ++i)
    {
        Bytes bytes;
        if (NameLengthOffset(flood.opcode) != 0)
        {
            SearchReplyFields fields;
            fields.uuid = uuid;
            fields.netmask = "255.255.255.0";
            fields.name = "flood-" + std::to_string(i);
            bytes = EncodeSearchReply(flood.opcode, clientId, fields);
        }
        else
        {
            bytes = EncodeSettingReply(clientId, uuid, 0);
            bytes[0] = flood.opcode;
        }
        const int delay =
            flood.count > 1 ? static_cast<int>(static_cast<long long>(flood.spreadMs) * i / flood.count) : 0;
        out.push_back({{std::move(bytes), "flood"}, delay});
    }
    return out;
}

} // namespace izuzez::devsim
