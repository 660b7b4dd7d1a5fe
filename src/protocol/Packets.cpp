#include "protocol/Packets.h"

#include <cstdio>
#include <cstring>

#include "protocol/DeviceList.h"
#include "protocol/FixedText.h"

namespace
{
void PutUint32(std::uint8_t *at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetUint32(const std::uint8_t *at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// Writes the common header for the selected device; null when it is not listed.
const DeviceRecord *PutHeader(std::uint8_t *buffer, std::uint8_t opcode, int subCommand)
{
    std::memset(buffer, 0, kPacketBufferSize);
    const DeviceRecord *device = FindSelectedDevice();
    if (device == nullptr)
        return nullptr;
    buffer[0] = opcode;
    std::memcpy(buffer + kOffClientId, g_ProtocolState.clientId.data(), kClientIdSize);
    std::memcpy(buffer + kOffUuid, device->server_uuid, kUuidSize);
    buffer[kOffSubCommand] = static_cast<std::uint8_t>(subCommand);
    return device;
}

std::size_t PutBytes(std::uint8_t *at, std::size_t room, std::string_view text)
{
    const std::size_t n = text.size() < room ? text.size() : room;
    if (n > 0)
        std::memcpy(at, text.data(), n);
    return n;
}

// A fixed text field of a reply, cut at its size - 1 when the terminator is missing.
template <std::size_t N> void TakeFixedText(const std::uint8_t *field, char (&out)[N])
{
    const char *text = reinterpret_cast<const char *>(field);
    CopyText(out, std::string_view(text, strnlen(text, N - 1)));
}

// A length-prefixed name, cut to the bytes received and to 255.
void TakeName(const std::uint8_t *datagram, std::size_t length, std::size_t lengthOffset, char (&out)[256])
{
    const std::size_t available = length - (lengthOffset + 4);
    std::size_t n = GetUint32(datagram + lengthOffset);
    if (n > available)
        n = available;
    if (n > kNameCapacity)
        n = kNameCapacity;
    // The name carries no terminator, but a NUL inside it ends the text as the record would show it.
    const char *text = reinterpret_cast<const char *>(datagram + lengthOffset + 4);
    CopyText(out, std::string_view(text, strnlen(text, n)));
}
} // namespace

int BuildSearchRequest(std::uint8_t *buffer)
{
    std::memset(buffer, 0, kPacketBufferSize);
    buffer[0] = kOpSearchRequest;
    std::memcpy(buffer + kOffClientId, g_ProtocolState.clientId.data(), kClientIdSize);
    return static_cast<int>(kSearchRequestSize);
}

int BuildPasswordCheck(std::uint8_t *buffer)
{
    if (PutHeader(buffer, kOpQueryRequest, kQueryPasswordCheck) == nullptr)
        return 0;
    std::size_t at = kOffQueryPayload;
    at +=
        PutBytes(buffer + at, kPacketBufferSize - at, FieldText(g_ProtocolState.userName).substr(0, kCredentialLength));
    buffer[at++] = kPasswordMarker[0];
    buffer[at++] = kPasswordMarker[1];
    at +=
        PutBytes(buffer + at, kPacketBufferSize - at, FieldText(g_ProtocolState.password).substr(0, kCredentialLength));
    PutUint32(buffer + kOffQueryLength, static_cast<std::uint32_t>(at - kOffQueryPayload));
    return static_cast<int>(at);
}

int BuildQuery(std::uint8_t *buffer, int subCommand)
{
    if (PutHeader(buffer, kOpQueryRequest, subCommand) == nullptr)
        return 0;
    return static_cast<int>(kOffQueryPayload);
}

int BuildDhcpRequest(std::uint8_t *buffer)
{
    if (PutHeader(buffer, kOpSettingRequest, kSetDhcp) == nullptr)
        return 0;
    return static_cast<int>(kOffSettingPayload);
}

int BuildSetting(std::uint8_t *buffer, int subCommand, std::string_view payloadText)
{
    if (subCommand == kSetDhcp)
        return BuildDhcpRequest(buffer);
    if (PutHeader(buffer, kOpSettingRequest, subCommand) == nullptr)
        return 0;
    PutBytes(buffer + kOffNetmask, 16, FieldText(g_ProtocolState.newNetmask));
    PutBytes(buffer + kOffGateway, 16, FieldText(g_ProtocolState.newGateway));
    const std::size_t n = PutBytes(buffer + kOffSettingPayload, kPacketBufferSize - kOffSettingPayload, payloadText);
    PutUint32(buffer + kOffSettingLength, static_cast<std::uint32_t>(n));
    return static_cast<int>(kOffSettingPayload + n);
}

bool IsOwnReply(const std::uint8_t *datagram, std::size_t length)
{
    return length >= kOffClientId + 6 && std::memcmp(datagram + kOffClientId, g_ProtocolState.clientId.data(), 6) == 0;
}

bool ReplyAddressText(const std::uint8_t *datagram, std::size_t length, char (&text)[16])
{
    std::memset(text, 0, sizeof text);
    if (length < kAddressEnd)
        return false;
    const std::uint8_t *a = datagram + kOffAddress;
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", a[0], a[1], a[2], a[3]);
    return true;
}

bool ParseSearchReply(const std::uint8_t *datagram, std::size_t length, SearchReply &reply)
{
    reply = SearchReply{};
    if (length == 0)
        return false;
    const std::uint8_t opcode = datagram[0];
    std::size_t nameLengthOffset = 0;
    switch (opcode)
    {
    case kOpBasicSearchReply:
        nameLengthOffset = kOffBasicNameLength;
        break;
    case kOpFilteredSearchReply:
        nameLengthOffset = kOffFilteredNameLength;
        break;
    case kOpFullSearchReply:
        nameLengthOffset = kOffFullNameLength;
        break;
    default:
        return false;
    }
    if (length < nameLengthOffset + 4)
        return false;

    reply.opcode = opcode;
    ReplyAddressText(datagram, length, reply.ip);
    std::memcpy(reply.uuid, datagram + kOffUuid, kUuidSize);
    reply.dhcp = static_cast<char>(datagram[kOffDhcpFlag]);
    TakeFixedText(datagram + kOffNetmask, reply.mask);
    TakeFixedText(datagram + kOffGateway, reply.gateway);
    if (opcode != kOpBasicSearchReply)
    {
        reply.classByte = datagram[kOffClassByte];
        reply.typeByte = datagram[kOffTypeByte];
    }
    if (opcode == kOpFullSearchReply)
    {
        TakeFixedText(datagram + kOffModel, reply.model);
        TakeFixedText(datagram + kOffMac, reply.mac);
        TakeFixedText(datagram + kOffHwVersion, reply.hwVersion);
        TakeFixedText(datagram + kOffSwVersion, reply.swVersion);
    }
    TakeName(datagram, length, nameLengthOffset, reply.name);
    return true;
}

bool QueryReplyText(const std::uint8_t *datagram, std::size_t length, std::string_view &text)
{
    text = {};
    if (length < kOffQueryPayload)
        return false;
    const char *start = reinterpret_cast<const char *>(datagram + kOffQueryPayload);
    text = std::string_view(start, strnlen(start, length - kOffQueryPayload));
    return true;
}
