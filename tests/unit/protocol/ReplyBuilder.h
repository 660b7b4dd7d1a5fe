#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/ProtocolState.h"

// Lays out device replies the way a device would, for feeding the parsers and the exchange loops.
struct ReplyFields
{
    std::uint8_t opcode = 2;
    ClientId clientId = {};
    std::array<std::uint8_t, 4> address = {192, 168, 0, 10};
    char dhcp = '0';
    std::string mask = "255.255.255.0";
    std::string gateway = "192.168.0.1";
    std::uint8_t classByte = 1;
    std::uint8_t typeByte = 8;
    std::string model, mac, hwVersion, swVersion;
    std::string name = "NAS";
    std::uint32_t nameLength = UINT32_MAX; // UINT32_MAX: the name's real length
};

std::vector<std::uint8_t> MakeSearchReply(const ReplyFields &fields);
// Opcode 4 with the text from byte 28 (no terminator).
std::vector<std::uint8_t> MakeQueryReply(const ClientId &clientId, std::array<std::uint8_t, 4> address,
                                         const std::string &text);
// Opcode 6, the 24-byte common header.
std::vector<std::uint8_t> MakeSettingReply(const ClientId &clientId, std::array<std::uint8_t, 4> address);

// Fills g_ProtocolState with one listed, selected device at `ip` on interface 0.
void SelectFakeDevice(const char *ip, std::array<std::uint8_t, 4> address);

std::uint32_t ReadUint32(const std::uint8_t *at);
