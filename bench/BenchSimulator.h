#pragma once

// The device simulator as a child process for the benchmarks, with n devices on loopback.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "platform/RunProcess.h"
#include "protocol/Endpoints.h"
#include "protocol/ProtocolState.h"

namespace bench
{

using namespace std::chrono_literals;

inline std::string ProgramDir()
{
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
}

// n devices at 127.1.x.y, all listening on 127.0.0.1, answering with full replies; with a spread, device i
// answers i * spreadMs / n later than the first.
inline std::string DevicesJson(int n, int spreadMs = 0)
{
    std::string json = R"({"listen": "127.0.0.1", "devices": [)";
    for (int i = 0; i < n; ++i)
    {
        const std::string ip = "127.1." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1);
        json += (i ? "," : "") + std::string(R"({"name": "Bench-)") + std::to_string(i) + R"(", "address": ")" + ip +
                R"(", "netmask": "255.0.0.0", "ssl": "0", "kind": 8, "model": "NS-B", "reply_delay_ms": )" +
                std::to_string(static_cast<long long>(spreadMs) * i / n) + "}";
    }
    return json + "]}";
}

// The simulator as a child process, stopped by its pid.
class Simulator
{
public:
    explicit Simulator(int devices, int spreadMs = 0)
    {
        if (devices == 0)
            return;
        m_dir = std::filesystem::temp_directory_path() / ("izuzez-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
        const std::string config = (m_dir / "devices.json").string();
        const std::string log = (m_dir / "devsim.log").string();
        std::ofstream(config) << DevicesJson(devices, spreadMs);
        const std::string program = ProgramDir() + "/izuzez-devsim";
        const izuzez::platform::ProcessStart start = izuzez::platform::StartProcess(
            {program, "--config", config, "--log", log, "--quiet"}, izuzez::platform::StartMode::Kept);
        if (start.error != 0)
            return;
        m_pid = start.pid;
        for (int i = 0; i < 1000; ++i)
        {
            std::ifstream in(log);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (text.find("ready ") != std::string::npos)
                return;
            std::this_thread::sleep_for(10ms);
        }
        std::fprintf(stderr, "izuzez-bench: the simulator did not report ready\n");
    }
    ~Simulator()
    {
        izuzez::platform::StopProcess(m_pid, std::chrono::seconds(5));
        std::error_code ec;
        if (!m_dir.empty())
            std::filesystem::remove_all(m_dir, ec);
    }

private:
    int m_pid = -1;
    std::filesystem::path m_dir;
};

// Empties the receiver sockets of interface 0 once `late` passed, so that late replies of one search do not
// count for the next.
inline void DrainReplies(std::chrono::milliseconds late = 200ms)
{
    std::this_thread::sleep_for(late);
    std::uint8_t buffer[kPacketBufferSize + 1];
    const ReceiverSocket &receiver = g_ProtocolState.receiverSocket[0];
    for (int i = 0; i < 100000 && WaitReadable(receiver, 1ms); ++i)
        ReceiveDatagram(receiver, buffer);
}

} // namespace bench
