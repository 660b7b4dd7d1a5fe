#include "support/Lab.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace izuzez::test
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

int BoundInNamespace(const std::string &netns, const std::string &address, int port, int type)
{
    int fd = -1;
    std::thread(
        [&]
        {
            const int ns = open(("/var/run/netns/" + netns).c_str(), O_RDONLY | O_CLOEXEC);
            if (ns < 0 || setns(ns, CLONE_NEWNET) != 0)
                return;
            close(ns);
            fd = socket(AF_INET, type | SOCK_CLOEXEC, 0);
            const int on = 1;
            setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
            sockaddr_in where{};
            where.sin_family = AF_INET;
            where.sin_port = htons(static_cast<std::uint16_t>(port));
            inet_pton(AF_INET, address.c_str(), &where.sin_addr);
            if (bind(fd, reinterpret_cast<sockaddr *>(&where), sizeof where) != 0 ||
                (type == SOCK_STREAM && listen(fd, 16) != 0))
            {
                close(fd);
                fd = -1;
            }
        })
        .join();
    return fd;
}

// Deletes namespaces of this suite's name pattern whose creating process has gone (left by a killed run).
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

} // namespace

int ListenInNamespace(const std::string &netns, const std::string &address, int port)
{
    return BoundInNamespace(netns, address, port, SOCK_STREAM);
}

int UdpSocketInNamespace(const std::string &netns, const std::string &address, int port)
{
    return BoundInNamespace(netns, address, port, SOCK_DGRAM);
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

bool Lab::AddLanAddress(const std::string &address) const
{
    return Ip({"-n", m_lan, "addr", "add", address + "/24", "dev", "lA"});
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
    m_simulator = izuzez::test::StartSimulator({"ip", "netns", "exec", m_lan}, {"--config", config}, m_dir, problem);
    return m_simulator != nullptr;
}

void Lab::StopSimulator()
{
    m_simulator.reset();
}

std::unique_ptr<Background> StartSimulator(const std::vector<std::string> &prefix, const std::vector<std::string> &args,
                                           const TempDir &dir, std::string &problem)
{
    const std::string log = dir.file("devsim.log");
    WriteFile(log, "");
    std::vector<std::string> argv = prefix;
    argv.push_back(BinDir() + "/izuzez-devsim");
    argv.insert(argv.end(), args.begin(), args.end());
    argv.insert(argv.end(), {"--log", log});
    auto simulator = std::make_unique<Background>(argv, dir.file("devsim.out"), dir.file("devsim.err"));
    // Ten seconds: starting up is quick, but a loaded machine may keep it waiting for the processor.
    if (simulator->WaitForText(log, "ready ", std::chrono::seconds(10)))
        return simulator;
    problem = "the simulator did not report ready:\n" + ReadFile(log) + ReadFile(dir.file("devsim.err"));
    return nullptr;
}

LoopbackNamespace::LoopbackNamespace()
{
    if (geteuid() != 0 || RunProgram({"ip", "netns", "list"}, kIpLimit).status != 0)
        return;
    RemoveStaleNamespaces();
    const std::string name = UniqueName("loopback");
    if (!Ip({"netns", "add", name}))
        return;
    m_name = name;
    if (!Ip({"-n", m_name, "link", "set", "lo", "up"}))
    {
        Ip({"netns", "del", m_name});
        m_name.clear();
    }
}

LoopbackNamespace::~LoopbackNamespace()
{
    if (!m_name.empty())
        Ip({"netns", "del", m_name});
}

std::vector<std::string> LoopbackNamespace::Wrap(std::vector<std::string> argv) const
{
    if (!m_name.empty())
        argv.insert(argv.begin(), {"ip", "netns", "exec", m_name});
    return argv;
}

} // namespace izuzez::test
