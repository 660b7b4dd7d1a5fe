#include "services/ProtocolSession.h"

#include <algorithm>
#include <cstdio>

#include "protocol/DeviceList.h"
#include "protocol/Diagnostics.h"
#include "protocol/Endpoints.h"
#include "protocol/FixedText.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "protocol/Search.h"
#include "services/LanSettingsRules.h"

namespace izuzez::services
{
namespace
{

// Every search of the program asks for class 1, type 8.
constexpr int kClassFilter = 1;
constexpr int kTypeFilter = 8;

std::string HexText(const std::uint8_t *bytes, std::size_t size)
{
    std::string text;
    char pair[3];
    for (std::size_t i = 0; i < size; ++i)
    {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += pair;
    }
    return text;
}

FoundDevice FromRecord(const DeviceRecord &r)
{
    FoundDevice d;
    d.name = std::string(FieldText(r.server_name));
    d.ip = std::string(FieldText(r.server_ip));
    d.netmask = std::string(FieldText(r.server_mask));
    d.gateway = std::string(FieldText(r.server_gateway));
    d.dhcp = FieldText(r.dhcp) == "1";
    d.uuid = HexText(r.server_uuid, kUuidSize);
    d.model = std::string(FieldText(r.server_MODEL));
    d.mac = std::string(FieldText(r.server_mac));
    d.hwVersion = std::string(FieldText(r.server_HW_version));
    d.swVersion = std::string(FieldText(r.server_SW_version));
    const ProtocolState &s = g_ProtocolState;
    if (r.interfaceIndex >= 0 && r.interfaceIndex < s.interfaceCount)
        d.interfaceAddress = std::string(FieldText(s.interfaceAddress[r.interfaceIndex]));
    return d;
}

class ProtocolSession final : public DeviceSession
{
public:
    ~ProtocolSession() override
    {
        FreeDeviceList();
        CloseEndpoints();
    }

    std::vector<FoundDevice> Search() override
    {
        SearchDevices(kClassFilter, kTypeFilter);
        return Listed();
    }

    static std::vector<FoundDevice> Listed()
    {
        std::vector<FoundDevice> devices;
        for (const DeviceRecord *r = g_ProtocolState.deviceList.head; r; r = r->next)
            devices.push_back(FromRecord(*r));
        return devices;
    }

    std::vector<FoundDevice> SearchUntilQuiet(std::chrono::milliseconds quiet) override
    {
        SearchDevicesUntilQuiet(kClassFilter, kTypeFilter, quiet, std::chrono::milliseconds(kWaitLimitMs));
        return Listed();
    }

    bool Select(const std::string &ip) override
    {
        CopyText(g_ProtocolState.selectedIp, ip);
        return FindSelectedDevice() != nullptr;
    }

    int CheckAdminPassword(std::string_view userName, std::string_view password) override
    {
        CopyText(g_ProtocolState.userName, userName);
        CopyText(g_ProtocolState.password, password);
        return ::CheckAdminPassword();
    }

    bool Query(QueryKind kind, std::vector<std::string> &answer) override
    {
        answer.clear();
        ProtocolState &s = g_ProtocolState;
        switch (kind)
        {
        case QueryKind::Shares:
            if (!QueryShareList())
                return false;
            for (const ShareNameEntry *e = s.shareNameList.head; e; e = e->next)
                answer.emplace_back(FieldText(e->name));
            return true;
        case QueryKind::Ssl:
            return Text(QuerySsl, s.sslText, answer);
        case QueryKind::Workgroup:
            return Text(QueryWorkgroup, s.workgroupText, answer);
        case QueryKind::Codepage:
            return Text(QueryCodepage, s.codepageText, answer);
        case QueryKind::Ideok:
            return Text(QueryIdeok, s.ideokText, answer);
        case QueryKind::ShareName:
            return Text(QueryShareName, s.shareNameText, answer);
        case QueryKind::BtFirmware:
            return Text(QueryBtFirmware, s.btFirmwareText, answer);
        case QueryKind::Domain:
            return Text(QueryDomain, s.domainText, answer);
        }
        return false;
    }

    bool SetStaticAddress(const std::string &ip, const std::string &netmask, const std::string &gateway) override
    {
        CopyText(g_ProtocolState.newIp, ip);
        CopyText(g_ProtocolState.newNetmask, netmask);
        CopyText(g_ProtocolState.newGateway, gateway);
        return ::SetStaticAddress() != 0;
    }

    bool SetDhcp(std::string &answeredIp) override
    {
        if (!::SetDhcp())
            return false;
        answeredIp = std::string(FieldText(g_ProtocolState.selectedIp));
        return true;
    }

    std::size_t PasswordLimit() const override
    {
        return std::min(services::kCredentialLimit, sizeof g_ProtocolState.password - 1);
    }

private:
    template <std::size_t N> static bool Text(int (*query)(), const char (&field)[N], std::vector<std::string> &answer)
    {
        if (!query())
            return false;
        answer.emplace_back(FieldText(field));
        return true;
    }
};

} // namespace

OpenedSession OpenProtocolSession(const std::vector<std::string> &interfaces, bool verbose)
{
    // Only switch on: IZUZEZ_DEBUG=1 in the environment also enables the lines.
    if (verbose)
        SetDiagnostics(true);
    SetInterfaceFilter(interfaces);
    OpenEndpoints();
    OpenedSession opened{nullptr, ReceiverWarnings(), {}};
    const ProtocolState &s = g_ProtocolState;
    for (const std::string &address : interfaces)
    {
        bool found = false;
        for (int i = 0; i < s.interfaceCount && !found; ++i)
            found = FieldText(s.interfaceAddress[i]) == address;
        if (!found)
            opened.missing.push_back(address);
    }
    opened.session = std::make_unique<ProtocolSession>();
    return opened;
}

} // namespace izuzez::services
