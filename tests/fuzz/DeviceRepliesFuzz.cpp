// The device's replies: a search, or one query or setting, against a scripted device whose datagrams are the
// input. The first byte picks the operation; the rest is datagrams, each after a two-byte length.
#include <cstring>
#include <iterator>
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

int Search()
{
    SearchDevices(1, 8);
    return 1;
}

int (*const kOperations[])() = {
    Search,         CheckAdminPassword, QueryShareList, QueryWorkgroup, QueryCodepage,    QueryIdeok,
    QueryShareName, QueryBtFirmware,    QueryDomain,    QuerySsl,       SetStaticAddress, SetDhcp,
    SendSetting5,   SetWorkgroup,       SetCodepage,    SetAccessMode,  SendStopCommand,  NotifyInstalled,
};

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
    kOperations[data[0] % std::size(kOperations)]();
    ResetProtocolState();
    return 0;
}
