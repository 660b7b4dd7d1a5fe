#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "support/Process.h"

namespace izuzez::test
{

// A private network made of namespaces that only this test run owns:
//
//   host namespace               lan namespace (the simulator)
//   hA 10.71.1.1/24  <-- veth -->  lA 10.71.1.2/24
//   hB 10.71.2.1/24  <-- veth -->  lB 10.71.2.2/24
//
// hA is created first, so the program lists it first. Namespaces are deleted when the object goes.
class Lab
{
public:
    static constexpr const char *kHostA = "10.71.1.1";
    static constexpr const char *kHostB = "10.71.2.1";
    static constexpr const char *kLanA = "10.71.1.2";
    static constexpr const char *kLanB = "10.71.2.2";

    // Null with the reason when the namespaces cannot be made (not root, no `ip netns`).
    static std::unique_ptr<Lab> Create(std::string &reason);
    ~Lab();
    Lab(const Lab &) = delete;
    Lab &operator=(const Lab &) = delete;

    const std::string &host() const { return m_host; }
    // The namespace of the simulator (and of servers that stand for the devices).
    const std::string &lan() const { return m_lan; }

    // The izuzez command line run in the host namespace.
    RunResult Izuzez(const std::vector<std::string> &args, std::chrono::milliseconds limit = std::chrono::seconds(10),
                     const std::string &input = "") const;
    std::vector<std::string> InHost(const std::vector<std::string> &argv) const;
    // One more address on lA, for a simulated device or server that answers at one of its own.
    bool AddLanAddress(const std::string &address) const;

    // Starts the simulator in the lan namespace with this configuration and waits for its ready line.
    // The request log is LogText(). False (with the log) when it did not come up.
    bool StartSimulator(const std::string &configJson, std::string &problem);
    void StopSimulator();
    std::string LogText() const { return ReadFile(m_dir.file("devsim.log")); }

private:
    Lab() = default;
    bool Build(std::string &reason);

    std::string m_host;
    std::string m_lan;
    TempDir m_dir;
    std::unique_ptr<Background> m_simulator;
};

// A TCP socket listening at address:port in the named namespace, or -1. A thread that joined the namespace
// makes it; the socket stays there afterwards.
int ListenInNamespace(const std::string &netns, const std::string &address, int port);

// A UDP socket bound to address:port in the named namespace (0.0.0.0 receives broadcasts), or -1.
int UdpSocketInNamespace(const std::string &netns, const std::string &address, int port);

// A namespace with only its loopback interface up, so that other tests on the host's loopback cannot answer.
// Without root (or `ip netns`) there is none, and Wrap leaves a command as it is.
class LoopbackNamespace
{
public:
    LoopbackNamespace();
    ~LoopbackNamespace();
    LoopbackNamespace(const LoopbackNamespace &) = delete;
    LoopbackNamespace &operator=(const LoopbackNamespace &) = delete;

    std::vector<std::string> Wrap(std::vector<std::string> argv) const;

private:
    std::string m_name;
};

// Starts izuzez-devsim behind `prefix` (such as `ip netns exec NAME`) with `args`, its log in dir/devsim.log,
// and waits for its ready line. Null, with the log and its errors in `problem`, when it did not come up.
std::unique_ptr<Background> StartSimulator(const std::vector<std::string> &prefix, const std::vector<std::string> &args,
                                           const TempDir &dir, std::string &problem);

} // namespace izuzez::test
