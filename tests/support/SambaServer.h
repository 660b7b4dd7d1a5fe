#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/Process.h"

namespace izuzez::test
{

// The Unix account behind password shares (added when missing) and the password the tests give it.
constexpr const char *kShareUser = "izuzezshare";
constexpr const char *kSharePassword = "Sh4re-pass";

// One share of the test server: a guest share when user is empty, else one that only user may open.
struct SambaShare
{
    std::string name = {};
    std::string user = {};
    std::string password = {};
    // Settings that hold only for clients that reach the server at an address (such as "veto files = /a/"
    // or another "path"), so that simulated devices at several addresses can have disks of their own. One
    // entry per address.
    std::vector<std::pair<std::string, std::string>> byAddress = {};
};

// Debian's smbd with a private configuration, state and share folders in a temporary directory, listening
// on one address of a namespace the test made. Stopped (by its pid) when the object goes.
class SambaServer
{
public:
    // `prefix` runs a command in the server's namespace (such as `ip netns exec NAME`); `probe` runs one
    // in a namespace that reaches `address`, to see the server come up. Null with the reason when samba is
    // missing or did not come up.
    static std::unique_ptr<SambaServer> Start(const std::vector<std::string> &prefix,
                                              const std::vector<std::string> &probe, const std::string &address,
                                              const std::vector<SambaShare> &shares, std::string &problem);
    ~SambaServer();
    SambaServer(const SambaServer &) = delete;
    SambaServer &operator=(const SambaServer &) = delete;

    // The folder that a share serves.
    std::string SharePath(const std::string &share) const { return m_dir.file("samba/shares/" + share); }
    // Empties every share folder.
    void ClearShares() const;
    std::string Log() const;

private:
    SambaServer() = default;

    TempDir m_dir;
    std::vector<SambaShare> m_shares;
    std::unique_ptr<Background> m_smbd;
};

// A private D-Bus session with gvfsd and its FUSE folder under a private XDG_RUNTIME_DIR, in the network
// namespace that `netns` names (empty: this one). Everything is stopped when the object goes.
class GvfsSession
{
public:
    static std::unique_ptr<GvfsSession> Start(const std::string &netns, std::string &problem);
    ~GvfsSession();
    GvfsSession(const GvfsSession &) = delete;
    GvfsSession &operator=(const GvfsSession &) = delete;

    // "VAR=value" pairs for `env`, so that a program joins this session.
    std::vector<std::string> Environment() const;
    // Runs argv in the namespace with the session's environment (nsenter keeps the mounts shared, so
    // the FUSE folder is the same for everyone).
    std::vector<std::string> Wrap(const std::vector<std::string> &argv) const;
    // Puts the session's variables into this process, for GIO used in-process.
    void Join() const;
    std::string FuseRoot() const { return m_runtimeDir + "/gvfs"; }

private:
    GvfsSession() = default;

    std::string m_netns;
    std::string m_runtimeDir;
    std::string m_busAddress;
    TempDir m_dir;
    std::unique_ptr<Background> m_bus;
    std::unique_ptr<Background> m_gvfsd;
};

// The prefix that runs a command in a named network namespace without a mount namespace of its own.
std::vector<std::string> InNetns(const std::string &netns);

} // namespace izuzez::test
