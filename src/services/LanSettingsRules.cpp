#include "services/LanSettingsRules.h"

#include "protocol/Ipv4Text.h"

#include <cstdint>
#include <iterator>
#include <utility>

namespace izuzez::services
{
namespace
{

constexpr std::string_view kIpDigit[4] = {
    "Invalid IP address in 1st digit. It should be 1-223.",
    "Invalid IP address in 2nd digit. It should be 0-255.",
    "Invalid IP address in 3rd digit. It should be 0-255.",
    "Invalid IP address in 4th digit. It should be 0-255.",
};
constexpr std::string_view kNetmaskDigit[4] = {
    "Invalid subnet mask address in 1st digit. It should be 0-255.",
    "Invalid subnet mask address in 2nd digit. It should be 0-255.",
    "Invalid subnet mask address in 3rd digit. It should be 0-255.",
    "Invalid subnet mask address in 4th digit. It should be 0-255.",
};
constexpr std::string_view kGatewayDigit[4] = {
    "Invalid gateway IP address in 1st digit. It should be 1-223.",
    "Invalid gateway IP address in 2nd digit. It should be 0-255.",
    "Invalid gateway IP address in 3rd digit. It should be 0-255.",
    "Invalid gateway IP address in 4th digit. It should be 0-255.",
};

bool OctetPasses(OctetKind kind, int index, int value)
{
    // Only addresses (not the netmask) restrict the first octet to the unicast classes.
    if (index == 0 && kind != OctetKind::Netmask)
        return value >= 1 && value <= 223;
    return value >= 0 && value <= 255;
}

std::uint32_t ToBits(const Octets &octets)
{
    std::uint32_t bits = 0;
    for (int octet : octets)
        bits = (bits << 8) | (static_cast<std::uint32_t>(octet) & 0xFFu);
    return bits;
}

bool IsLinkLocal(const Octets &ip)
{
    return ip[0] == 169 && ip[1] == 254;
}

StageCheck Refuse(const LanMessage &message, AddressField field, int octet)
{
    StageCheck check;
    check.message = message;
    check.focusField = field;
    check.focusOctet = octet;
    return check;
}

StageCheck Pass(std::string text)
{
    StageCheck check;
    check.ok = true;
    check.text = std::move(text);
    return check;
}

Octets GatewayOctets(const StaticAddressInput &input)
{
    return input.gatewayBlank ? Octets{0, 0, 0, 0} : input.gateway;
}

} // namespace

OctetCheck ValidateOctets(OctetKind kind, const Octets &octets, bool blank)
{
    if (kind == OctetKind::Gateway && blank)
        return {};
    const std::string_view *texts = kind == OctetKind::Ip        ? kIpDigit
                                    : kind == OctetKind::Netmask ? kNetmaskDigit
                                                                 : kGatewayDigit;
    for (int i = 0; i < 4; ++i)
    {
        if (!OctetPasses(kind, i, octets[i]))
            return {false, i, {texts[i], lanmsg::kCaptionError, MessageIcon::Information}};
    }
    return {};
}

int CheckNetmask(const Octets & /*ip*/, const Octets &netmask)
{
    if (netmask[0] == 0)
        return -1;
    const std::uint32_t bits = ToBits(netmask);
    // Leading ones only: the inverted mask plus one is a power of two (or wraps to zero for all ones).
    const std::uint32_t hostBits = ~bits;
    return (hostBits & (hostBits + 1)) == 0 ? 0 : -1;
}

int IsWrongTcpIpConfig(const Octets &ip, const Octets &netmask, const Octets &gateway)
{
    if (IsLinkLocal(ip))
        return 0;
    bool isNetwork = true;
    bool isBroadcast = true;
    bool outside = false;
    for (int i = 0; i < 4; ++i)
    {
        isNetwork = isNetwork && gateway[i] == (ip[i] & netmask[i]);
        isBroadcast = isBroadcast && gateway[i] == ((255 - netmask[i]) | ip[i]);
        outside = outside || (ip[i] & netmask[i]) != (gateway[i] & netmask[i]);
    }
    return isNetwork || isBroadcast || outside ? 1 : 0;
}

int IsSubnetEdgeAddress(const Octets &ip, const Octets &netmask)
{
    const std::uint32_t hostMask = ~ToBits(netmask);
    if (hostMask < 3)
        return 0; // /31 and /32 have no network or broadcast address
    const std::uint32_t host = ToBits(ip) & hostMask;
    return host == 0 || host == hostMask ? 1 : 0;
}

std::string DottedText(const Octets &octets)
{
    std::string text;
    for (int i = 0; i < 4; ++i)
    {
        if (i > 0)
            text += '.';
        text += std::to_string(octets[i]);
    }
    return text;
}

std::string GatewayText(const Octets &gateway)
{
    return gateway == Octets{0, 0, 0, 0} ? std::string() : DottedText(gateway);
}

StageCheck CheckIpStage(const StaticAddressInput &input)
{
    if (input.ipBlank)
        return Refuse(lanmsg::kInputIp, AddressField::Ip, 0);
    if (input.netmaskBlank)
        return Refuse(lanmsg::kInputNetmask, AddressField::Netmask, 0);
    if (input.ip[0] == 127)
        return Refuse(lanmsg::kIpInputError, AddressField::Ip, 0);
    if (const OctetCheck c = ValidateOctets(OctetKind::Ip, input.ip); !c.ok)
        return Refuse(c.message, AddressField::Ip, c.octetIndex);
    return Pass(DottedText(input.ip));
}

StageCheck CheckNetmaskStage(const StaticAddressInput &input)
{
    if (const OctetCheck c = ValidateOctets(OctetKind::Netmask, input.netmask); !c.ok)
        return Refuse(c.message, AddressField::Netmask, c.octetIndex);
    return Pass(DottedText(input.netmask));
}

StageCheck CheckGatewayStage(const StaticAddressInput &input)
{
    const Octets gateway = GatewayOctets(input);
    if (!IsLinkLocal(input.ip))
    {
        if (const OctetCheck c = ValidateOctets(OctetKind::Gateway, gateway, input.gatewayBlank); !c.ok)
            return Refuse(c.message, AddressField::Gateway, c.octetIndex);
    }
    else
    {
        // The gateway rules are skipped for link-local addresses, but a negative octet must still not reach the text.
        for (int i = 0; i < 4; ++i)
            if (gateway[i] < 0 || gateway[i] > 255)
                return Refuse({kGatewayDigit[i], lanmsg::kCaptionError, MessageIcon::Information},
                              AddressField::Gateway, i);
    }
    if (CheckNetmask(input.ip, input.netmask) == -1)
        return Refuse(lanmsg::kNetmaskInvalid, AddressField::Netmask, 0);
    if (IsWrongTcpIpConfig(input.ip, input.netmask, gateway) == 1)
        return Refuse(lanmsg::kWrongTcpIp, AddressField::Gateway, 0);
    if (IsSubnetEdgeAddress(input.ip, input.netmask) == 1)
        return Refuse(lanmsg::kWrongTcpIp, AddressField::Ip, 3);
    return Pass(GatewayText(gateway));
}

AddressTextsReading ReadStaticAddressInput(const std::optional<std::string> &ip,
                                           const std::optional<std::string> &netmask,
                                           const std::optional<std::string> &gateway)
{
    AddressTextsReading result;
    StaticAddressInput &in = result.input;
    const struct
    {
        const std::optional<std::string> &text;
        Octets &octets;
        bool &blank;
        AddressField field;
    } fields[] = {{ip, in.ip, in.ipBlank, AddressField::Ip},
                  {netmask, in.netmask, in.netmaskBlank, AddressField::Netmask},
                  {gateway, in.gateway, in.gatewayBlank, AddressField::Gateway}};
    for (const auto &f : fields)
    {
        // An empty text is a blank field, as an untouched address field in the window.
        f.blank = !f.text || f.text->empty();
        if (f.blank)
            continue;
        const Ipv4Reading reading = ReadIpv4(*f.text);
        if (reading.verdict != Ipv4Verdict::Address && reading.verdict != Ipv4Verdict::OctetAbove255)
        {
            result.refused = f.field;
            return result;
        }
        f.octets = reading.octets;
    }
    return result;
}

StaticAddressPlan CheckStaticAddress(const StaticAddressInput &input)
{
    StageCheck (*const stages[])(const StaticAddressInput &) = {CheckIpStage, CheckNetmaskStage, CheckGatewayStage};
    StaticAddressPlan plan;
    std::optional<std::string> *const stored[] = {&plan.newIp, &plan.newNetmask, &plan.newGateway};
    for (std::size_t i = 0; i < std::size(stages); ++i)
    {
        StageCheck check = stages[i](input);
        if (!check.ok)
        {
            plan.message = check.message;
            plan.focusField = check.focusField;
            plan.focusOctet = check.focusOctet;
            return plan;
        }
        *stored[i] = std::move(check.text);
    }
    plan.ok = true;
    return plan;
}

bool PointsAtOctet(const StaticAddressPlan &plan)
{
    // The octet rules are the only messages with the information icon under the "Error" caption.
    return !plan.ok && plan.message.caption == lanmsg::kCaptionError && plan.message.icon == MessageIcon::Information &&
           plan.focusField != AddressField::None && plan.focusOctet >= 0 && plan.focusOctet < 4;
}

bool IsDhcpChoice(std::string_view comboText)
{
    return comboText == "Enable";
}

} // namespace izuzez::services
