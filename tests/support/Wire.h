#pragma once

// The wire format laid out by hand, byte by byte, independently of the program's and the simulator's own
// codecs: requests as the program sends them, replies as a device sends them.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace izuzez::test
{

using Bytes = std::vector<std::uint8_t>;
using ClientIdBytes = std::array<std::uint8_t, 10>;
using Address = std::array<std::uint8_t, 4>;

std::uint32_t Le32(const std::uint8_t *at);
// Checked: throws when the four bytes are not all inside `data`.
std::uint32_t Le32(const Bytes &data, std::size_t offset);
// The NUL-terminated text of a field, cut at the field and at the datagram's end.
std::string TextAt(const Bytes &data, std::size_t offset, std::size_t size);
Bytes Slice(const Bytes &data, std::size_t offset, std::size_t size);
std::string Hex(const Bytes &bytes);

// Requests: 1 search, 3 query, 5 setting.
inline const Bytes kClientId{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0, 0, 0, 0};
Bytes SearchRequest(const Bytes &clientId);
Bytes QueryRequest(const Bytes &clientId, const Bytes &uuid, std::uint8_t sub, const std::string &payload = {});
// Netmask and gateway in 16-byte fields at 24 and 40, then the payload with its length.
Bytes SettingRequest(const Bytes &clientId, const Bytes &uuid, std::uint8_t sub, const std::string &netmask,
                     const std::string &gateway, const std::string &payload);

// Replies: 2, 7 and 8 answer a search, 4 a query, 6 a setting.
struct ReplyFields
{
    std::uint8_t opcode = 2;
    ClientIdBytes clientId = {};
    Address address = {192, 168, 0, 10};
    char dhcp = '0';
    std::string mask = "255.255.255.0";
    std::string gateway = "192.168.0.1";
    std::uint8_t classByte = 1;
    std::uint8_t typeByte = 8;
    std::string model, mac, hwVersion, swVersion;
    std::string name = "NAS";
    std::uint32_t nameLength = UINT32_MAX; // UINT32_MAX: the name's real length
};

Bytes MakeSearchReply(const ReplyFields &fields);
// Opcode 4 with the text from byte 28 (no terminator).
Bytes MakeQueryReply(const ClientIdBytes &clientId, Address address, const std::string &text);
// Opcode 6, the 24-byte common header.
Bytes MakeSettingReply(const ClientIdBytes &clientId, Address address);

// A datagram in a heap block of exactly its length (the first `length` bytes of `bytes`), so that a
// sanitizer build reports a read past its end. A vector would not do: its capacity may be larger.
class ExactDatagram
{
public:
    explicit ExactDatagram(const Bytes &bytes);
    ExactDatagram(const Bytes &bytes, std::size_t length);
    const std::uint8_t *data() const { return m_bytes.get(); }
    std::size_t size() const { return m_size; }
    std::span<const std::uint8_t> span() const { return {m_bytes.get(), m_size}; }

private:
    std::unique_ptr<std::uint8_t[]> m_bytes;
    std::size_t m_size;
};

} // namespace izuzez::test
