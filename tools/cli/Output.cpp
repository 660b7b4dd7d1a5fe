#include "Output.h"

#include <algorithm>
#include <array>

#include <nlohmann/json.hpp>

namespace izuzez::cli
{

namespace
{
constexpr std::size_t kColumns = 8;

std::array<std::string, kColumns> DeviceFields(const FoundDevice &d)
{
    const std::string_view fields[kColumns] = {d.name,  d.ip,  d.netmask,  d.gateway, d.dhcp ? "dhcp" : "static",
                                               d.model, d.mac, d.swVersion};
    std::array<std::string, kColumns> shown;
    for (std::size_t i = 0; i < kColumns; ++i)
        shown[i] = fields[i].empty() ? "-" : PrintableText(fields[i]);
    return shown;
}
} // namespace

// The column after the fields; only a device outside its interface's network has it.
std::string OutsideText(const FoundDevice &d)
{
    return d.outsideNetwork.empty() ? std::string() : "outside " + d.outsideNetwork;
}

std::string DeviceLine(const FoundDevice &d)
{
    std::string line;
    for (const std::string &field : DeviceFields(d))
    {
        if (!line.empty())
            line += '\t';
        line += field;
    }
    if (!d.outsideNetwork.empty())
        line += '\t' + OutsideText(d);
    return line;
}

std::string DevicesTable(const std::vector<FoundDevice> &devices)
{
    std::vector<std::array<std::string, kColumns>> rows{
        {"NAME", "IP", "NETMASK", "GATEWAY", "MODE", "MODEL", "MAC", "FIRMWARE"}};
    for (const FoundDevice &d : devices)
        rows.push_back(DeviceFields(d));
    std::array<std::size_t, kColumns> widths{};
    for (const auto &row : rows)
        for (std::size_t i = 0; i < kColumns; ++i)
            widths[i] = std::max(widths[i], row[i].size());
    std::string table;
    for (std::size_t r = 0; r < rows.size(); ++r)
    {
        const std::string outside = r == 0 ? std::string() : OutsideText(devices[r - 1]);
        std::string line;
        for (std::size_t i = 0; i < kColumns; ++i)
        {
            line += rows[r][i];
            if (i + 1 < kColumns || !outside.empty())
                line.append(widths[i] - rows[r][i].size() + 2, ' ');
        }
        table += line + outside + '\n';
    }
    return table;
}

nlohmann::ordered_json DeviceJson(const FoundDevice &d)
{
    return nlohmann::ordered_json{
        {"name", d.name},
        {"ip", d.ip},
        {"netmask", d.netmask},
        {"gateway", d.gateway},
        {"dhcp", d.dhcp},
        {"uuid", d.uuid},
        {"model", d.model},
        {"mac", d.mac},
        {"hw_version", d.hwVersion},
        {"sw_version", d.swVersion},
        {"interface", d.interfaceAddress},
    };
}

std::string DevicesJson(const std::vector<FoundDevice> &devices)
{
    // Ordered, so that the keys come in the documented order.
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const FoundDevice &d : devices)
    {
        nlohmann::ordered_json device = DeviceJson(d);
        device["outside_network"] =
            d.outsideNetwork.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(d.outsideNetwork);
        array.push_back(std::move(device));
    }
    // Device names are raw bytes; a strict dump would throw on the first one that is not UTF-8.
    return array.dump(2, ' ', true, nlohmann::ordered_json::error_handler_t::replace);
}

std::string DrivesText(const std::vector<DriveRow> &rows)
{
    std::string text;
    for (const DriveRow &row : rows)
        text +=
            row.letter + "\t" + PrintableText(row.remote) + "\t" + PrintableText(row.path) + "\t" + row.status + "\n";
    return text;
}

std::string DrivesJson(const std::vector<DriveRow> &rows)
{
    nlohmann::json list = nlohmann::json::array();
    for (const DriveRow &row : rows)
        list.push_back({{"letter", row.letter},
                        {"remote", PrintableText(row.remote)},
                        {"path", PrintableText(row.path)},
                        {"status", row.status}});
    // Share names and paths are whatever bytes the share and the files hold, UTF-8 or not.
    return list.dump(2, ' ', true, nlohmann::json::error_handler_t::replace);
}

} // namespace izuzez::cli
