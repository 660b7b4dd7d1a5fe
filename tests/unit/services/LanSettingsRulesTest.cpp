#include "services/LanSettingsRules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace izuzez::services;

namespace
{

struct NetmaskCase
{
    Octets mask;
    bool valid;
};

const NetmaskCase netmaskCases[] = {
    {{255, 255, 255, 255}, true}, {{128, 0, 0, 0}, true},      {{255, 255, 255, 0}, true}, {{255, 255, 254, 0}, true},
    {{255, 255, 255, 252}, true}, {{255, 0, 0, 0}, true},      {{0, 0, 0, 0}, false},      {{255, 0, 255, 0}, false},
    {{0, 255, 255, 255}, false},  {{255, 255, 255, 1}, false}, {{255, 253, 0, 0}, false},  {{254, 255, 0, 0}, false},
    {{0, 0, 0, 255}, false},
};

TEST(CheckNetmask, LeadingOnesWithNonZeroFirstOctet)
{
    for (const NetmaskCase &c : netmaskCases)
    {
        const int expected = c.valid ? 0 : -1;
        EXPECT_EQ(CheckNetmask({10, 0, 0, 1}, c.mask), expected) << DottedText(c.mask);
    }
}

struct OctetCase
{
    OctetKind kind;
    Octets octets;
    bool blank;
    int failingOctet; // -1: passes
    std::string message;
};

const OctetCase octetCases[] = {
    {OctetKind::Ip, {192, 168, 0, 10}, false, -1, ""},
    {OctetKind::Ip, {1, 0, 0, 0}, false, -1, ""},
    {OctetKind::Ip, {223, 255, 255, 255}, false, -1, ""},
    {OctetKind::Ip, {0, 1, 2, 3}, false, 0, "Invalid IP address in 1st digit. It should be 1-223."},
    {OctetKind::Ip, {224, 0, 0, 1}, false, 0, "Invalid IP address in 1st digit. It should be 1-223."},
    {OctetKind::Ip, {10, 256, 0, 1}, false, 1, "Invalid IP address in 2nd digit. It should be 0-255."},
    {OctetKind::Ip, {10, 0, 300, 999}, false, 2, "Invalid IP address in 3rd digit. It should be 0-255."},
    {OctetKind::Ip, {10, 0, 0, 256}, false, 3, "Invalid IP address in 4th digit. It should be 0-255."},
    {OctetKind::Ip, {10, 0, 0, -1}, false, 3, "Invalid IP address in 4th digit. It should be 0-255."},
    // The first failing octet decides.
    {OctetKind::Ip, {0, 256, 256, 256}, false, 0, "Invalid IP address in 1st digit. It should be 1-223."},
    {OctetKind::Netmask, {0, 0, 0, 0}, false, -1, ""},
    {OctetKind::Netmask, {255, 255, 255, 255}, false, -1, ""},
    {OctetKind::Netmask, {256, 0, 0, 0}, false, 0, "Invalid subnet mask address in 1st digit. It should be 0-255."},
    {OctetKind::Netmask, {255, 256, 0, 0}, false, 1, "Invalid subnet mask address in 2nd digit. It should be 0-255."},
    {OctetKind::Netmask, {255, 255, 256, 0}, false, 2, "Invalid subnet mask address in 3rd digit. It should be 0-255."},
    {OctetKind::Netmask,
     {255, 255, 255, 256},
     false,
     3,
     "Invalid subnet mask address in 4th digit. It should be 0-255."},
    {OctetKind::Gateway, {0, 0, 0, 0}, true, -1, ""},
    {OctetKind::Gateway, {0, 999, 0, 0}, true, -1, ""},
    {OctetKind::Gateway, {0, 0, 0, 0}, false, 0, "Invalid gateway IP address in 1st digit. It should be 1-223."},
    {OctetKind::Gateway, {230, 0, 0, 1}, false, 0, "Invalid gateway IP address in 1st digit. It should be 1-223."},
    {OctetKind::Gateway, {10, 256, 0, 1}, false, 1, "Invalid gateway IP address in 2nd digit. It should be 0-255."},
    {OctetKind::Gateway, {10, 0, 256, 1}, false, 2, "Invalid gateway IP address in 3rd digit. It should be 0-255."},
    {OctetKind::Gateway, {10, 0, 0, 256}, false, 3, "Invalid gateway IP address in 4th digit. It should be 0-255."},
};

TEST(ValidateOctets, RulesPerKindAndOctet)
{
    for (const OctetCase &c : octetCases)
    {
        const OctetCheck check = ValidateOctets(c.kind, c.octets, c.blank);
        SCOPED_TRACE(DottedText(c.octets) + " kind " + std::to_string(static_cast<int>(c.kind)));
        EXPECT_EQ(check.ok, c.failingOctet < 0);
        EXPECT_EQ(check.octetIndex, c.failingOctet);
        EXPECT_EQ(std::string(check.message.text), c.message);
        if (!check.ok)
        {
            EXPECT_EQ(check.message.caption, "Error");
            EXPECT_EQ(check.message.icon, MessageIcon::Information);
        }
    }
}

struct TcpIpCase
{
    Octets ip;
    Octets mask;
    Octets gateway;
    int wrong;
};

const TcpIpCase tcpIpCases[] = {
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 1}, 0},
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 254}, 0},
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 0}, 1},   // network address
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 255}, 1}, // broadcast address
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 1, 1}, 1},   // other subnet
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {0, 0, 0, 0}, 1},
    {{10, 1, 2, 3}, {255, 0, 0, 0}, {10, 200, 0, 1}, 0},
    {{10, 1, 2, 3}, {255, 0, 0, 0}, {10, 255, 255, 255}, 1},
    {{10, 1, 2, 3}, {255, 255, 255, 255}, {10, 1, 2, 3}, 1},
    {{172, 16, 5, 9}, {255, 255, 240, 0}, {172, 16, 15, 254}, 0},
    {{172, 16, 5, 9}, {255, 255, 240, 0}, {172, 16, 16, 1}, 1},
    // Link-local addresses skip every gateway rule.
    {{169, 254, 3, 4}, {255, 255, 0, 0}, {0, 0, 0, 0}, 0},
    {{169, 254, 3, 4}, {255, 255, 0, 0}, {10, 0, 0, 1}, 0},
    {{169, 253, 3, 4}, {255, 255, 0, 0}, {0, 0, 0, 0}, 1},
};

TEST(IsWrongTcpIpConfig, GatewayMustBeAHostOfTheSubnet)
{
    for (const TcpIpCase &c : tcpIpCases)
        EXPECT_EQ(IsWrongTcpIpConfig(c.ip, c.mask, c.gateway), c.wrong)
            << DottedText(c.ip) << "/" << DottedText(c.mask) << " gw " << DottedText(c.gateway);
}

struct PlanCase
{
    const char *name;
    StaticAddressInput input;
    std::string message; // empty: accepted
    AddressField field;
    int octet;
    // newIp/newNetmask/newGateway as the plan holds them, "-" for a text not stored: each is stored as soon as
    // its stage passes, also when a later one refuses, and later setting requests carry it.
    std::string stored;
};

StaticAddressInput In(Octets ip, Octets mask, Octets gw, bool ipBlank = false, bool maskBlank = false,
                      bool gwBlank = false)
{
    return {ip, mask, gw, ipBlank, maskBlank, gwBlank};
}

const PlanCase planCases[] = {
    {"accepted", In({192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 1}), "", AddressField::None, -1,
     "192.168.0.10/255.255.255.0/192.168.0.1"},
    {"ip blank first", In({}, {}, {}, true, true, true), "Please input IP address!", AddressField::Ip, 0, "-/-/-"},
    {"netmask blank", In({10, 0, 0, 2}, {}, {}, false, true, true), "Please input net mask address!",
     AddressField::Netmask, 0, "-/-/-"},
    {"loopback before octet rules", In({127, 0, 0, 1}, {0, 0, 0, 0}, {}, false, false, true),
     "IP address input error. Please try again.", AddressField::Ip, 0, "-/-/-"},
    {"ip octet", In({224, 0, 0, 1}, {255, 0, 0, 0}, {}), "Invalid IP address in 1st digit. It should be 1-223.",
     AddressField::Ip, 0, "-/-/-"},
    {"netmask octet before its shape", In({10, 0, 0, 2}, {255, 255, 300, 0}, {10, 0, 0, 1}),
     "Invalid subnet mask address in 3rd digit. It should be 0-255.", AddressField::Netmask, 2, "10.0.0.2/-/-"},
    {"gateway octet", In({10, 0, 0, 2}, {255, 0, 0, 0}, {10, 0, 256, 1}),
     "Invalid gateway IP address in 3rd digit. It should be 0-255.", AddressField::Gateway, 2, "10.0.0.2/255.0.0.0/-"},
    {"gateway octet before netmask shape", In({10, 0, 0, 2}, {255, 0, 255, 0}, {0, 0, 0, 1}),
     "Invalid gateway IP address in 1st digit. It should be 1-223.", AddressField::Gateway, 0,
     "10.0.0.2/255.0.255.0/-"},
    {"netmask shape", In({10, 0, 0, 2}, {255, 0, 255, 0}, {10, 0, 0, 1}),
     "Netmask address input invalid. Please try again.", AddressField::Netmask, 0, "10.0.0.2/255.0.255.0/-"},
    {"blank gateway refused", In({10, 0, 0, 2}, {255, 0, 0, 0}, {}, false, false, true),
     "You enter incorrect TCP/IP configuration. Please try again.", AddressField::Gateway, 0, "10.0.0.2/255.0.0.0/-"},
    {"gateway outside", In({192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 1, 1}),
     "You enter incorrect TCP/IP configuration. Please try again.", AddressField::Gateway, 0,
     "192.168.0.10/255.255.255.0/-"},
    {"link-local blank gateway", In({169, 254, 7, 8}, {255, 255, 0, 0}, {}, false, false, true), "", AddressField::None,
     -1, "169.254.7.8/255.255.0.0/"},
    {"link-local gateway unchecked", In({169, 254, 7, 8}, {255, 255, 0, 0}, {0, 9, 9, 9}), "", AddressField::None, -1,
     "169.254.7.8/255.255.0.0/0.9.9.9"},
    {"link-local 0.0.0.0 is no gateway", In({169, 254, 7, 8}, {255, 255, 0, 0}, {}), "", AddressField::None, -1,
     "169.254.7.8/255.255.0.0/"},
    {"link-local gateway out of range", In({169, 254, 7, 8}, {255, 255, 0, 0}, {10, 0, 0, 256}),
     "Invalid gateway IP address in 4th digit. It should be 0-255.", AddressField::Gateway, 3,
     "169.254.7.8/255.255.0.0/-"},
    {"address is the broadcast", In({192, 168, 0, 255}, {255, 255, 255, 0}, {192, 168, 0, 1}),
     "You enter incorrect TCP/IP configuration. Please try again.", AddressField::Ip, 3,
     "192.168.0.255/255.255.255.0/-"},
    {"address is the network", In({10, 0, 0, 0}, {255, 255, 255, 0}, {10, 0, 0, 1}),
     "You enter incorrect TCP/IP configuration. Please try again.", AddressField::Ip, 3, "10.0.0.0/255.255.255.0/-"},
    {"host .0 in a wider subnet", In({10, 0, 1, 0}, {255, 255, 0, 0}, {10, 0, 0, 1}), "", AddressField::None, -1,
     "10.0.1.0/255.255.0.0/10.0.0.1"},
};

TEST(CheckStaticAddress, ChecksInWindowOrder)
{
    for (const PlanCase &c : planCases)
    {
        SCOPED_TRACE(c.name);
        const StaticAddressPlan plan = CheckStaticAddress(c.input);
        EXPECT_EQ(plan.ok, c.message.empty());
        EXPECT_EQ(std::string(plan.message.text), c.message);
        EXPECT_EQ(plan.focusField, c.field);
        EXPECT_EQ(plan.focusOctet, c.octet);
        // Only the octet rules move the focus; the others name a field but leave the focus alone.
        EXPECT_EQ(PointsAtOctet(plan), c.message.find("digit") != std::string::npos);
        EXPECT_EQ(plan.newIp.value_or("-") + "/" + plan.newNetmask.value_or("-") + "/" + plan.newGateway.value_or("-"),
                  c.stored);
    }
}

TEST(CheckStaticAddress, CaptionsAndIconsFollowTheMessage)
{
    const StaticAddressPlan blank = CheckStaticAddress(In({}, {}, {}, true, true, true));
    EXPECT_EQ(blank.message.caption, "Warning");
    EXPECT_EQ(blank.message.icon, MessageIcon::Exclamation);
    const StaticAddressPlan shape = CheckStaticAddress(In({10, 0, 0, 2}, {255, 0, 255, 0}, {10, 0, 0, 1}));
    EXPECT_EQ(shape.message.caption, "Error");
    EXPECT_EQ(shape.message.icon, MessageIcon::Stop);
}

// A missing or empty text is a blank field; a number above 255 is the octet rules' to name. The fields after
// a refused text are not read.
TEST(ReadStaticAddressInput, BlankFieldsOctetsAndTheFirstTextThatIsNoAddress)
{
    const std::optional<std::string> none;
    const struct
    {
        std::optional<std::string> ip, netmask, gateway;
        AddressField refused;
        StaticAddressInput input;
    } cases[] = {
        {"10.0.0.6", "", none, AddressField::None, In({10, 0, 0, 6}, {}, {}, false, true, true)},
        {"10.0.0.300", "255.0.0.0", "0.0.0.0", AddressField::None, In({10, 0, 0, 300}, {255, 0, 0, 0}, {})},
        {none, "255.0.0.0", "router", AddressField::Gateway, In({}, {255, 0, 0, 0}, {}, true)},
        {"nas", "mask", none, AddressField::Ip, In({}, {}, {})},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.ip.value_or("-") + " " + c.netmask.value_or("-") + " " + c.gateway.value_or("-"));
        const AddressTextsReading r = ReadStaticAddressInput(c.ip, c.netmask, c.gateway);
        EXPECT_EQ(r.refused, c.refused);
        EXPECT_EQ(r.input, c.input);
    }
}

TEST(IsDhcpChoice, ExactEnableOnly)
{
    EXPECT_TRUE(IsDhcpChoice("Enable"));
    EXPECT_FALSE(IsDhcpChoice("enable"));
    EXPECT_FALSE(IsDhcpChoice("Disable"));
    EXPECT_FALSE(IsDhcpChoice(""));
}

} // namespace
