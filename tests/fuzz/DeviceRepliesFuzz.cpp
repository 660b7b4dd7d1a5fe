// The device's replies: a search, or one query or setting, against a scripted device whose datagrams are the
// input. The first byte picks the operation; the rest is datagrams, each after a two-byte length.
#include <cstring>
#include <memory>

#include "FuzzInput.h"
#include "ScriptedSource.h"
#include "protocol/DeviceList.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "protocol/Search.h"

namespace
{

constexpr ClientId kClientId = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0, 0, 0};

int RunOperation(std::uint8_t which)
{
    switch (which % 18)
    {
    case 0:
        SearchDevices(1, 8);
        return 1;
    case 1:
        return CheckAdminPassword();
    case 2:
        return QueryShareList();
    case 3:
        return QueryWorkgroup();
    case 4:
        return QueryCodepage();
    case 5:
        return QueryIdeok();
    case 6:
        return QueryShareName();
    case 7:
        return QueryBtFirmware();
    case 8:
        return QueryDomain();
    case 9:
        return QuerySsl();
    case 10:
        return SetStaticAddress();
    case 11:
        return SetDhcp();
    case 12:
        return SendSetting5();
    case 13:
        return SetWorkgroup();
    case 14:
        return SetCodepage();
    case 15:
        return SetAccessMode();
    case 16:
        return SendStopCommand();
    default:
        return NotifyInstalled();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    izuzez::test::Script script;
    for (std::size_t at = 1; at + 2 <= size && script.answer.size() < 32;)
    {
        std::size_t length = data[at] | (static_cast<std::size_t>(data[at + 1]) << 8);
        at += 2;
        length = std::min({length, size - at, static_cast<std::size_t>(kPacketBufferSize)});
        script.answer.emplace_back(std::vector<std::uint8_t>(data + at, data + at + length));
        at += length;
    }

    ResetProtocolState();
    g_ProtocolState.clientId = kClientId;
    g_ProtocolState.interfaceCount = 1;
    g_ProtocolState.endpointsOpen = true;
    g_ProtocolState.sourceFactory = [&script](int) { return std::make_unique<izuzez::test::ScriptedSource>(script); };
    const std::uint8_t uuid[kUuidSize] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 10, 0, 0, 5};
    AppendDevice("dev", "10.0.0.5", "255.255.255.0", "10.0.0.1", uuid, '0', 0);
    CopyText(g_ProtocolState.selectedIp, "10.0.0.5");
    CopyText(g_ProtocolState.newIp, "10.0.0.5");
    CopyText(g_ProtocolState.newNetmask, "255.255.255.0");
    CopyText(g_ProtocolState.newGateway, "10.0.0.1");
    RunOperation(data[0]);
    ResetProtocolState();
    return 0;
}
