#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "protocol/Exchange.h"

namespace izuzez::test
{

using Clock = std::chrono::steady_clock;
using Datagram = std::optional<std::vector<std::uint8_t>>; // empty: a receive that fails

// The device side of scripted exchanges on a fake clock, and what the exchanges did. Several sources (one
// per exchange an operation opens) may share one script.
struct Script
{
    std::deque<Datagram> waiting; // readable from the start: leftovers of earlier exchanges
    std::deque<Datagram> answer;  // readable once a request is sent
    // Readable this long after the first request, in order of time.
    std::deque<std::pair<std::chrono::microseconds, Datagram>> later;
    std::function<Datagram()> flood;        // more datagrams whenever nothing else waits
    bool floodAfterRequest = false;         // the flood starts only once a request is sent
    std::chrono::microseconds readyCost{1}; // fake time a readable wait takes
    Clock::time_point now{};
    Clock::time_point sentAt{};
    std::vector<std::vector<std::uint8_t>> sent;
    int sources = 0, waits = 0, waitsBeforeSend = 0, pauses = 0;
};

class ScriptedSource final : public DatagramSource
{
public:
    explicit ScriptedSource(Script &script) : m_script(script) {}

    bool WaitReadable(std::chrono::microseconds timeout) override
    {
        ++m_script.waits;
        if (m_script.sent.empty())
            ++m_script.waitsBeforeSend;
        // The wait ends early when a later datagram becomes due within it.
        auto &later = m_script.later;
        const auto due = [&] { return m_script.sentAt + later.front().first; };
        if (!m_script.sent.empty() && m_script.waiting.empty() && !later.empty() && due() <= m_script.now + timeout)
            m_script.now = std::max(m_script.now, due());
        for (; !m_script.sent.empty() && !later.empty() && due() <= m_script.now; later.pop_front())
            m_script.waiting.push_back(std::move(later.front().second));
        if (m_script.waiting.empty() && m_script.flood && (!m_script.floodAfterRequest || !m_script.sent.empty()))
            m_script.waiting.push_back(m_script.flood());
        if (m_script.waiting.empty())
        {
            m_script.now += timeout;
            return false;
        }
        m_script.now += m_script.readyCost;
        return true;
    }
    long Receive(std::uint8_t *buffer) override
    {
        if (m_script.waiting.empty())
            return -1;
        const Datagram item = std::move(m_script.waiting.front());
        m_script.waiting.pop_front();
        if (!item)
            return -1;
        std::copy(item->begin(), item->end(), buffer);
        buffer[item->size()] = 0;
        return static_cast<long>(item->size());
    }
    void Pause(std::chrono::milliseconds duration) override
    {
        ++m_script.pauses;
        m_script.now += duration;
    }
    Clock::time_point Now() override { return m_script.now; }
    bool Send(const std::uint8_t *data, std::size_t length) override
    {
        if (m_script.sent.empty())
            m_script.sentAt = m_script.now;
        m_script.sent.emplace_back(data, data + length);
        for (Datagram &item : m_script.answer)
            m_script.waiting.push_back(std::move(item));
        m_script.answer.clear();
        return true;
    }

private:
    Script &m_script;
};

} // namespace izuzez::test
