#pragma once

#include "Device.h"

#include <span>
#include <string>
#include <vector>

namespace izuzez::devsim
{

struct Outgoing
{
    Bytes bytes;
    bool toGroup = true;
    Ipv4 unicastTo{};   // the asking host, when !toGroup
    std::string via;    // local address the device listens on; the group send goes out there
    int delayMs = 0;    // after the request arrived
    std::string device; // name, for the log
    std::string note;   // "reply", "duplicate", "flood", "malformed:short", ...
};

// Answers requests as every configured device would. No sockets: the caller delivers datagrams and
// sends what comes back.
class Simulator
{
public:
    explicit Simulator(std::vector<DeviceConfig> devices);

    // `listenAddresses` are the local addresses of the socket the datagram arrived on; only devices
    // listening on one of them answer.
    std::vector<Outgoing> Handle(std::span<const std::uint8_t> datagram, const Ipv4 &source,
                                 const std::vector<std::string> &listenAddresses);

    const std::vector<Device> &Devices() const { return m_devices; }

private:
    std::vector<Outgoing> Answer(Device &device, const Request &request, const Ipv4 &source, const std::string &via);
    Bytes SearchReply(const Device &device, int kind, const ClientId &clientId) const;
    static SearchReplyFields SearchFields(const Device &device);
    static Uuid ReplyUuid(const Device &device);
    std::optional<Bytes> QueryAnswer(Device &device, const Request &request) const;
    bool ApplySetting(Device &device, const Request &request) const;

    std::vector<Device> m_devices;
};

// Query sub-command 4: "user" 0x55 0xAA "password". Returns the verdict byte.
std::uint8_t PasswordVerdict(const DeviceConfig &device, std::span<const std::uint8_t> payload);

} // namespace izuzez::devsim
