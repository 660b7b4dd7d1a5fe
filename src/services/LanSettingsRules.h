#pragma once

// Rules of the LAN settings (static address or DHCP) shared by the main window and the command line.
// Plain functions over octet arrays; they decide and return the user's message, the caller shows it.

#include <array>
#include <string>
#include <string_view>

namespace izuzez::services
{

using Octets = std::array<int, 4>;

enum class OctetKind
{
    Ip = 1,
    Netmask = 2,
    Gateway = 3,
};

enum class MessageIcon
{
    None,
    Stop,
    Exclamation,
    Information,
};

struct LanMessage
{
    std::string_view text;
    std::string_view caption;
    MessageIcon icon = MessageIcon::None;

    bool empty() const { return text.empty(); }
};

// The user-visible texts, exactly as the window shows them.
namespace lanmsg
{
inline constexpr std::string_view kCaptionError = "Error";
inline constexpr std::string_view kCaptionWarning = "Warning";
inline constexpr std::string_view kCaptionConfirm = "Confirm";

inline constexpr LanMessage kSelectDevice{"Please select a device in the above section.", kCaptionError,
                                          MessageIcon::Stop};
inline constexpr LanMessage kInputIp{"Please input IP address!", kCaptionWarning, MessageIcon::Exclamation};
inline constexpr LanMessage kInputNetmask{"Please input net mask address!", kCaptionWarning, MessageIcon::Exclamation};
inline constexpr LanMessage kIpInputError{"IP address input error. Please try again.", kCaptionWarning,
                                          MessageIcon::Exclamation};
inline constexpr LanMessage kNetmaskInvalid{"Netmask address input invalid. Please try again.", kCaptionError,
                                            MessageIcon::Stop};
inline constexpr LanMessage kWrongTcpIp{"You enter incorrect TCP/IP configuration. Please try again.", kCaptionError,
                                        MessageIcon::Stop};
inline constexpr LanMessage kWrongPassword{"Wrong administrator password input!", kCaptionError, MessageIcon::Stop};
inline constexpr LanMessage kDhcpFailed{"Set to dhcp client fail.", kCaptionError, MessageIcon::Stop};
inline constexpr LanMessage kDhcpEnabled{"DHCP client enabled.", kCaptionConfirm, MessageIcon::Information};
} // namespace lanmsg

// The administrator account that the password proof uses.
inline constexpr std::string_view kAdminUserName = "admin";
// The Login dialog takes at most this many characters per field.
inline constexpr std::size_t kCredentialLimit = 16;

struct OctetCheck
{
    bool ok = true;
    int octetIndex = -1; // the offending octet (0 to 3) when !ok, for the caller to focus
    LanMessage message;
};

// Octet rules per kind, first failing octet decides. A blank gateway field passes at once.
// Negative octets fail like values above 255: "%d" would otherwise put a minus sign into the address text.
OctetCheck ValidateOctets(OctetKind kind, const Octets &octets, bool blank = false);

// 0 when the netmask is a run of leading ones with a non-zero first octet, -1 otherwise. The IP is not used.
int CheckNetmask(const Octets &ip, const Octets &netmask);

// 1 when the gateway is the network or broadcast address or lies outside the address's subnet; 0 otherwise.
// Link-local 169.254.x.x addresses need no gateway and always give 0.
int IsWrongTcpIpConfig(const Octets &ip, const Octets &netmask, const Octets &gateway);

// 1 when the address itself is its subnet's network or broadcast address (masks with at least two host bits),
// which a device cannot use; 0 otherwise.
int IsSubnetEdgeAddress(const Octets &ip, const Octets &netmask);

// "%d.%d.%d.%d".
std::string DottedText(const Octets &octets);
// The gateway as the device is told it: empty for 0.0.0.0.
std::string GatewayText(const Octets &gateway);

enum class AddressField
{
    None,
    Ip,
    Netmask,
    Gateway,
};

// What the three address fields hold. A blank field reads 0.0.0.0.
struct StaticAddressInput
{
    Octets ip{};
    Octets netmask{};
    Octets gateway{};
    bool ipBlank = false;
    bool netmaskBlank = false;
    bool gatewayBlank = false;
};

// The outcome of the static-address checks: either the three texts to send, or the message and the octet to focus.
struct StaticAddressPlan
{
    bool ok = false;
    LanMessage message;
    AddressField focusField = AddressField::None;
    int focusOctet = -1;
    std::string newIp;
    std::string newNetmask;
    std::string newGateway;
};

// All checks of the static path in the window's order, up to the point where the password is proved.
StaticAddressPlan CheckStaticAddress(const StaticAddressInput &input);

// True for "Enable", the DHCP choice of the "Receive DHCP" combo (exact, case-sensitive).
bool IsDhcpChoice(std::string_view comboText);

} // namespace izuzez::services
