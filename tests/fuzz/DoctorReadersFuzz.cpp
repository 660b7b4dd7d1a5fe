// The doctor's readers of tool and kernel output: `nft list ruleset`, `iptables -S`, /proc/net/udp and
// /proc/net/route, and the report made of what they found. The first byte picks the reader.
#include "FuzzInput.h"
#include "services/Diagnosis.h"
#include "services/DoctorReport.h"

using namespace izuzez::services;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::string_view text = izuzez::fuzz::AsText(data + 1, size - 1);
    DoctorFacts facts;
    facts.interfaces.push_back({});
    facts.interfaces[0].name = "eth0";
    facts.interfaces[0].address = "10.0.0.2";
    switch (data[0] % 4)
    {
    case 0:
        facts.firewall = ReadFirewallRules("nft", text);
        break;
    case 1:
        facts.firewall = ReadFirewallRules("iptables", text);
        break;
    case 2:
        facts.otherSockets = static_cast<int>(UdpSocketInodes(text, 13579).size());
        break;
    default:
        facts.interfaces[0].multicastRoute = RouteSendsGroupVia(text, "eth0");
        break;
    }
    const std::vector<std::string> verdict = Diagnose(facts);
    DoctorText(facts, verdict);
    DoctorJson(facts, verdict);
    return 0;
}
