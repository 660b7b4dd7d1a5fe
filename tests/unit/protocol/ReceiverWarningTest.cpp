#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include <unistd.h>

#include "protocol/Endpoints.h"
#include "protocol/LocalInterfaces.h"
#include "support/LoopbackSockets.h"
#include "support/PrivateNetwork.h"

// A receiver socket that cannot be bound must be told apart from a network where nothing answers.
namespace
{
using izuzez::test::HoldPort;

struct HolderCase
{
    const char *label;
    const char *address; // held at port 13579 by another program; null: nobody
    bool reuse;          // whether that program allows sharing the port
    int unicastError;
    int groupError;
};

TEST(ReceiverWarningTest, PortHeldWithoutReuseIsReported)
{
    if (!EnterPrivateNetwork())
        GTEST_SKIP() << "cannot make a network namespace here";
    const HolderCase cases[] = {
        {"port free", nullptr, false, 0, 0},
        {"another instance shares the port", "127.0.0.1", true, 0, 0},
        {"interface address held", "127.0.0.1", false, EADDRINUSE, 0},
        {"group address held", "224.0.0.1", false, 0, EADDRINUSE},
        {"wildcard held", "0.0.0.0", false, EADDRINUSE, EADDRINUSE},
    };
    for (const HolderCase &c : cases)
    {
        SCOPED_TRACE(c.label);
        const int holder = c.address != nullptr ? HoldPort(c.address, c.reuse) : -1;
        ASSERT_TRUE(c.address == nullptr || holder >= 0);
        ResetProtocolState();
        SetInterfaceFilter({"127.0.0.1"});
        OpenEndpoints();
        ASSERT_EQ(g_ProtocolState.interfaceCount, 1);
        const ReceiverFault &fault = g_ProtocolState.receiverFault[0];
        EXPECT_EQ(fault.unicastError, c.unicastError);
        EXPECT_EQ(fault.groupError, c.groupError);
        EXPECT_EQ(g_ProtocolState.receiverSocket[0].unicastFd >= 0, c.unicastError == 0);
        EXPECT_EQ(g_ProtocolState.receiverSocket[0].groupFd >= 0, c.groupError == 0);

        const std::vector<std::string> warnings = ReceiverWarnings();
        EXPECT_EQ(warnings.size(), static_cast<std::size_t>((c.unicastError != 0) + (c.groupError != 0)));
        for (const std::string &warning : warnings)
        {
            EXPECT_NE(warning.find("127.0.0.1"), std::string::npos) << warning;
            EXPECT_NE(warning.find("13579"), std::string::npos) << warning;
            EXPECT_NE(warning.find("another program holds the port"), std::string::npos) << warning;
        }
        CloseEndpoints();
        EXPECT_TRUE(ReceiverWarnings().empty());
        if (holder >= 0)
            close(holder);
    }
    ResetProtocolState();
    SetInterfaceFilter({});
}
} // namespace
