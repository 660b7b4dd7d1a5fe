#include "Runner.h"

#include "RequestLog.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>

namespace izuzez::devsim
{
namespace
{

constexpr int kMaxDatagramsPerWake = 256; // keeps a flood on one socket from starving the others
constexpr std::size_t kMaxUdpPayload = 65507;
constexpr std::size_t kMaxPending = 1000000; // a flood configured on searches must not eat all memory

bool IsRequestOpcode(std::span<const std::uint8_t> bytes)
{
    return !bytes.empty() && (bytes[0] == kSearchRequest || bytes[0] == kQueryRequest || bytes[0] == kSettingRequest);
}

} // namespace

void LogSink::Always(const std::string &line) const
{
    std::fprintf(out, "%s\n", line.c_str());
    std::fflush(out);
}

void LogSink::Detail(const std::string &line) const
{
    if (!quiet)
        Always(line);
}

std::unique_ptr<Runner> Runner::Create(std::vector<DeviceConfig> devices, std::string &error)
{
    std::unique_ptr<Runner> runner(new Runner());
    for (DeviceConfig &device : devices)
    {
        std::vector<std::string> resolved;
        for (const std::string &where : device.listen)
        {
            const std::optional<ListenPoint> point = ResolveListen(where, error);
            if (!point)
            {
                error = "device \"" + device.name + "\": " + error;
                return nullptr;
            }
            if (std::find(resolved.begin(), resolved.end(), point->address) == resolved.end())
                resolved.push_back(point->address);
            runner->m_points.emplace(point->address, *point);
        }
        device.listen = std::move(resolved);
    }
    for (const auto &[address, point] : runner->m_points)
    {
        auto same = std::find_if(runner->m_interfaces.begin(), runner->m_interfaces.end(),
                                 [ifindex = point.ifindex](const Interface &i) { return i.point.ifindex == ifindex; });
        if (same != runner->m_interfaces.end())
        {
            same->addresses.push_back(address);
            continue;
        }
        std::optional<FileDescriptor> socket = OpenGroupSocket(point, error);
        if (!socket)
            return nullptr;
        runner->m_interfaces.push_back(Interface{point, std::move(*socket), {address}});
    }
    std::optional<FileDescriptor> sender = OpenSenderSocket(error);
    if (!sender)
        return nullptr;
    runner->m_sender = std::move(*sender);
    runner->m_simulator = std::make_unique<Simulator>(std::move(devices));
    return runner;
}

void Runner::WriteBanner(const LogSink &log) const
{
    for (const Device &device : m_simulator->Devices())
    {
        const DeviceConfig &config = device.config;
        std::string listen;
        for (const std::string &address : config.listen)
            listen += (listen.empty() ? "" : ",") + address;
        std::string kinds;
        for (const int kind : config.kinds)
            kinds += (kinds.empty() ? "" : ",") + std::to_string(kind);
        log.Detail("device name=\"" + ToPrintable(AsBytes(config.name)) + "\" address=" + FormatIpv4(config.address) +
                   " uuid=" + ToHex(device.CurrentUuid()) + " kind=" + kinds + " listen=" + listen +
                   " reply=" + (config.replyTo == ReplyDestination::Group ? "group" : "unicast"));
    }
    std::string interfaces;
    for (const Interface &interface : m_interfaces)
        interfaces += (interfaces.empty() ? "" : ",") + interface.point.ifname;
    log.Always("ready port=" + std::to_string(kProtocolPort) + " group=" + kGroupAddress +
               " devices=" + std::to_string(m_simulator->Devices().size()) + " interfaces=" + interfaces);
}

void Runner::Run(const LogSink &log, int stopFd, std::optional<std::chrono::milliseconds> duration)
{
    WriteBanner(log);
    const auto deadline = duration ? std::optional(Clock::now() + *duration) : std::nullopt;
    std::vector<pollfd> fds;
    for (const Interface &interface : m_interfaces)
        fds.push_back({interface.socket.Get(), POLLIN, 0});
    fds.push_back({stopFd, POLLIN, 0});
    for (;;)
    {
        const auto now = Clock::now();
        if (deadline && now >= *deadline)
            return;
        auto wake = now + std::chrono::milliseconds(500);
        if (!m_schedule.empty())
            wake = std::min(wake, m_schedule.begin()->first);
        if (deadline)
            wake = std::min(wake, *deadline);
        const auto waitMs = std::chrono::ceil<std::chrono::milliseconds>(std::max(wake - now, Clock::duration{0}));
        const int ready = poll(fds.data(), fds.size(), static_cast<int>(waitMs.count()));
        if (ready < 0 && errno != EINTR)
        {
            log.Always("error poll failed");
            return;
        }
        if (ready > 0 && fds.back().revents != 0)
            return;
        for (std::size_t i = 0; ready > 0 && i < m_interfaces.size(); ++i)
            if (fds[i].revents & POLLIN)
                ReceiveFrom(m_interfaces[i], log);
        SendDue(log);
    }
}

void Runner::ReceiveFrom(Interface &interface, const LogSink &log)
{
    for (int i = 0; i < kMaxDatagramsPerWake; ++i)
    {
        std::optional<Received> received = ReceiveDatagram(interface.socket.Get());
        if (!received)
            return;
        // Replies on the group, our own looped-back ones included, are not requests.
        if (!IsRequestOpcode(received->bytes))
            continue;
        const auto now = Clock::now();
        log.Detail(FormatRequestLine(LogTimestamp(), received->source, received->port, interface.addresses.front(),
                                     received->bytes));
        for (Outgoing &outgoing : m_simulator->Handle(received->bytes, received->source, interface.addresses))
        {
            if (m_schedule.size() >= kMaxPending)
            {
                log.Always("warning reply queue full, reply of device=\"" + ToPrintable(AsBytes(outgoing.device)) +
                           "\" dropped");
                continue;
            }
            const auto due = now + std::chrono::milliseconds(outgoing.delayMs);
            m_schedule.emplace(due, std::move(outgoing));
        }
    }
}

void Runner::SendDue(const LogSink &log)
{
    const auto now = Clock::now();
    while (!m_schedule.empty() && m_schedule.begin()->first <= now)
    {
        const Outgoing outgoing = std::move(m_schedule.begin()->second);
        m_schedule.erase(m_schedule.begin());
        std::string error;
        bool sent = false;
        if (outgoing.bytes.size() > kMaxUdpPayload)
            error = "datagram too large for UDP";
        else if (outgoing.toGroup)
            sent = SendToGroup(m_sender.Get(), m_points.at(outgoing.via), outgoing.bytes, error);
        else
            sent = SendUnicast(m_sender.Get(), outgoing.unicastTo, outgoing.bytes, error);
        if (sent)
            log.Detail(FormatSendLine(LogTimestamp(), outgoing, kProtocolPort));
        else
            log.Always("warning device=\"" + ToPrintable(AsBytes(outgoing.device)) + "\" " + error);
    }
}

} // namespace izuzez::devsim
