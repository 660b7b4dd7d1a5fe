#include "Lab.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <random>

#include <signal.h>
#include <unistd.h>

namespace izuzez::e2e
{
namespace
{

constexpr const char *kPrefix = "izzt-";
constexpr auto kIpLimit = std::chrono::seconds(10);

bool Ip(const std::vector<std::string> &args)
{
    std::vector<std::string> argv{"ip"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, kIpLimit).status == 0;
}

std::string UniqueName(const char *role)
{
    static std::atomic<int> counter{0};
    std::random_device random;
    return std::string(kPrefix) + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(random() % 100000) + "-" + role;
}

} // namespace

void RemoveStaleNamespaces()
{
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator("/var/run/netns", ec))
    {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kPrefix, 0) != 0)
            continue;
        const pid_t owner = static_cast<pid_t>(std::atol(name.c_str() + std::char_traits<char>::length(kPrefix)));
        if (owner > 0 && kill(owner, 0) != 0 && errno == ESRCH)
            Ip({"netns", "del", name});
    }
}

std::unique_ptr<Lab> Lab::Create(std::string &reason)
{
    if (geteuid() != 0)
    {
        reason = "needs root to create network namespaces";
        return nullptr;
    }
    if (RunProgram({"ip", "netns", "list"}, kIpLimit).status != 0)
    {
        reason = "`ip netns` is not available";
        return nullptr;
    }
    RemoveStaleNamespaces();
    std::unique_ptr<Lab> lab(new Lab);
    if (!lab->Build(reason))
        return nullptr;
    return lab;
}

bool Lab::Build(std::string &reason)
{
    const std::string host = UniqueName("host");
    if (!Ip({"netns", "add", host}))
    {
        reason = "cannot create a network namespace";
        return false;
    }
    m_host = host;
    const std::string lan = UniqueName("lan");
    if (!Ip({"netns", "add", lan}))
    {
        reason = "cannot create a second network namespace";
        return false;
    }
    m_lan = lan;
    const std::vector<std::vector<std::string>> steps = {
        {"-n", m_host, "link", "add", "hA", "type", "veth", "peer", "name", "lA", "netns", m_lan},
        {"-n", m_host, "link", "add", "hB", "type", "veth", "peer", "name", "lB", "netns", m_lan},
        {"-n", m_host, "addr", "add", std::string(kHostA) + "/24", "dev", "hA"},
        {"-n", m_host, "addr", "add", std::string(kHostB) + "/24", "dev", "hB"},
        {"-n", m_lan, "addr", "add", std::string(kLanA) + "/24", "dev", "lA"},
        {"-n", m_lan, "addr", "add", std::string(kLanB) + "/24", "dev", "lB"},
        {"-n", m_host, "link", "set", "hA", "up"},
        {"-n", m_host, "link", "set", "hB", "up"},
        {"-n", m_lan, "link", "set", "lA", "up"},
        {"-n", m_lan, "link", "set", "lB", "up"},
        {"-n", m_lan, "link", "set", "lo", "up"},
    };
    for (const auto &step : steps)
    {
        if (!Ip(step))
        {
            reason = "cannot set up the veth pairs (ip " + step[2] + " " + step[3] + ")";
            return false;
        }
    }
    return true;
}

Lab::~Lab()
{
    StopSimulator();
    // Deleting a namespace also deletes the veth ends inside it.
    if (!m_host.empty())
        Ip({"netns", "del", m_host});
    if (!m_lan.empty())
        Ip({"netns", "del", m_lan});
}

std::vector<std::string> Lab::InHost(const std::vector<std::string> &argv) const
{
    std::vector<std::string> full{"ip", "netns", "exec", m_host};
    full.insert(full.end(), argv.begin(), argv.end());
    return full;
}

RunResult Lab::Izuzez(const std::vector<std::string> &args, std::chrono::milliseconds limit,
                      const std::string &input) const
{
    std::vector<std::string> argv{BinDir() + "/izuzez"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(InHost(argv), limit, input);
}

bool Lab::StartSimulator(const std::string &configJson, std::string &problem)
{
    StopSimulator();
    const std::string config = m_dir.file("devices.json");
    WriteFile(config, configJson);
    const std::string log = m_dir.file("devsim.log");
    WriteFile(log, "");
    m_simulator =
        std::make_unique<Background>(std::vector<std::string>{"ip", "netns", "exec", m_lan, BinDir() + "/izuzez-devsim",
                                                              "--config", config, "--log", log},
                                     m_dir.file("devsim.out"), m_dir.file("devsim.err"));
    // The ready line goes to the log; WaitForOutput reads standard output, so poll the log here.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline)
    {
        if (LogText().find("ready ") != std::string::npos)
            return true;
        if (!m_simulator->running())
            break;
        usleep(10000);
    }
    problem = "the simulator did not report ready:\n" + LogText() + ReadFile(m_dir.file("devsim.err"));
    return false;
}

void Lab::StopSimulator()
{
    m_simulator.reset();
}

} // namespace izuzez::e2e
