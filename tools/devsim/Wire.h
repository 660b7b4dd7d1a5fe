#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The device's own view of the UDP wire format: it decodes requests and lays out replies.
namespace izuzez::devsim
{

using Bytes = std::vector<std::uint8_t>;
using Ipv4 = std::array<std::uint8_t, 4>;
using ClientId = std::array<std::uint8_t, 10>;
using Uuid = std::array<std::uint8_t, 10>;

inline constexpr std::uint16_t kProtocolPort = 13579;
inline constexpr const char *kGroupAddress = "224.0.0.1";

enum Opcode : std::uint8_t
{
    kSearchRequest = 1,
    kBasicSearchReply = 2,
    kQueryRequest = 3,
    kQueryReply = 4,
    kSettingRequest = 5,
    kSettingReply = 6,
    kFilteredSearchReply = 7,
    kFullSearchReply = 8,
};

// Header and field offsets shared by requests and replies.
inline constexpr std::size_t kSearchRequestLength = 11;
inline constexpr std::size_t kQueryHeaderLength = 28;
inline constexpr std::size_t kSettingHeaderLength = 60;
inline constexpr std::size_t kCommonHeaderLength = 24;
inline constexpr std::size_t kUuidOffset = 11;
inline constexpr std::size_t kAddressOffset = 17;
inline constexpr std::size_t kSubCommandOffset = 21;
inline constexpr std::size_t kNetmaskOffset = 24;
inline constexpr std::size_t kGatewayOffset = 40;
inline constexpr std::size_t kAddressTextField = 16;
inline constexpr std::size_t kLongTextField = 64;

struct Request
{
    std::uint8_t opcode = 0;
    ClientId clientId{};
    std::optional<Uuid> uuid; // absent in a search request
    std::optional<std::uint8_t> subCommand;
    std::string netmask; // setting requests only
    std::string gateway;
    std::uint32_t declaredPayloadLength = 0;
    Bytes payload;                 // clamped to the bytes actually received
    bool payloadTruncated = false; // the length field promised more than arrived
};

struct DecodeResult
{
    std::optional<Request> request;
    std::string error; // set when request is empty
};

// Never reads beyond `datagram`; anything not a well-formed request yields an error text.
DecodeResult DecodeRequest(std::span<const std::uint8_t> datagram);

// What a device says of itself in search replies; its configuration holds the same fields.
struct ProductFields
{
    std::uint8_t classByte = 1;
    std::uint8_t typeByte = 8;
    std::string model;
    std::string mac;
    std::string hwVersion;
    std::string swVersion;
};

struct SearchReplyFields
{
    Uuid uuid{};
    char dhcp = '0';
    std::string netmask;
    std::string gateway;
    ProductFields product;
    std::string name;
};

// Kind 2, 7 or 8. Fixed texts are cut to their field; a text that fills its field has no terminator,
// which is how the malformed variants are made. Returns an empty buffer for an unknown kind.
Bytes EncodeSearchReply(int kind, const ClientId &clientId, const SearchReplyFields &fields);
Bytes EncodeQueryReply(const ClientId &clientId, const Uuid &uuid, std::uint8_t subCommand,
                       std::span<const std::uint8_t> answer);
Bytes EncodeSettingReply(const ClientId &clientId, const Uuid &uuid, std::uint8_t subCommand);

// Offset of the name-length field of a search reply kind, or 0 for an unknown kind.
std::size_t NameLengthOffset(int kind);

void PutU32(Bytes &buffer, std::size_t offset, std::uint32_t value);
std::uint32_t GetU32(std::span<const std::uint8_t> data, std::size_t offset);
// Text of a fixed field up to its first NUL, clamped to the data.
std::string FieldText(std::span<const std::uint8_t> data, std::size_t offset, std::size_t size);

// Through the program's one address reader (leading zeros and octets above 255 are refused).
std::optional<Ipv4> ParseIpv4(std::string_view text);
std::string FormatIpv4(const Ipv4 &address);
Uuid MakeUuid(const std::array<std::uint8_t, 6> &prefix, const Ipv4 &address);

inline std::span<const std::uint8_t> AsBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t *>(text.data()), text.size()};
}

std::string ToHex(std::span<const std::uint8_t> data);
std::optional<Bytes> FromHex(std::string_view text);
// Printable ASCII as is, everything else as \xHH; quotes and backslashes escaped.
std::string ToPrintable(std::span<const std::uint8_t> data);

} // namespace izuzez::devsim
