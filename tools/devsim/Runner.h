#pragma once

#include "GroupSocket.h"
#include "Simulator.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace izuzez::devsim
{

struct LogSink
{
    std::FILE *out = stderr;
    bool quiet = false; // only the ready line, warnings and errors

    void Always(const std::string &line) const;
    void Detail(const std::string &line) const;
};

// Owns the sockets and the reply schedule around a Simulator.
class Runner
{
public:
    // Resolves every device's listen entries and opens one group socket per interface.
    static std::unique_ptr<Runner> Create(std::vector<DeviceConfig> devices, std::string &error);

    // Serves until `stopFd` becomes readable or `duration` has passed. Writes the device lines and
    // the "ready" line first.
    void Run(const LogSink &log, int stopFd, std::optional<std::chrono::milliseconds> duration);

private:
    struct Interface
    {
        ListenPoint point;
        FileDescriptor socket;
        std::vector<std::string> addresses;
    };
    using Clock = std::chrono::steady_clock;

    Runner() = default;
    void ReceiveFrom(Interface &interface, const LogSink &log);
    void SendDue(const LogSink &log);
    void WriteBanner(const LogSink &log) const;

    std::unique_ptr<Simulator> m_simulator;
    std::vector<Interface> m_interfaces;
    std::map<std::string, ListenPoint> m_points; // by listen address
    FileDescriptor m_sender;
    std::multimap<Clock::time_point, Outgoing> m_schedule;
};

} // namespace izuzez::devsim
