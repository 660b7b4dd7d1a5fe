#include "protocol/DeviceList.h"

#include <cstring>
#include <new>

#include "protocol/FixedText.h"
#include "protocol/LinkedList.h"

namespace
{
DeviceRecord *AppendRecord()
{
    DeviceRecord *record = NewDeviceRecord();
    if (record == nullptr)
        return nullptr;
    AppendNode(g_ProtocolState.deviceList, record);
    return record;
}

std::string_view Text(const char *text, std::size_t limit)
{
    return text == nullptr ? std::string_view() : std::string_view(text, strnlen(text, limit));
}

void FillCommon(DeviceRecord &record, const char *name, const char *ip, const char *mask, const char *gateway,
                const std::uint8_t *uuid, char dhcp, int interfaceIndex)
{
    CopyText(record.server_name, Text(name, sizeof record.server_name));
    CopyText(record.server_ip, Text(ip, sizeof record.server_ip));
    CopyText(record.server_mask, Text(mask, sizeof record.server_mask));
    CopyText(record.server_gateway, Text(gateway, sizeof record.server_gateway));
    record.dhcp[0] = dhcp;
    if (uuid != nullptr)
        std::memcpy(record.server_uuid, uuid, kUuidSize);
    record.interfaceIndex = interfaceIndex;
    record.next = nullptr;
}
} // namespace

DeviceRecord *NewDeviceRecord()
{
    return new (std::nothrow) DeviceRecord{};
}

bool IsDeviceListEmpty()
{
    return g_ProtocolState.deviceList.count == 0;
}

DeviceRecord *FindDeviceRecord(const char *ipText)
{
    if (ipText == nullptr)
        return nullptr;
    for (DeviceRecord *record = g_ProtocolState.deviceList.head; record != nullptr; record = record->next)
    {
        if (std::strncmp(record->server_ip, ipText, sizeof record->server_ip) == 0)
            return record;
    }
    return nullptr;
}

bool FindDeviceByIp(const char *ipText)
{
    return FindDeviceRecord(ipText) != nullptr;
}

DeviceRecord *FindSelectedDevice()
{
    return FindDeviceRecord(g_ProtocolState.selectedIp);
}

DeviceRecord *AppendDevice(const char *name, const char *ip, const char *mask, const char *gateway,
                           const std::uint8_t *uuid, char dhcp, int interfaceIndex)
{
    DeviceRecord *record = AppendRecord();
    if (record != nullptr)
        FillCommon(*record, name, ip, mask, gateway, uuid, dhcp, interfaceIndex);
    return record;
}

DeviceRecord *AppendFullDevice(const SearchReply &reply, const char *name, const char *ip, char dhcp,
                               int interfaceIndex)
{
    DeviceRecord *record = AppendRecord();
    if (record == nullptr)
        return nullptr;
    FillCommon(*record, name, ip, reply.mask, reply.gateway, reply.uuid, dhcp, interfaceIndex);
    CopyText(record->server_MODEL, FieldText(reply.model));
    CopyText(record->server_mac, FieldText(reply.mac));
    CopyText(record->server_HW_version, FieldText(reply.hwVersion));
    CopyText(record->server_SW_version, FieldText(reply.swVersion));
    return record;
}

void FreeDeviceList()
{
    FreeNodes(g_ProtocolState.deviceList);
}
