#include "ReplyBuilder.h"

#include <cstring>

#include "protocol/DeviceList.h"
#include "protocol/FixedText.h"
#include "protocol/Packets.h"

namespace
{
void PutUint32(std::vector<std::uint8_t> &bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutText(std::vector<std::uint8_t> &bytes, std::size_t at, std::size_t size, const std::string &text)
{
    if (!text.empty())
        std::memcpy(bytes.data() + at, text.data(), std::min(size, text.size()));
}

std::vector<std::uint8_t> Header(std::uint8_t opcode, const ClientId &clientId, std::array<std::uint8_t, 4> address,
                                 std::size_t size)
{
    std::vector<std::uint8_t> bytes(size, 0);
    bytes[0] = opcode;
    std::memcpy(bytes.data() + 1, clientId.data(), clientId.size());
    for (int i = 0; i < 6; ++i)
        bytes[11 + i] = static_cast<std::uint8_t>(0xA0 + i);
    std::memcpy(bytes.data() + 17, address.data(), 4);
    return bytes;
}
} // namespace

std::vector<std::uint8_t> MakeSearchReply(const ReplyFields &fields)
{
    const std::size_t lengthAt = fields.opcode == 2 ? 56 : fields.opcode == 7 ? 68 : 324;
    std::vector<std::uint8_t> bytes = Header(fields.opcode, fields.clientId, fields.address, lengthAt + 4);
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
    PutUint32(bytes, lengthAt,
              fields.nameLength == UINT32_MAX ? static_cast<std::uint32_t>(fields.name.size()) : fields.nameLength);
    bytes.insert(bytes.end(), fields.name.begin(), fields.name.end());
    return bytes;
}

std::vector<std::uint8_t> MakeQueryReply(const ClientId &clientId, std::array<std::uint8_t, 4> address,
                                         const std::string &text)
{
    std::vector<std::uint8_t> bytes = Header(4, clientId, address, 28);
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

std::vector<std::uint8_t> MakeSettingReply(const ClientId &clientId, std::array<std::uint8_t, 4> address)
{
    return Header(6, clientId, address, 24);
}

void SelectFakeDevice(const char *ip, std::array<std::uint8_t, 4> address)
{
    std::uint8_t uuid[kUuidSize] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
    std::memcpy(uuid + 6, address.data(), 4);
    AppendDevice("dev", ip, "255.255.255.0", "192.168.0.1", uuid, '0', 0);
    CopyText(g_ProtocolState.selectedIp, ip);
}

std::uint32_t ReadUint32(const std::uint8_t *at)
{
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}
