#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "protocol/ProtocolState.h"

// Where an exchange reads its datagrams from; sockets in the program, a scripted fake in tests.
class DatagramSource
{
public:
    virtual ~DatagramSource() = default;
    // True when a datagram can be received within `timeout`.
    virtual bool WaitReadable(std::chrono::microseconds timeout) = 0;
    // Receives one datagram into kPacketBufferSize + 1 bytes and appends a NUL; its length, or -1 on failure.
    virtual long Receive(std::uint8_t *buffer) = 0;
    virtual void Pause(std::chrono::milliseconds duration) = 0;
    virtual std::chrono::steady_clock::time_point Now() = 0;
    // Sends a request to the group from this source's interface. A source that only listens sends nothing.
    virtual bool Send(const std::uint8_t *data, std::size_t length)
    {
        (void)data;
        (void)length;
        return false;
    }
};

// Interface i's sender socket and pair of receiver sockets, with real sleeps and the monotonic clock.
class SocketSource final : public DatagramSource
{
public:
    explicit SocketSource(int interfaceIndex);
    bool WaitReadable(std::chrono::microseconds timeout) override;
    long Receive(std::uint8_t *buffer) override;
    void Pause(std::chrono::milliseconds duration) override;
    std::chrono::steady_clock::time_point Now() override;
    bool Send(const std::uint8_t *data, std::size_t length) override;

private:
    int m_interfaceIndex;
    ReceiverSocket m_receiver;
};

// The source every search and device operation on interface i uses: g_ProtocolState.sourceFactory's when one
// is set (tests script the datagrams and the clock), else the interface's sockets. Never null.
std::unique_ptr<DatagramSource> OpenDatagramSource(int interfaceIndex);

// Match rule of an exchange: the awaited opcode, the address text the reply must carry (null: any), and the
// shortest reply that holds everything the operation reads (shorter ones count as failed polls).
struct ReplyRule
{
    std::uint8_t opcode = 0;
    const char *matchIp = nullptr;
    std::size_t minLength = 21;
};

inline constexpr std::chrono::milliseconds kPollWait{10};
inline constexpr std::chrono::milliseconds kPollPause{100};
inline constexpr std::chrono::milliseconds kDrainWait{10};
inline constexpr int kDeadlineFactor = 3;

// Nominal duration of an exchange with `drainCount` drain waits and failed-poll limit `limit`.
std::chrono::milliseconds NominalExchangeTime(int drainCount, int limit);

// Discards up to `count` waiting datagrams, waiting at most 10 ms for each.
void Drain(DatagramSource &source, int count);

// Polls for the reply: returns its length (the reply is in `buffer`, kPacketBufferSize + 1 bytes), or 0 when
// the failed polls exceeded `limit` or `deadline` passed.
long AwaitReply(DatagramSource &source, const ReplyRule &rule, int limit,
                std::chrono::steady_clock::time_point deadline, std::uint8_t *buffer);

// The search's listening: `polls` waits of `wait` each; every datagram received ends a poll and goes to
// `handle`; failed receives do not count. Ends at `deadline` at the latest.
template <typename Handler>
void PollSearchReplies(DatagramSource &source, int polls, std::chrono::microseconds wait,
                       std::chrono::steady_clock::time_point deadline, std::uint8_t *buffer, Handler handle)
{
    for (int poll = 0; poll < polls && source.Now() < deadline;)
    {
        if (!source.WaitReadable(wait))
        {
            ++poll;
            continue;
        }
        const long length = source.Receive(buffer);
        if (length < 0)
            continue;
        handle(buffer, static_cast<std::size_t>(length));
        ++poll;
    }
}
