#include "protocol/Operations.h"

#include <cstring>
#include <functional>

#include "protocol/DeviceList.h"
#include "protocol/Diagnostics.h"
#include "protocol/Endpoints.h"
#include "protocol/Exchange.h"
#include "protocol/FixedText.h"
#include "protocol/Packets.h"
#include "protocol/ShareList.h"

namespace
{
constexpr int kNoDrain = 0;

struct Exchange
{
    std::function<int(std::uint8_t *)> build;
    ReplyRule rule;
    int drainCount = kNoDrain;
    int failedPollLimit = 10;
};

// Runs one request/reply exchange with the selected device. Returns the reply's length (the reply is in
// `reply`, NUL-terminated), or 0 when there is no selected device, nothing was built or nothing matched.
long RunExchange(const Exchange &exchange, std::uint8_t *reply)
{
    const ProtocolState &state = g_ProtocolState;
    const DeviceRecord *device = FindSelectedDevice();
    if (!state.endpointsOpen || device == nullptr)
        return 0;
    const int i = device->interfaceIndex;
    if (i < 0 || i >= state.interfaceCount)
        return 0;

    const std::unique_ptr<DatagramSource> source = OpenDatagramSource(i);
    const auto deadline =
        source->Now() + kDeadlineFactor * NominalExchangeTime(exchange.drainCount, exchange.failedPollLimit);
    Drain(*source, exchange.drainCount);

    std::uint8_t request[kPacketBufferSize];
    const int length = exchange.build(request);
    if (length <= 0)
        return 0;
    source->Send(request, static_cast<std::size_t>(length));
    return AwaitReply(*source, exchange.rule, exchange.failedPollLimit, deadline, reply);
}

std::function<int(std::uint8_t *)> Query(int subCommand)
{
    return [subCommand](std::uint8_t *buffer) { return BuildQuery(buffer, subCommand); };
}

// Reads the field when the request is built, as the operation's input.
template <std::size_t N> std::function<int(std::uint8_t *)> Setting(int subCommand, const char (&payload)[N])
{
    return [subCommand, &payload](std::uint8_t *buffer)
    { return BuildSetting(buffer, subCommand, FieldText(payload)); };
}

ReplyRule QueryRule()
{
    return {kOpQueryReply, g_ProtocolState.selectedIp, kOffQueryPayload};
}

ReplyRule SettingRule(const char *matchIp)
{
    return {kOpSettingReply, matchIp, kAddressEnd};
}

template <std::size_t N>
int TextQuery(int subCommand, int drainCount, int limit, char (&result)[N], const char *consoleFormat)
{
    std::uint8_t reply[kPacketBufferSize + 1];
    const long length = RunExchange({Query(subCommand), QueryRule(), drainCount, limit}, reply);
    std::string_view text;
    if (length <= 0 || !QueryReplyText(reply, static_cast<std::size_t>(length), text))
        return 0;
    CopyText(result, text);
    DiagnosticText(consoleFormat, FieldText(result));
    return 1;
}

template <std::size_t N> int PlainSetting(int subCommand, const char (&payload)[N])
{
    std::uint8_t reply[kPacketBufferSize + 1];
    return RunExchange({Setting(subCommand, payload), SettingRule(g_ProtocolState.newIp), kNoDrain, 10}, reply) > 0 ? 1
                                                                                                                    : 0;
}

// Moves the selected record to a new address, in server_ip and the address bytes of server_uuid.
DeviceRecord *Readdress(const char *newIpText, const std::uint8_t *addressBytes)
{
    DeviceRecord *record = FindSelectedDevice();
    if (record != nullptr)
    {
        CopyText(record->server_ip, std::string_view(newIpText, strnlen(newIpText, 16)));
        std::memcpy(record->server_uuid + (kUuidSize - 4), addressBytes, 4);
    }
    return record;
}
} // namespace

int CheckAdminPassword()
{
    std::uint8_t reply[kPacketBufferSize + 1];
    const long length = RunExchange({BuildPasswordCheck, QueryRule(), kNoDrain, 10}, reply);
    if (length <= 0)
        return 0;
    // A reply of exactly 28 bytes has no verdict byte; the terminator stands in for it and refuses.
    return static_cast<signed char>(reply[kOffQueryPayload]);
}

int QueryShareList()
{
    FreeShareNameList();
    std::uint8_t reply[kPacketBufferSize + 1];
    const long length = RunExchange({Query(kQueryShareList), QueryRule(), 11, 20}, reply);
    std::string_view text;
    if (length <= 0 || !QueryReplyText(reply, static_cast<std::size_t>(length), text))
        return 0;
    FillShareNameList(text);
    return 1;
}

int QueryWorkgroup()
{
    return TextQuery(kQueryWorkgroup, 6, 10, g_ProtocolState.workgroupText, "workgroup=%s\n");
}

int QueryCodepage()
{
    return TextQuery(kQueryCodepage, 11, 10, g_ProtocolState.codepageText, "codepage=%s\n");
}

int QueryIdeok()
{
    return TextQuery(kQueryIdeok, 11, 20, g_ProtocolState.ideokText, "ideok=%s\n");
}

int QueryShareName()
{
    return TextQuery(kQueryShareName, 11, 20, g_ProtocolState.shareNameText, "sharename=%s\n");
}

int QueryBtFirmware()
{
    return TextQuery(kQueryBtFirmware, 11, 20, g_ProtocolState.btFirmwareText, "bt_firmware=%s\n");
}

int QueryDomain()
{
    return TextQuery(kQueryDomain, 11, 20, g_ProtocolState.domainText, "domain=%s\n");
}

int QuerySsl()
{
    return TextQuery(kQuerySsl, 11, 20, g_ProtocolState.sslText, "ssl=%s\n");
}

int SetStaticAddress()
{
    ProtocolState &state = g_ProtocolState;
    std::uint8_t reply[kPacketBufferSize + 1];
    if (RunExchange({Setting(kSetStaticAddress, state.newIp), SettingRule(state.newIp), kNoDrain, 100}, reply) <= 0)
        return 0;
    // The accepted reply carries newIp in bytes 17..20.
    if (DeviceRecord *record = Readdress(state.newIp, reply + kOffAddress))
    {
        CopyText(record->server_mask, FieldText(state.newNetmask));
        CopyText(record->server_gateway, FieldText(state.newGateway));
    }
    CopyText(state.selectedIp, FieldText(state.newIp));
    return 1;
}

int SetDhcp()
{
    ProtocolState &state = g_ProtocolState;
    std::uint8_t reply[kPacketBufferSize + 1];
    const long length = RunExchange({BuildDhcpRequest, SettingRule(nullptr), kNoDrain, 100}, reply);
    if (length <= 0)
        return 0;
    char address[16];
    ReplyAddressText(reply, static_cast<std::size_t>(length), address);
    Readdress(address, reply + kOffAddress);
    CopyText(state.selectedIp, FieldText(address));
    return 1;
}

int SendSetting5()
{
    return PlainSetting(kSetSetting5, g_ProtocolState.setting5Text);
}

int SetWorkgroup()
{
    return PlainSetting(kSetWorkgroup, g_ProtocolState.workgroupText);
}

int SetCodepage()
{
    return PlainSetting(kSetCodepage, g_ProtocolState.codepageText);
}

int SetAccessMode()
{
    return PlainSetting(kSetAccessMode, g_ProtocolState.accessModeText);
}

int SendStopCommand()
{
    return PlainSetting(kSetStop, g_ProtocolState.stopText);
}

int NotifyInstalled()
{
    return PlainSetting(kSetInstalled, g_ProtocolState.installedText);
}
