#include "services/DeviceSession.h"

#include <array>
#include <utility>

namespace izuzez::services
{
namespace
{

constexpr std::array<std::pair<std::string_view, QueryKind>, 8> kQueryNames = {{
    {"shares", QueryKind::Shares},
    {"ssl", QueryKind::Ssl},
    {"workgroup", QueryKind::Workgroup},
    {"codepage", QueryKind::Codepage},
    {"ideok", QueryKind::Ideok},
    {"sharename", QueryKind::ShareName},
    {"bt_firmware", QueryKind::BtFirmware},
    {"domain", QueryKind::Domain},
}};

} // namespace

std::optional<QueryKind> QueryKindFromName(std::string_view name)
{
    for (const auto &[text, kind] : kQueryNames)
        if (text == name)
            return kind;
    return std::nullopt;
}

std::string_view QueryKindName(QueryKind kind)
{
    for (const auto &[text, k] : kQueryNames)
        if (k == kind)
            return text;
    return {};
}

std::vector<std::string> QueryKindNames()
{
    std::vector<std::string> names;
    for (const auto &[text, kind] : kQueryNames)
        names.emplace_back(text);
    return names;
}

const FoundDevice *FindByIp(const std::vector<FoundDevice> &devices, std::string_view ip)
{
    for (const FoundDevice &d : devices)
        if (d.ip == ip)
            return &d;
    return nullptr;
}

bool SearchAndSelect(DeviceSession &session, const std::string &ip, std::string *name)
{
    const std::vector<FoundDevice> devices = session.Search();
    if (!session.Select(ip))
        return false;
    if (const FoundDevice *d = FindByIp(devices, ip); d != nullptr && name != nullptr)
        *name = d->name;
    return true;
}

} // namespace izuzez::services
