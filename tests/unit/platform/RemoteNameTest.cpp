// The remote name "\\server\share": what is read, what is refused, and that what is written reads back.

#include "platform/RemoteName.h"

#include <gtest/gtest.h>

#include <string>

using namespace izuzez::platform;

TEST(RemoteNameTest, OnlyTwoWellFormedPartsAreRead)
{
    using namespace std::string_literals;
    const struct
    {
        std::string remote;
        bool split;
        const char *server;
        const char *share;
    } cases[] = {
        {"\\\\nas\\public", true, "nas", "public"},
        {"\\\\192.168.1.20\\my files", true, "192.168.1.20", "my files"},
        {"\\ab\\c", false, "", ""},
        {"\\\\nas\\..\\..", false, "", ""},
        {"\\\\\\x", false, "", ""},
        {"\\\\nas\\", false, "", ""},
        {"\\\\nas", false, "", ""},
        {"\\\\nas\\a/b", false, "", ""},
        {"\\\\na\0s\\public"s, false, "", ""},
        {"\\\\nas\\public\0"s, false, "", ""},
        {"", false, "", ""},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.remote);
        std::string server = "kept", share = "kept";
        EXPECT_EQ(SplitRemoteName(c.remote, server, share), c.split);
        EXPECT_EQ(server, c.split ? c.server : "kept");
        EXPECT_EQ(share, c.split ? c.share : "kept");
        if (c.split)
        {
            EXPECT_EQ(JoinRemoteName(server, share), c.remote);
        }
    }
}
