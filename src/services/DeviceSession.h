#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace izuzez::services
{

// What a device answers on its own, one exchange each; the command line names them by its query words.
enum class QueryKind
{
    Shares,
    Ssl,
    Workgroup,
    Codepage,
    Ideok,
    ShareName,
    BtFirmware,
    Domain,
};

// The query words, as the command line takes them ("shares", "bt_firmware", ...), in their order.
std::optional<QueryKind> QueryKindFromName(std::string_view name);
std::string_view QueryKindName(QueryKind kind);
std::vector<std::string> QueryKindNames();

// The most a search waits for quiet, and the longest a waiting search listens in all.
inline constexpr int kWaitLimitMs = 5000;
// The quiet after which the doctor, and the window on a busy interface, stop listening.
inline constexpr int kSearchQuietMs = 300;

// One device of a search, as both faces show it. Texts are the device's bytes.
struct FoundDevice
{
    std::string name;
    std::string ip;
    std::string netmask;
    std::string gateway;
    bool dhcp = false;
    std::string uuid; // 20 lowercase hex digits
    std::string model;
    std::string mac;
    std::string hwVersion;
    std::string swVersion;
    std::string interfaceAddress; // the local address the device answered on
    std::string outsideNetwork;   // the interface's network ("10.0.0.0/24") when the device lies outside it
};

// The protocol layer as both faces use it: search, select by IP text, then one exchange at a time.
class DeviceSession
{
public:
    virtual ~DeviceSession() = default;
    virtual std::vector<FoundDevice> Search() = 0;
    // A search that listens until no reply came for `quiet`, so that no device of a large network is left out.
    virtual std::vector<FoundDevice> SearchUntilQuiet(std::chrono::milliseconds quiet)
    {
        (void)quiet;
        return Search();
    }
    // Makes the device with this IP text the selected one. False when the last search did not list it.
    virtual bool Select(const std::string &ip) = 0;
    // The device's verdict: non-zero accepts.
    virtual int CheckAdminPassword(std::string_view userName, std::string_view password) = 0;
    // The answer, split into lines for the share list. False when the device did not answer.
    virtual bool Query(QueryKind kind, std::vector<std::string> &answer) = 0;
    virtual bool SetStaticAddress(const std::string &ip, const std::string &netmask, const std::string &gateway) = 0;
    // On success, the address the device answered from.
    virtual bool SetDhcp(std::string &answeredIp) = 0;
    // The longest password the session can carry.
    virtual std::size_t PasswordLimit() const = 0;
};

// The device a search listed with this IP text; null when none.
const FoundDevice *FindByIp(const std::vector<FoundDevice> &devices, std::string_view ip);

// Searches and selects the device by its IP text, as a click in the window's list does. False when the search
// did not list it; `name`, when given, receives the listed device's name.
bool SearchAndSelect(DeviceSession &session, const std::string &ip, std::string *name = nullptr);

} // namespace izuzez::services
