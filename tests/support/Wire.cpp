#include "support/Wire.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace izuzez::test
{
namespace
{

void AppendField(Bytes &out, const std::string &text, std::size_t field)
{
    const std::size_t kept = std::min(text.size(), field);
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(kept));
    out.insert(out.end(), field - kept, 0);
}

void PutText(Bytes &bytes, std::size_t at, std::size_t size, const std::string &text)
{
    std::copy_n(text.begin(), std::min(size, text.size()), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

void AppendLe32(Bytes &out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutLe32(Bytes &out, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        out.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

// Opcode, ClientId, a uuid of six fixed bytes and the device's address, zeros to `size`.
Bytes ReplyHeader(std::uint8_t opcode, const ClientIdBytes &clientId, Address address, std::size_t size)
{
    Bytes bytes(size, 0);
    bytes[0] = opcode;
    std::copy(clientId.begin(), clientId.end(), bytes.begin() + 1);
    for (std::size_t i = 0; i < 6; ++i)
        bytes[11 + i] = static_cast<std::uint8_t>(0xA0 + i);
    std::copy(address.begin(), address.end(), bytes.begin() + 17);
    return bytes;
}

} // namespace

std::uint32_t Le32(const std::uint8_t *at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

std::uint32_t Le32(const Bytes &data, std::size_t offset)
{
    if (offset + 4 > data.size())
        throw std::out_of_range("Le32 past the datagram");
    return Le32(data.data() + offset);
}

std::string TextAt(const Bytes &data, std::size_t offset, std::size_t size)
{
    std::string text;
    for (std::size_t i = offset; i < offset + size && i < data.size() && data[i] != 0; ++i)
        text.push_back(static_cast<char>(data[i]));
    return text;
}

Bytes Slice(const Bytes &data, std::size_t offset, std::size_t size)
{
    if (offset + size > data.size())
        throw std::out_of_range("Slice past the datagram");
    return Bytes(data.begin() + static_cast<std::ptrdiff_t>(offset),
                 data.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

std::string Hex(const Bytes &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : bytes)
    {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

Bytes SearchRequest(const Bytes &clientId)
{
    Bytes out{1};
    out.insert(out.end(), clientId.begin(), clientId.end());
    return out;
}

Bytes QueryRequest(const Bytes &clientId, const Bytes &uuid, std::uint8_t sub, const std::string &payload)
{
    Bytes out{3};
    out.insert(out.end(), clientId.begin(), clientId.end());
    out.insert(out.end(), uuid.begin(), uuid.end());
    out.insert(out.end(), {sub, 0, 0});
    AppendLe32(out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes SettingRequest(const Bytes &clientId, const Bytes &uuid, std::uint8_t sub, const std::string &netmask,
                     const std::string &gateway, const std::string &payload)
{
    Bytes out{5};
    out.insert(out.end(), clientId.begin(), clientId.end());
    out.insert(out.end(), uuid.begin(), uuid.end());
    out.insert(out.end(), {sub, 0, 0});
    AppendField(out, netmask, 16);
    AppendField(out, gateway, 16);
    AppendLe32(out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes MakeSearchReply(const ReplyFields &fields)
{
    const std::size_t lengthAt = fields.opcode == 2 ? 56 : fields.opcode == 7 ? 68 : 324;
    Bytes bytes = ReplyHeader(fields.opcode, fields.clientId, fields.address, lengthAt + 4);
    bytes[21] = static_cast<std::uint8_t>(fields.dhcp);
    PutText(bytes, 24, 16, fields.mask);
    PutText(bytes, 40, 16, fields.gateway);
    if (fields.opcode != 2)
    {
        bytes[56] = fields.classByte;
        bytes[57] = fields.typeByte;
    }
    if (fields.opcode == 8)
    {
        PutText(bytes, 68, 64, fields.model);
        PutText(bytes, 132, 64, fields.mac);
        PutText(bytes, 196, 64, fields.hwVersion);
        PutText(bytes, 260, 64, fields.swVersion);
    }
    PutLe32(bytes, lengthAt,
            fields.nameLength == UINT32_MAX ? static_cast<std::uint32_t>(fields.name.size()) : fields.nameLength);
    bytes.insert(bytes.end(), fields.name.begin(), fields.name.end());
    return bytes;
}

Bytes MakeQueryReply(const ClientIdBytes &clientId, Address address, const std::string &text)
{
    Bytes bytes = ReplyHeader(4, clientId, address, 28);
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

Bytes MakeSettingReply(const ClientIdBytes &clientId, Address address)
{
    return ReplyHeader(6, clientId, address, 24);
}

ExactDatagram::ExactDatagram(const Bytes &bytes) : ExactDatagram(bytes, bytes.size()) {}

ExactDatagram::ExactDatagram(const Bytes &bytes, std::size_t length) : m_bytes(new std::uint8_t[length]), m_size(length)
{
    if (length > bytes.size())
        throw std::out_of_range("ExactDatagram longer than its bytes");
    std::copy_n(bytes.begin(), length, m_bytes.get());
}

} // namespace izuzez::test
