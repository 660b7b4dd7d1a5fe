#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "protocol/DeviceList.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"

// Every case starts from a clean protocol state with this ClientId and leaves a clean one behind, since the
// state is global.
template <const ClientId &Id> class ProtocolStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetProtocolState();
        g_ProtocolState.clientId = Id;
    }
    void TearDown() override { ResetProtocolState(); }
};

// Fills g_ProtocolState with one listed, selected device at `ip` on interface 0, its uuid as the replies of
// the shared wire encoder carry it.
inline void SelectFakeDevice(const char *ip, std::array<std::uint8_t, 4> address)
{
    std::uint8_t uuid[kUuidSize] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
    std::memcpy(uuid + 6, address.data(), 4);
    AppendDevice("dev", ip, "255.255.255.0", "192.168.0.1", uuid, '0', 0);
    CopyText(g_ProtocolState.selectedIp, ip);
}
