#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/Process.h"

namespace izuzez::test
{

// One share of the test server: a guest share; `veto` names files that the server refuses to create.
struct SambaShare
{
    std::string name;
    std::string veto;        // Samba's "veto files" list, such as "/nls_cp950.o/"; empty for none
    std::string vetoAddress; // the veto holds only for clients that reach the server at this address
};

// Debian's smbd with a private configuration, state and share folders in a temporary directory, in a
// namespace the test made. Stopped (by its pid) when the object goes.
class SambaServer
{
public:
    // `prefix` runs a command in the server's namespace (such as `ip netns exec NAME`); `probe` runs one in
    // a namespace that reaches `address`, to see the server come up. Null with the reason when samba is
    // missing or did not come up.
    static std::unique_ptr<SambaServer> Start(const std::vector<std::string> &prefix,
                                              const std::vector<std::string> &probe, const std::string &address,
                                              const std::vector<SambaShare> &shares, std::string &problem);
    ~SambaServer();
    SambaServer(const SambaServer &) = delete;
    SambaServer &operator=(const SambaServer &) = delete;

    // The folder that a share serves.
    std::string SharePath(const std::string &share) const { return m_dir.file("shares/" + share); }
    // Empties every share folder.
    void ClearShares() const;
    std::string Log() const;

private:
    SambaServer() = default;

    TempDir m_dir;
    std::vector<SambaShare> m_shares;
    std::unique_ptr<Background> m_smbd;
};

} // namespace izuzez::test
