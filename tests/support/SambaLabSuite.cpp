#include "support/SambaLabSuite.h"

#include <chrono>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace izuzez::test
{

std::vector<SambaShare> GuestAndPrivateShares()
{
    return {{.name = "public"}, {.name = "Private", .user = kShareUser, .password = kSharePassword}};
}

void SambaLabSuite::StartLab(const SambaLabConfig &config)
{
    // Without a FUSE device (a container that hides it) there is no folder a letter could stand for.
    const bool fuse = access("/dev/fuse", R_OK | W_OK) == 0;
    if (!fuse)
        s_gvfsSkip = "needs /dev/fuse for GVfs's local folders";
    if (!fuse && config.needsGvfs)
    {
        s_skip = s_gvfsSkip;
        return;
    }
    s_lab = Lab::Create(s_skip);
    if (!s_lab)
        return;
    for (const std::string &address : config.lanAddresses)
        if (!s_lab->AddLanAddress(address))
        {
            s_failure = "cannot add " + address + " to the lan namespace";
            return;
        }
    if (!s_lab->StartSimulator(config.devices, s_failure))
        return;
    s_samba = SambaServer::Start({"ip", "netns", "exec", s_lab->lan()}, InNetns(s_lab->host()), config.sambaAddress,
                                 config.shares, s_failure);
    if (!s_samba || !fuse)
        return;
    s_gvfs = GvfsSession::Start(s_lab->host(), config.needsGvfs ? s_failure : s_gvfsSkip);
}

void SambaLabSuite::TearDownTestSuite()
{
    s_gvfs.reset();
    s_samba.reset();
    s_lab.reset();
    s_skip.clear();
    s_failure.clear();
    s_gvfsSkip.clear();
}

void SambaLabSuite::JoinGvfsSession(const std::string &drivesDir)
{
    const int ns = open(("/var/run/netns/" + s_lab->host()).c_str(), O_RDONLY | O_CLOEXEC);
    if (ns < 0 || setns(ns, CLONE_NEWNET) != 0)
        s_failure = "cannot join the host namespace";
    if (ns >= 0)
        close(ns);
    s_gvfs->Join();
    setenv("IZUZEZ_DRIVES_DIR", drivesDir.c_str(), 1);
}

void SambaLabSuite::SetUp()
{
    ASSERT_TRUE(s_failure.empty()) << s_failure;
    if (!s_lab)
        GTEST_SKIP() << s_skip;
}

RunResult SambaLabSuite::IzuzezInSession(const std::vector<std::string> &environment,
                                         const std::vector<std::string> &args, const std::string &input)
{
    std::vector<std::string> argv = environment;
    argv.push_back(BinDir() + "/izuzez");
    argv.insert(argv.end(), args.begin(), args.end());
    // A minute: a mount through GVfs on a loaded machine is slow.
    return RunProgram(s_gvfs->Wrap(argv), std::chrono::seconds(60), input);
}

} // namespace izuzez::test
