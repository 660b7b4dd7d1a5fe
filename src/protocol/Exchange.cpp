#include "protocol/Exchange.h"

#include <cstring>
#include <thread>

#include "protocol/Endpoints.h"
#include "protocol/Packets.h"

SocketSource::SocketSource(int interfaceIndex)
    : m_interfaceIndex(interfaceIndex), m_receiver(interfaceIndex >= 0 && interfaceIndex < kInterfaceLimit
                                                       ? g_ProtocolState.receiverSocket[interfaceIndex]
                                                       : ReceiverSocket{})
{
}

bool SocketSource::WaitReadable(std::chrono::microseconds timeout)
{
    return ::WaitReadable(m_receiver, timeout);
}

long SocketSource::Receive(std::uint8_t *buffer)
{
    return ReceiveDatagram(m_receiver, buffer);
}

void SocketSource::Pause(std::chrono::milliseconds duration)
{
    std::this_thread::sleep_for(duration);
}

std::chrono::steady_clock::time_point SocketSource::Now()
{
    return std::chrono::steady_clock::now();
}

bool SocketSource::Send(const std::uint8_t *data, std::size_t length)
{
    return SendToGroup(m_interfaceIndex, data, length);
}

std::unique_ptr<DatagramSource> OpenDatagramSource(int interfaceIndex)
{
    const DatagramSourceFactory &factory = g_ProtocolState.sourceFactory;
    if (factory)
    {
        if (std::unique_ptr<DatagramSource> source = factory(interfaceIndex))
            return source;
    }
    return std::make_unique<SocketSource>(interfaceIndex);
}

std::chrono::milliseconds NominalExchangeTime(int drainCount, int limit)
{
    return drainCount * kDrainWait + (limit + 1) * kPollWait + limit * kPollPause;
}

void Drain(DatagramSource &source, int count)
{
    std::uint8_t discard[kPacketBufferSize + 1];
    for (int i = 0; i < count; ++i)
    {
        if (source.WaitReadable(kDrainWait))
            source.Receive(discard);
    }
}

long AwaitReply(DatagramSource &source, const ReplyRule &rule, int limit,
                std::chrono::steady_clock::time_point deadline, std::uint8_t *buffer)
{
    int failedPolls = 0;
    while (source.Now() < deadline)
    {
        if (source.WaitReadable(kPollWait))
        {
            const long length = source.Receive(buffer);
            // Failed receives and other opcodes do not count; only the deadline bounds them.
            if (length <= 0 || buffer[0] != rule.opcode)
                continue;
            const auto size = static_cast<std::size_t>(length);
            char address[16];
            if (size >= rule.minLength && IsOwnReply(buffer, size) && ReplyAddressText(buffer, size, address) &&
                (rule.matchIp == nullptr || std::strncmp(address, rule.matchIp, sizeof address) == 0))
                return length;
        }
        if (++failedPolls > limit)
            return 0;
        source.Pause(kPollPause);
    }
    return 0;
}
