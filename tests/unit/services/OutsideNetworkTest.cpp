#include "services/OutsideNetwork.h"

#include <gtest/gtest.h>

using namespace izuzez::services;

TEST(OutsideNetwork, OnlyAReadableAddressOutsideAKnownNetwork)
{
    const struct
    {
        const char *device;
        const char *local;
        int prefix;
        const char *network; // empty: inside or unknown
    } cases[] = {
        {"192.168.1.20", "192.168.1.5", 24, ""},
        {"192.168.2.20", "192.168.1.5", 24, "192.168.1.0/24"},
        {"192.168.2.20", "192.168.1.5", 16, ""},
        {"10.0.0.9", "192.168.1.5", 0, ""},
        {"192.168.1.6", "192.168.1.5", 32, "192.168.1.5/32"},
        {"192.168.2.20", "192.168.1.5", -1, ""},
        {"192.168.2.20", "192.168.1.5", 33, ""},
        {"", "192.168.1.5", 24, ""},
        {"192.168.2.20", "", 24, ""},
        {"192.168.2.300", "192.168.1.5", 24, ""},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(std::string(c.device) + " via " + c.local + "/" + std::to_string(c.prefix));
        EXPECT_EQ(OutsideNetwork(c.device, c.local, c.prefix), c.network);
    }
}

TEST(OutsideNetwork, TheNoteNamesTheNetworkTwice)
{
    EXPECT_EQ(OutsideNetworkNote("10.0.0.0/8"),
              "This address lies outside 10.0.0.0/8, the network of the interface the device answered on, so this "
              "computer usually cannot reach its web page or volumes. Its LAN settings can move it into 10.0.0.0/8.");
}
