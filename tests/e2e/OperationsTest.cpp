// Queries, address changes, password proof and time budgets, through the command line against the simulator.

#include <gtest/gtest.h>

#include "support/LabSuite.h"

using namespace izuzez::test;
using namespace std::chrono_literals;

namespace
{

const char *const kOperationDevices = R"({
  "devices": [
    {"name": "Nas", "address": "10.71.1.10", "netmask": "255.255.255.0", "gateway": "10.71.1.1",
     "shares": ["public", "media", "public", "", "backup"], "workgroup": "WORKGROUP", "codepage": "950",
     "ideok": "1", "sharename": "public", "bt_firmware": "1", "domain": "HOMELAN", "ssl": "1",
     "listen": ["10.71.1.2"]},
    {"name": "Locked", "address": "10.71.1.11", "netmask": "255.255.255.0", "gateway": "10.71.1.1",
     "admin_password": "s3cret", "listen": ["10.71.1.2"]},
    {"name": "Quiet", "address": "10.71.1.12", "listen": ["10.71.1.2"], "faults": {"silent_queries": true}},
    {"name": "Stubborn", "address": "10.71.1.13", "listen": ["10.71.1.2"], "faults": {"silent_settings": true}},
    {"name": "Mover", "address": "10.71.2.20", "netmask": "255.255.255.0", "gateway": "10.71.2.1",
     "workgroup": "MOVED", "listen": ["10.71.2.2"]},
    {"name": "Dhcp", "address": "10.71.2.21", "netmask": "255.255.255.0", "gateway": "10.71.2.1",
     "dhcp_address": "10.71.2.99", "sharename": "video", "listen": ["10.71.2.2"]}
  ]
})";

using OperationsTest = LabSuite<kOperationDevices>;

TEST_F(OperationsTest, EveryQueryPrintsItsAnswer)
{
    const std::pair<const char *, const char *> table[] = {
        {"shares", "public\nmedia\nbackup\n"}, // repeated and empty names once each
        {"ssl", "1\n"},
        {"workgroup", "WORKGROUP\n"},
        {"codepage", "950\n"},
        {"ideok", "1\n"},
        {"sharename", "public\n"},
        {"bt_firmware", "1\n"},
        {"domain", "HOMELAN\n"},
    };
    for (const auto &[what, answer] : table)
    {
        const RunResult run = s_lab->Izuzez({"query", "10.71.1.10", what});
        EXPECT_EQ(run.status, 0) << what << ": " << run.err;
        EXPECT_EQ(run.out, answer) << what;
    }
}

// The password reaches the real device from standard input, after the empty one (that sixteen characters fit
// is AdminLoginTest's and ProtocolSessionTest's).
TEST_F(OperationsTest, PasswordFromStandardInputAfterTheEmptyOne)
{
    const struct
    {
        const char *device, *newIp, *typed;
        int status;
        const char *said;
    } cases[] = {
        {"10.71.1.11", "10.71.1.111", "secret\n", 1, "Wrong administrator password input!\n"},
        {"10.71.1.11", "10.71.1.111", "s3cret\n", 0,
         "The device Locked is now at 10.71.1.111 (netmask 255.255.255.0, gateway 10.71.1.1)"},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.typed);
        const RunResult run = s_lab->Izuzez({"set-address", c.device, "--ip", c.newIp, "--netmask", "255.255.255.0",
                                             "--gateway", "10.71.1.1", "--password-stdin"},
                                            10s, c.typed);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.said), std::string::npos) << run.out << run.err;
    }
}

TEST_F(OperationsTest, StaticAddressThenQueryAtTheNewAddress)
{
    const RunResult change = s_lab->Izuzez(
        {"set-address", "10.71.2.20", "--ip", "10.71.2.40", "--netmask", "255.255.255.0", "--gateway", "10.71.2.1"});
    ASSERT_EQ(change.status, 0) << change.err;
    EXPECT_NE(change.out.find("is now at 10.71.2.40"), std::string::npos) << change.out;

    const RunResult moved = s_lab->Izuzez({"query", "10.71.2.40", "workgroup"});
    EXPECT_EQ(moved.status, 0) << moved.err;
    EXPECT_EQ(moved.out, "MOVED\n");
    EXPECT_EQ(s_lab->Izuzez({"query", "10.71.2.20", "workgroup"}).status, 1);
}

TEST_F(OperationsTest, DhcpMovesTheDeviceToTheAddressItAnswersFrom)
{
    const RunResult change = s_lab->Izuzez({"set-dhcp", "10.71.2.21"}, 20s);
    ASSERT_EQ(change.status, 0) << change.err;
    EXPECT_NE(change.out.find("DHCP client enabled.\n"), std::string::npos);
    EXPECT_NE(change.out.find("is now at 10.71.2.99"), std::string::npos) << change.out;

    const RunResult query = s_lab->Izuzez({"query", "10.71.2.99", "sharename"});
    EXPECT_EQ(query.status, 0) << query.err;
    EXPECT_EQ(query.out, "video\n");
}

// The three budgets when the device stays silent: 10, 20 and 100 failed polls of 10 ms plus 100 ms pauses.
// The pauses alone set the lower bound. The program gives up at three times the nominal time at the latest;
// the upper bound is that, plus the search before and starting the program on a loaded machine.
TEST_F(OperationsTest, SilentDeviceTimesOutAfterItsBudget)
{
    struct Case
    {
        std::vector<std::string> args;
        std::chrono::milliseconds low;
        std::chrono::milliseconds high;
        const char *message;
    };
    const Case cases[] = {
        {{"query", "10.71.1.12", "workgroup"}, 1100ms, 3 * 1220ms + 3s, "did not answer the workgroup query"},
        {{"query", "10.71.1.12", "ssl"}, 2200ms, 3 * 2320ms + 3s, "did not answer the ssl query"},
        {{"set-dhcp", "10.71.1.13"}, 11000ms, 3 * 11120ms + 3s, "Set to dhcp client fail."},
    };
    for (const Case &c : cases)
    {
        std::vector<std::string> args{"--interface", Lab::kHostA};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const RunResult run = s_lab->Izuzez(args, 60s);
        SCOPED_TRACE(c.message);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_GE(run.elapsed, c.low);
        EXPECT_LE(run.elapsed, c.high);
    }
}

} // namespace
