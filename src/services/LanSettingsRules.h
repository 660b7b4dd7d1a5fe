#pragma once

// Rules of the LAN settings (static address or DHCP) shared by the main window and the command line.
// Plain functions over octet arrays; they decide and return the user's message, the caller shows it.

#include <array>
#include <optional>
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

    bool operator==(const StaticAddressInput &) const = default;
};

// The three fields read from texts (the command line's options): a missing or empty text is a blank field.
// The first text that is not an address at all is refused; a number above 255 is left to the octet rules.
struct AddressTextsReading
{
    StaticAddressInput input;
    AddressField refused = AddressField::None;
};
AddressTextsReading ReadStaticAddressInput(const std::optional<std::string> &ip,
                                           const std::optional<std::string> &netmask,
                                           const std::optional<std::string> &gateway);

// One stage of the static path. When it passes, `text` is what the window stores at that point (newIp,
// newNetmask or newGateway); when it refuses, the message and the octet to focus.
struct StageCheck
{
    bool ok = false;
    LanMessage message;
    AddressField focusField = AddressField::None;
    int focusOctet = -1;
    std::string text;
};

// The stages of the static path in the window's order. Each assumes that the ones before it passed; the
// window stores each stage's text before it runs the next, so a later refusal keeps the earlier texts.
// Blank IP or netmask field, 127.x.x.x, then the IP octets; passes with newIp.
StageCheck CheckIpStage(const StaticAddressInput &input);
// The netmask octets; passes with newNetmask. Its shape is checked in the gateway stage.
StageCheck CheckNetmaskStage(const StaticAddressInput &input);
// The gateway octets (skipped for 169.254.x.x), the netmask's shape, the gateway's fit and the address's own
// place in its subnet; passes with newGateway (empty for a blank or 0.0.0.0 gateway).
StageCheck CheckGatewayStage(const StaticAddressInput &input);

// All stages at once, for callers that act only when every check passes (the command line).
struct StaticAddressPlan
{
    bool ok = false;
    LanMessage message;
    AddressField focusField = AddressField::None;
    int focusOctet = -1;
    // Each is set as soon as its stage passes, also when a later stage refuses.
    std::optional<std::string> newIp;
    std::optional<std::string> newNetmask;
    std::optional<std::string> newGateway;
};

// The checks of the static path in the window's order, up to the point where the password is proved.
StaticAddressPlan CheckStaticAddress(const StaticAddressInput &input);

// True when the plan refused on an octet rule: the window then puts the focus on plan.focusOctet of
// plan.focusField. Other refusals name a field too, but leave the focus where it is.
bool PointsAtOctet(const StaticAddressPlan &plan);

// True for "Enable", the DHCP choice of the "Receive DHCP" combo (exact, case-sensitive).
bool IsDhcpChoice(std::string_view comboText);

} // namespace izuzez::services
