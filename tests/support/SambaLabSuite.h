#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/Lab.h"
#include "support/SambaServer.h"

namespace izuzez::test
{

// What a suite's lab serves: the simulator's devices, Samba's shares in the lan namespace, and whether the
// cases need GVfs's local folders.
struct SambaLabConfig
{
    const char *devices = "";
    std::vector<SambaShare> shares = {};
    std::string sambaAddress = Lab::kLanA;      // where the host reaches Samba, to see it come up
    std::vector<std::string> lanAddresses = {}; // more addresses on lA, for devices that answer at their own
    bool needsGvfs = true;                      // else the suite runs without a session when there is none
};

// A guest share "public" and one "Private" for kShareUser: a device of one user.
std::vector<SambaShare> GuestAndPrivateShares();

// One lab, its simulator, a Samba server and a GVfs session in the host namespace, owned together and shared
// by all cases of a suite. A suite calls StartLab from its SetUpTestSuite. Without root (or without FUSE
// when GVfs is needed) the cases skip; a part that does not come up fails each of them.
class SambaLabSuite : public ::testing::Test
{
protected:
    static void StartLab(const SambaLabConfig &config);
    static void TearDownTestSuite();
    // Puts this process where the drives code finds GVfs: the host's namespace (the session bus's socket lives
    // there too), GVfs's session, and the drive letters in `drivesDir`. Before GIO first looks at either.
    static void JoinGvfsSession(const std::string &drivesDir);
    void SetUp() override;

    // The izuzez command line in the GVfs session, with these "VAR=value" pairs set.
    static RunResult IzuzezInSession(const std::vector<std::string> &environment, const std::vector<std::string> &args,
                                     const std::string &input = "");

    static inline std::unique_ptr<Lab> s_lab;
    static inline std::unique_ptr<SambaServer> s_samba;
    static inline std::unique_ptr<GvfsSession> s_gvfs; // null (with s_gvfsSkip) only when not needed
    static inline std::string s_skip;
    static inline std::string s_failure;
    static inline std::string s_gvfsSkip;
};

} // namespace izuzez::test
