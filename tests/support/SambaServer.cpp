#include "support/SambaServer.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace izuzez::test
{

namespace
{
const char *const kSmbd = "/usr/sbin/smbd";
}

std::unique_ptr<SambaServer> SambaServer::Start(const std::vector<std::string> &prefix,
                                                const std::vector<std::string> &probe, const std::string &address,
                                                const std::vector<SambaShare> &shares, std::string &problem)
{
    namespace fs = std::filesystem;
    if (!fs::exists(kSmbd))
    {
        problem = "samba is not installed (scripts/setup.sh)";
        return nullptr;
    }
    std::unique_ptr<SambaServer> server(new SambaServer);
    server->m_shares = shares;
    const TempDir &dir = server->m_dir;
    for (const char *sub : {"run", "lock", "state", "cache", "private", "ncalrpc", "shares"})
        fs::create_directories(dir.file(sub));
    std::string conf = "[global]\n"
                       "  workgroup = WORKGROUP\n"
                       "  server role = standalone server\n"
                       "  map to guest = Bad User\n"
                       "  guest account = root\n"
                       "  restrict anonymous = 0\n"
                       "  load printers = no\n"
                       "  printing = bsd\n"
                       "  printcap name = /dev/null\n"
                       "  disable spoolss = yes\n"
                       "  disable netbios = yes\n"
                       "  smb ports = 445\n"
                       "  server min protocol = SMB2\n"
                       "  log level = 1\n"
                       "  pid directory = " +
                       dir.file("run") + "\n  lock directory = " + dir.file("lock") +
                       "\n  state directory = " + dir.file("state") + "\n  cache directory = " + dir.file("cache") +
                       "\n  private dir = " + dir.file("private") + "\n  ncalrpc dir = " + dir.file("ncalrpc") + "\n";
    for (const SambaShare &share : shares)
    {
        fs::create_directories(server->SharePath(share.name));
        conf += "[" + share.name + "]\n  path = " + server->SharePath(share.name) +
                "\n  guest ok = yes\n  read only = no\n  force user = root\n";
        if (!share.veto.empty() && share.vetoAddress.empty())
            conf += "  veto files = " + share.veto + "\n";
        if (!share.veto.empty() && !share.vetoAddress.empty())
        {
            // %i is the address the client reached; the file exists for one address only.
            const std::string file = "veto-" + share.name + ".";
            WriteFile(dir.file(file + share.vetoAddress + ".conf"), "veto files = " + share.veto + "\n");
            conf += "  include = " + dir.file(file) + "%i.conf\n";
        }
    }
    WriteFile(dir.file("smb.conf"), conf);

    std::vector<std::string> argv = prefix;
    for (const char *arg : {kSmbd, "--foreground", "--no-process-group", "--debug-stdout", "-s"})
        argv.push_back(arg);
    argv.push_back(dir.file("smb.conf"));
    server->m_smbd = std::make_unique<Background>(argv, dir.file("smbd.out"), dir.file("smbd.err"));

    // Up when a guest can list the server's shares.
    std::vector<std::string> list = probe;
    for (const char *arg : {"smbclient", "-N", "-m", "SMB3", "-L"})
        list.push_back(arg);
    list.push_back("//" + address);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline)
    {
        if (!server->m_smbd->running())
            break;
        const RunResult run = RunProgram(list, std::chrono::seconds(5));
        if (run.status == 0 && (shares.empty() || run.out.find(shares.front().name) != std::string::npos))
            return server;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    problem = "smbd did not come up: " + server->Log();
    return nullptr;
}

SambaServer::~SambaServer()
{
    if (m_smbd)
        m_smbd->Stop();
}

void SambaServer::ClearShares() const
{
    namespace fs = std::filesystem;
    for (const SambaShare &share : m_shares)
        for (const auto &entry : fs::directory_iterator(SharePath(share.name)))
            fs::remove_all(entry.path());
}

std::string SambaServer::Log() const
{
    return ReadFile(m_dir.file("smbd.out")) + ReadFile(m_dir.file("smbd.err"));
}

} // namespace izuzez::test
