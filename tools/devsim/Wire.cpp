#include "Wire.h"

#include "protocol/HexDigit.h"
#include "protocol/Ipv4Text.h"

#include <algorithm>

namespace izuzez::devsim
{
namespace
{

void PutText(Bytes &buffer, std::size_t offset, std::size_t field, std::string_view text)
{
    const std::size_t n = std::min(field, text.size());
    std::copy_n(text.begin(), n, buffer.begin() + static_cast<std::ptrdiff_t>(offset));
}

void PutHeader(Bytes &buffer, std::uint8_t opcode, const ClientId &clientId, const Uuid &uuid)
{
    buffer[0] = opcode;
    std::copy(clientId.begin(), clientId.end(), buffer.begin() + 1);
    std::copy(uuid.begin(), uuid.end(), buffer.begin() + kUuidOffset);
}

void PutName(Bytes &buffer, std::size_t lengthOffset, std::string_view name)
{
    PutU32(buffer, lengthOffset, static_cast<std::uint32_t>(name.size()));
    buffer.insert(buffer.end(), name.begin(), name.end());
}

} // namespace

DecodeResult DecodeRequest(std::span<const std::uint8_t> datagram)
{
    DecodeResult result;
    if (datagram.empty())
    {
        result.error = "empty datagram";
        return result;
    }
    Request request;
    request.opcode = datagram[0];
    if (request.opcode != kSearchRequest && request.opcode != kQueryRequest && request.opcode != kSettingRequest)
    {
        result.error = "not a request opcode";
        return result;
    }
    if (datagram.size() < kSearchRequestLength)
    {
        result.error = "shorter than 11 bytes";
        return result;
    }
    std::copy_n(datagram.begin() + 1, request.clientId.size(), request.clientId.begin());
    if (request.opcode == kSearchRequest)
    {
        result.request = std::move(request);
        return result;
    }
    const std::size_t header = request.opcode == kQueryRequest ? kQueryHeaderLength : kSettingHeaderLength;
    if (datagram.size() < header)
    {
        result.error = "shorter than its " + std::to_string(header) + "-byte header";
        return result;
    }
    Uuid uuid{};
    std::copy_n(datagram.begin() + kUuidOffset, uuid.size(), uuid.begin());
    request.uuid = uuid;
    request.subCommand = datagram[kSubCommandOffset];
    if (request.opcode == kSettingRequest)
    {
        request.netmask = FieldText(datagram, kNetmaskOffset, kAddressTextField);
        request.gateway = FieldText(datagram, kGatewayOffset, kAddressTextField);
    }
    request.declaredPayloadLength = GetU32(datagram, header - 4);
    const std::size_t available = datagram.size() - header;
    const std::size_t taken = std::min<std::size_t>(available, request.declaredPayloadLength);
    request.payloadTruncated = taken < request.declaredPayloadLength;
    request.payload.assign(datagram.begin() + static_cast<std::ptrdiff_t>(header),
                           datagram.begin() + static_cast<std::ptrdiff_t>(header + taken));
    result.request = std::move(request);
    return result;
}

std::size_t NameLengthOffset(int kind)
{
    switch (kind)
    {
    case kBasicSearchReply:
        return 56;
    case kFilteredSearchReply:
        return 68;
    case kFullSearchReply:
        return 324;
    default:
        return 0;
    }
}

Bytes EncodeSearchReply(int kind, const ClientId &clientId, const SearchReplyFields &fields)
{
    const std::size_t lengthOffset = NameLengthOffset(kind);
    if (lengthOffset == 0)
        return {};
    Bytes buffer(lengthOffset + 4, 0);
    PutHeader(buffer, static_cast<std::uint8_t>(kind), clientId, fields.uuid);
    buffer[kSubCommandOffset] = static_cast<std::uint8_t>(fields.dhcp);
    PutText(buffer, kNetmaskOffset, kAddressTextField, fields.netmask);
    PutText(buffer, kGatewayOffset, kAddressTextField, fields.gateway);
    if (kind != kBasicSearchReply)
    {
        buffer[56] = fields.product.classByte;
        buffer[57] = fields.product.typeByte;
    }
    if (kind == kFullSearchReply)
    {
        PutText(buffer, 68, kLongTextField, fields.product.model);
        PutText(buffer, 132, kLongTextField, fields.product.mac);
        PutText(buffer, 196, kLongTextField, fields.product.hwVersion);
        PutText(buffer, 260, kLongTextField, fields.product.swVersion);
    }
    PutName(buffer, lengthOffset, fields.name);
    return buffer;
}

Bytes EncodeQueryReply(const ClientId &clientId, const Uuid &uuid, std::uint8_t subCommand,
                       std::span<const std::uint8_t> answer)
{
    // The answer runs to the end of the datagram without a terminator: the reader appends one.
    Bytes buffer(kQueryHeaderLength, 0);
    PutHeader(buffer, kQueryReply, clientId, uuid);
    buffer[kSubCommandOffset] = subCommand;
    buffer.insert(buffer.end(), answer.begin(), answer.end());
    return buffer;
}

Bytes EncodeSettingReply(const ClientId &clientId, const Uuid &uuid, std::uint8_t subCommand)
{
    Bytes buffer(kCommonHeaderLength, 0);
    PutHeader(buffer, kSettingReply, clientId, uuid);
    buffer[kSubCommandOffset] = subCommand;
    return buffer;
}

void PutU32(Bytes &buffer, std::size_t offset, std::uint32_t value)
{
    if (buffer.size() < offset + 4)
        buffer.resize(offset + 4, 0);
    for (std::size_t i = 0; i < 4; ++i)
        buffer[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(std::span<const std::uint8_t> data, std::size_t offset)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && offset + i < data.size(); ++i)
        value |= static_cast<std::uint32_t>(data[offset + i]) << (8 * i);
    return value;
}

std::string FieldText(std::span<const std::uint8_t> data, std::size_t offset, std::size_t size)
{
    std::string text;
    for (std::size_t i = offset; i < offset + size && i < data.size() && data[i] != 0; ++i)
        text.push_back(static_cast<char>(data[i]));
    return text;
}

std::optional<Ipv4> ParseIpv4(std::string_view text)
{
    const Ipv4Reading reading = ReadIpv4(text);
    if (reading.verdict != Ipv4Verdict::Address)
        return std::nullopt;
    Ipv4 address{};
    for (std::size_t i = 0; i < address.size(); ++i)
        address[i] = static_cast<std::uint8_t>(reading.octets[i]);
    return address;
}

std::string FormatIpv4(const Ipv4 &address)
{
    return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." + std::to_string(address[2]) + "." +
           std::to_string(address[3]);
}

Uuid MakeUuid(const std::array<std::uint8_t, 6> &prefix, const Ipv4 &address)
{
    Uuid uuid{};
    std::copy(prefix.begin(), prefix.end(), uuid.begin());
    std::copy(address.begin(), address.end(), uuid.begin() + 6);
    return uuid;
}

std::string ToHex(std::span<const std::uint8_t> data)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(data.size() * 2);
    for (const std::uint8_t byte : data)
    {
        text.push_back(digits[byte >> 4]);
        text.push_back(digits[byte & 0x0f]);
    }
    return text;
}

std::optional<Bytes> FromHex(std::string_view text)
{
    Bytes bytes;
    std::string digits;
    for (const char c : text)
        if (c != ':' && c != '-' && c != ' ')
            digits.push_back(c);
    if (digits.size() % 2 != 0)
        return std::nullopt;
    for (std::size_t i = 0; i < digits.size(); i += 2)
    {
        const int high = HexDigitValue(digits[i]);
        const int low = HexDigitValue(digits[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::string ToPrintable(std::span<const std::uint8_t> data)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : data)
    {
        if (byte == '"' || byte == '\\')
        {
            text.push_back('\\');
            text.push_back(static_cast<char>(byte));
        }
        else if (byte >= 0x20 && byte < 0x7f)
            text.push_back(static_cast<char>(byte));
        else
        {
            text += "\\x";
            text.push_back(digits[byte >> 4]);
            text.push_back(digits[byte & 0x0f]);
        }
    }
    return text;
}

} // namespace izuzez::devsim
