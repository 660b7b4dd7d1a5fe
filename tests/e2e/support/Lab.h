#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "Process.h"

namespace izuzez::e2e
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
    const std::string &lan() const { return m_lan; }

    // The izuzez command line run in the host namespace.
    RunResult Izuzez(const std::vector<std::string> &args, std::chrono::milliseconds limit = std::chrono::seconds(10),
                     const std::string &input = "") const;
    std::vector<std::string> InHost(const std::vector<std::string> &argv) const;

    // Starts the simulator in the lan namespace with this configuration and waits for its ready line.
    // The request log is in logFile(). False (with the log) when it did not come up.
    bool StartSimulator(const std::string &configJson, std::string &problem);
    void StopSimulator();
    std::string LogText() const { return ReadFile(m_dir.file("devsim.log")); }
    const TempDir &dir() const { return m_dir; }

private:
    Lab() = default;
    bool Build(std::string &reason);

    std::string m_host;
    std::string m_lan;
    TempDir m_dir;
    std::unique_ptr<Background> m_simulator;
};

// Deletes namespaces of this suite's name pattern whose creating process has gone (left by a killed run).
void RemoveStaleNamespaces();

} // namespace izuzez::e2e
