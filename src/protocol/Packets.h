#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "protocol/ProtocolState.h"

// Wire format of the device protocol. Integers are 32-bit little-endian; addresses first octet first.

enum Opcode : std::uint8_t
{
    kOpSearchRequest = 1,
    kOpBasicSearchReply = 2,
    kOpQueryRequest = 3,
    kOpQueryReply = 4,
    kOpSettingRequest = 5,
    kOpSettingReply = 6,
    kOpFilteredSearchReply = 7,
    kOpFullSearchReply = 8,
};

enum QuerySubCommand : int
{
    kQueryShareList = 3,
    kQueryPasswordCheck = 4,
    kQueryWorkgroup = 6,
    kQueryCodepage = 9,
    kQueryIdeok = 11,
    kQueryShareName = 12,
    kQueryBtFirmware = 15,
    kQueryDomain = 18,
    kQuerySsl = 19,
};

enum SettingSubCommand : int
{
    kSetStaticAddress = 1,
    kSetDhcp = 2,
    kSetSetting5 = 5,
    kSetWorkgroup = 7,
    kSetCodepage = 8,
    kSetAccessMode = 10,
    kSetStop = 13,
    kSetInstalled = 14,
};

// Offsets of the common header and the reply layouts.
inline constexpr std::size_t kOffClientId = 1;
inline constexpr std::size_t kOffUuid = 11;
inline constexpr std::size_t kOffAddress = 17; // last four bytes of the uuid
inline constexpr std::size_t kOffSubCommand = 21;
inline constexpr std::size_t kOffDhcpFlag = 21;
inline constexpr std::size_t kOffQueryLength = 24;
inline constexpr std::size_t kOffQueryPayload = 28;
inline constexpr std::size_t kOffNetmask = 24;
inline constexpr std::size_t kOffGateway = 40;
inline constexpr std::size_t kOffSettingLength = 56;
inline constexpr std::size_t kOffSettingPayload = 60;
inline constexpr std::size_t kOffBasicNameLength = 56;
inline constexpr std::size_t kOffBasicName = 60;
inline constexpr std::size_t kOffClassByte = 56;
inline constexpr std::size_t kOffTypeByte = 57;
inline constexpr std::size_t kOffFilteredNameLength = 68;
inline constexpr std::size_t kOffFilteredName = 72;
inline constexpr std::size_t kOffModel = 68;
inline constexpr std::size_t kOffMac = 132;
inline constexpr std::size_t kOffHwVersion = 196;
inline constexpr std::size_t kOffSwVersion = 260;
inline constexpr std::size_t kOffFullNameLength = 324;
inline constexpr std::size_t kOffFullName = 328;
inline constexpr std::size_t kSearchRequestSize = 11;
inline constexpr std::size_t kAddressEnd = 21; // a reply must reach this far to carry its address
inline constexpr std::uint8_t kPasswordMarker[2] = {0x55, 0xAA};

// Builders: each zero-fills `buffer` (kPacketBufferSize bytes) and returns the datagram length, or 0 when the
// device whose server_ip equals g_ProtocolState.selectedIp is not in the device list.
int BuildSearchRequest(std::uint8_t *buffer);
int BuildPasswordCheck(std::uint8_t *buffer);
int BuildQuery(std::uint8_t *buffer, int subCommand);
int BuildDhcpRequest(std::uint8_t *buffer);
// The payload is cut where it would not fit the buffer.
int BuildSetting(std::uint8_t *buffer, int subCommand, std::string_view payloadText);

// True when bytes 1..6 of the datagram equal the random part of this instance's ClientId; bytes 7..10 are
// not compared. False for datagrams too short to hold them.
bool IsOwnReply(const std::uint8_t *datagram, std::size_t length);

// The reply's address (bytes 17..20) as "%d.%d.%d.%d" into a 16-byte field. False (field emptied) when the
// datagram is shorter than 21 bytes.
bool ReplyAddressText(const std::uint8_t *datagram, std::size_t length, char (&text)[16]);

// A search reply (opcode 2, 7 or 8) taken apart. Texts are always terminated within their fields.
struct SearchReply
{
    std::uint8_t opcode = 0;
    char name[256] = {};
    char ip[16] = {};
    char mask[16] = {};
    char gateway[16] = {};
    char dhcp = 0;
    std::uint8_t uuid[kUuidSize] = {};
    std::uint8_t classByte = 0; // opcodes 7 and 8 only
    std::uint8_t typeByte = 0;  // opcodes 7 and 8 only
    char model[64] = {};        // opcode 8 only
    char mac[64] = {};
    char hwVersion[64] = {};
    char swVersion[64] = {};
};

// Parses a search reply without reading past `length`. Returns false (drop) for other opcodes and for a
// datagram shorter than its kind's fixed part (60, 72 or 328 bytes). A name length that reaches past the
// datagram is cut to the bytes received, and any name to 255 bytes; fixed texts without a terminator are cut
// to their field size - 1.
bool ParseSearchReply(const std::uint8_t *datagram, std::size_t length, SearchReply &reply);

// The text of a query reply: bytes from 28 up to the first NUL or the end of the datagram. Empty when the
// datagram is exactly 28 bytes. Returns false for a datagram shorter than 28 bytes.
bool QueryReplyText(const std::uint8_t *datagram, std::size_t length, std::string_view &text);
