#include "services/DoctorReport.h"

#include <cstring>
#include <sstream>

#include <nlohmann/json.hpp>

#include "protocol/PrintableText.h"
#include "services/Diagnosis.h"

namespace izuzez::services
{

namespace
{

std::string SocketState(int error)
{
    return error == 0 ? "open" : std::string("failed: ") + std::strerror(error);
}

std::string FirewallStateName(FirewallState state)
{
    switch (state)
    {
    case FirewallState::Unread:
        return "unread";
    case FirewallState::Silent:
        return "no rule for the port";
    case FirewallState::Accepts:
        return "accepts";
    case FirewallState::Drops:
        return "drops";
    }
    return {};
}

std::string RpFilterText(int value)
{
    switch (value)
    {
    case 0:
        return "off";
    case 1:
        return "strict";
    case 2:
        return "loose";
    default:
        return "unknown";
    }
}

} // namespace

std::string DoctorText(const DoctorFacts &facts, const std::vector<std::string> &verdict)
{
    std::ostringstream out;
    for (const InterfaceFacts &f : facts.interfaces)
    {
        const SearchTally &t = f.tally;
        out << "Interface " << (f.name.empty() ? "?" : f.name) << "  " << f.address << "/" << f.prefix << "\n"
            << "  receiver on its address:  " << SocketState(f.unicastError) << "\n"
            << "  receiver on 224.0.0.1:    " << (f.groupError == 0 ? "open, group joined" : SocketState(f.groupError))
            << "\n"
            << "  multicast route:          "
            << (!f.multicastRoute   ? "unknown"
                : *f.multicastRoute ? "leaves this interface"
                                    : "none")
            << "\n"
            << "  reverse-path filter:      " << RpFilterText(f.rpFilter) << "\n"
            << "  search: " << t.accepted << " accepted, " << t.repeated << " repeated, " << t.foreignClient
            << " for another instance, " << t.filtered << " other device kinds, " << t.otherKind << " other datagrams, "
            << t.malformed << " malformed, " << t.oversize << " oversize\n";
        for (const std::string &from : t.acceptedFrom)
            out << "  device " << PrintableText(from) << "\n";
    }
    out << "Firewall on UDP 13579:      " << FirewallStateName(facts.firewall.state);
    if (!facts.firewall.tool.empty())
        out << " (" << facts.firewall.tool << ")";
    if (!facts.firewall.detail.empty())
        out << ": " << facts.firewall.detail;
    out << "\nOther sockets on port 13579: "
        << (facts.otherSockets < 0 ? std::string("unknown") : std::to_string(facts.otherSockets)) << "\n\nVerdict:\n";
    for (const std::string &line : verdict)
        out << "- " << line << "\n";
    return out.str();
}

std::string DoctorJson(const DoctorFacts &facts, const std::vector<std::string> &verdict)
{
    using nlohmann::ordered_json;
    ordered_json list = ordered_json::array();
    for (const InterfaceFacts &f : facts.interfaces)
    {
        const SearchTally &t = f.tally;
        list.push_back(ordered_json{
            {"name", f.name},
            {"address", f.address},
            {"prefix", f.prefix},
            {"unicast_receiver", SocketState(f.unicastError)},
            {"group_receiver", SocketState(f.groupError)},
            {"multicast_route", f.multicastRoute ? ordered_json(*f.multicastRoute) : ordered_json(nullptr)},
            {"rp_filter", f.rpFilter},
            {"search", ordered_json{{"accepted", t.accepted},
                                    {"repeated", t.repeated},
                                    {"other_instance", t.foreignClient},
                                    {"other_device_kinds", t.filtered},
                                    {"other_kinds", t.otherKind},
                                    {"malformed", t.malformed},
                                    {"oversize", t.oversize},
                                    {"devices", t.acceptedFrom}}},
        });
    }
    const ordered_json report{
        {"answered", AnsweredDevices(facts)},
        {"interfaces", list},
        {"firewall", ordered_json{{"state", FirewallStateName(facts.firewall.state)},
                                  {"tool", facts.firewall.tool},
                                  {"detail", facts.firewall.detail}}},
        {"other_sockets", facts.otherSockets},
        {"port_holders", facts.portHolders},
        {"verdict", verdict},
    };
    return report.dump(2, ' ', true, ordered_json::error_handler_t::replace);
}

} // namespace izuzez::services
