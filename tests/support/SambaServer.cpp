#include "support/SambaServer.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace izuzez::test
{
namespace
{

using namespace std::chrono_literals;

constexpr auto kStartLimit = 20s;
constexpr auto kToolLimit = 20s;

// A Unix account for the password shares; smbd wants one behind every user of its database.
bool EnsureAccount(std::string &problem)
{
    if (RunProgram({"id", kShareUser}, kToolLimit).status == 0)
        return true;
    const RunResult add =
        RunProgram({"useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", kShareUser}, kToolLimit);
    if (add.status != 0)
        problem = "cannot add the share account: " + add.err;
    return add.status == 0;
}

std::string Configuration(const std::string &dir, const std::vector<SambaShare> &shares)
{
    std::ostringstream conf;
    conf << "[global]\n"
         << "server role = standalone server\n"
         << "workgroup = IZUZEZTEST\n"
         // Every address of the namespace: simulated devices at several addresses share this one server.
         << "smb ports = 445\n"
         << "disable netbios = yes\n"
         << "map to guest = Bad User\n"
         << "guest account = nobody\n"
         << "passdb backend = tdbsam:" << dir << "/private/passdb.tdb\n"
         << "private dir = " << dir << "/private\n"
         << "lock directory = " << dir << "/lock\n"
         << "state directory = " << dir << "/state\n"
         << "cache directory = " << dir << "/cache\n"
         << "pid directory = " << dir << "/run\n"
         << "ncalrpc dir = " << dir << "/run/ncalrpc\n"
         << "log file = " << dir << "/log.%m\n"
         << "log level = 1\n"
         << "load printers = no\n"
         << "printcap name = /dev/null\n"
         << "disable spoolss = yes\n"
         << "server min protocol = SMB2\n";
    for (const SambaShare &share : shares)
    {
        conf << "\n[" << share.name << "]\n"
             << "path = " << dir << "/shares/" << share.name << "\n"
             << "read only = no\n"
             << "force user = root\n";
        if (share.user.empty())
            conf << "guest ok = yes\nguest only = yes\n";
        else
            conf << "guest ok = no\nvalid users = " << share.user << "\n";
        if (!share.byAddress.empty())
        {
            // %i is the address the client reached; the included file exists for the named addresses only.
            const std::string file = dir + "/by-address-" + share.name + ".";
            for (const auto &[address, settings] : share.byAddress)
                WriteFile(file + address + ".conf", settings + "\n");
            conf << "include = " << file << "%i.conf\n";
        }
    }
    return conf.str();
}

bool WaitForProbe(const std::vector<std::string> &probe, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline)
    {
        if (RunProgram(probe, 5s).status == 0)
            return true;
        std::this_thread::sleep_for(200ms);
    }
    return false;
}

bool IsFuseMount(const std::string &path)
{
    std::ifstream mounts("/proc/self/mounts");
    std::string device;
    std::string point;
    std::string type;
    std::string rest;
    while (mounts >> device >> point >> type && std::getline(mounts, rest))
    {
        if (point == path && type.rfind("fuse", 0) == 0)
            return true;
    }
    return false;
}

} // namespace

std::vector<std::string> InNetns(const std::string &netns)
{
    if (netns.empty())
        return {};
    return {"nsenter", "--net=/var/run/netns/" + netns};
}

std::unique_ptr<SambaServer> SambaServer::Start(const std::vector<std::string> &prefix,
                                                const std::vector<std::string> &probe, const std::string &address,
                                                const std::vector<SambaShare> &shares, std::string &problem)
{
    if (access("/usr/sbin/smbd", X_OK) != 0)
    {
        problem = "smbd is not installed (Debian package samba)";
        return nullptr;
    }
    std::unique_ptr<SambaServer> server(new SambaServer);
    server->m_shares = shares;
    const std::string dir = server->m_dir.file("samba");
    for (const char *sub : {"private", "lock", "state", "cache", "run", "shares"})
        std::filesystem::create_directories(dir + "/" + sub);
    for (const SambaShare &share : shares)
    {
        std::filesystem::create_directories(dir + "/shares/" + share.name);
        chmod((dir + "/shares/" + share.name).c_str(), 0777);
    }
    const std::string conf = dir + "/smb.conf";
    WriteFile(conf, Configuration(dir, shares));
    std::set<std::string> users; // a user may have several shares
    for (const SambaShare &share : shares)
    {
        if (share.user.empty() || !users.insert(share.user).second)
            continue;
        if (share.user == kShareUser && !EnsureAccount(problem))
            return nullptr;
        const RunResult added = RunProgram({"pdbedit", "-s", conf, "-a", "-u", share.user, "-t"}, kToolLimit,
                                           share.password + "\n" + share.password + "\n");
        if (added.status != 0)
        {
            problem = "pdbedit could not add " + share.user + ": " + added.err;
            return nullptr;
        }
    }
    std::vector<std::string> argv = prefix;
    for (const char *part : {"/usr/sbin/smbd", "--foreground", "--no-process-group", "--debug-stdout", "-s"})
        argv.push_back(part);
    argv.push_back(conf);
    server->m_smbd = std::make_unique<Background>(argv, server->m_dir.file("smbd.out"), server->m_dir.file("smbd.err"));
    std::vector<std::string> check = probe;
    check.insert(check.end(), {"bash", "-c", "exec 3<>/dev/tcp/" + address + "/445"});
    if (!WaitForProbe(check, kStartLimit))
    {
        problem = "smbd did not come up: " + server->Log();
        return nullptr;
    }
    return server;
}

SambaServer::~SambaServer()
{
    if (m_smbd)
        m_smbd->Stop();
}

void SambaServer::ClearShares() const
{
    for (const SambaShare &share : m_shares)
        for (const auto &entry : std::filesystem::directory_iterator(SharePath(share.name)))
            std::filesystem::remove_all(entry.path());
}

std::string SambaServer::Log() const
{
    return ReadFile(m_dir.file("smbd.out")) + ReadFile(m_dir.file("smbd.err"));
}

std::unique_ptr<GvfsSession> GvfsSession::Start(const std::string &netns, std::string &problem)
{
    if (access("/usr/libexec/gvfsd", X_OK) != 0 || access("/usr/libexec/gvfsd-fuse", X_OK) != 0)
    {
        problem = "gvfsd is not installed (Debian packages gvfs, gvfs-backends, gvfs-fuse)";
        return nullptr;
    }
    std::unique_ptr<GvfsSession> session(new GvfsSession);
    session->m_netns = netns;
    session->m_runtimeDir = session->m_dir.file("runtime");
    std::filesystem::create_directories(session->m_runtimeDir);
    chmod(session->m_runtimeDir.c_str(), 0700);

    std::vector<std::string> bus = InNetns(netns);
    bus.insert(bus.end(), {"dbus-daemon", "--session", "--nofork", "--print-address=1"});
    const std::string busOut = session->m_dir.file("bus.out");
    session->m_bus = std::make_unique<Background>(bus, busOut, session->m_dir.file("bus.err"));
    if (!session->m_bus->WaitForText(busOut, "\n", kStartLimit))
    {
        problem = "the session bus did not start: " + ReadFile(session->m_dir.file("bus.err"));
        return nullptr;
    }
    session->m_busAddress = ReadFile(busOut);
    session->m_busAddress = session->m_busAddress.substr(0, session->m_busAddress.find('\n'));

    session->m_gvfsd = std::make_unique<Background>(session->Wrap({"/usr/libexec/gvfsd"}),
                                                    session->m_dir.file("gvfsd.out"), session->m_dir.file("gvfsd.err"));
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (!IsFuseMount(session->FuseRoot()) && std::chrono::steady_clock::now() < deadline &&
           session->m_gvfsd->running())
        std::this_thread::sleep_for(100ms);
    if (!IsFuseMount(session->FuseRoot()))
    {
        problem = "gvfsd-fuse did not mount " + session->FuseRoot() + ": " + ReadFile(session->m_dir.file("gvfsd.err"));
        return nullptr;
    }
    return session;
}

GvfsSession::~GvfsSession()
{
    // gvfsd takes its FUSE folder down when the bus goes; unmount it first all the same.
    if (!m_runtimeDir.empty() && IsFuseMount(FuseRoot()))
        RunProgram({"fusermount3", "-u", "-z", FuseRoot()}, kToolLimit);
    if (m_gvfsd)
        m_gvfsd->Stop();
    if (m_bus)
        m_bus->Stop();
}

std::vector<std::string> GvfsSession::Environment() const
{
    return {"DBUS_SESSION_BUS_ADDRESS=" + m_busAddress, "XDG_RUNTIME_DIR=" + m_runtimeDir, "GIO_USE_VFS=gvfs"};
}

std::vector<std::string> GvfsSession::Wrap(const std::vector<std::string> &argv) const
{
    std::vector<std::string> full = InNetns(m_netns);
    full.push_back("env");
    for (const std::string &variable : Environment())
        full.push_back(variable);
    full.insert(full.end(), argv.begin(), argv.end());
    return full;
}

void GvfsSession::Join() const
{
    for (const std::string &variable : Environment())
    {
        const std::size_t equals = variable.find('=');
        setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
    }
}

} // namespace izuzez::test
