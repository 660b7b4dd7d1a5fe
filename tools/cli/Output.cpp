#include "Output.h"

#include <nlohmann/json.hpp>

namespace izuzez::cli
{

std::string PrintableText(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            c = '?';
    }
    return out;
}

std::string DeviceLine(const FoundDevice &d)
{
    const std::string_view fields[] = {d.name,  d.ip,  d.netmask,  d.gateway, d.dhcp ? "dhcp" : "static",
                                       d.model, d.mac, d.swVersion};
    std::string line;
    for (std::string_view field : fields)
    {
        if (!line.empty())
            line += '\t';
        line += field.empty() ? "-" : PrintableText(field);
    }
    return line;
}

std::string DevicesJson(const std::vector<FoundDevice> &devices)
{
    // Ordered, so that the keys come in the documented order.
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const FoundDevice &d : devices)
    {
        array.push_back(nlohmann::ordered_json{
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
        });
    }
    // Device names are raw bytes; a strict dump would throw on the first one that is not UTF-8.
    return array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace izuzez::cli
