// The watch's lines and JSON objects; what counts as a change is tested with the rule in services.
#include "Commands.h"
#include "support/FakeDeviceSession.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace izuzez::cli;
using namespace izuzez::services;

namespace
{

FoundDevice Device(const std::string &ip, bool dhcp)
{
    FoundDevice d = izuzez::test::Device("NAS", ip);
    d.dhcp = dhcp;
    return d;
}

TEST(ChangeJson, OneObjectWithTheOldValuesOfAChange)
{
    const DeviceChange change{DeviceEvent::Changed, Device("10.0.0.9", true), Device("10.0.0.5", false)};
    const std::string line = ChangeJson(change, 0);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const auto object = nlohmann::json::parse(line);
    EXPECT_EQ(object["event"], "changed");
    EXPECT_EQ(object["time"], "1970-01-01T00:00:00Z");
    EXPECT_EQ(object["ip"], "10.0.0.9");
    EXPECT_EQ(object["old"], (nlohmann::json{{"ip", "10.0.0.5"}, {"dhcp", false}}));
    EXPECT_FALSE(
        nlohmann::json::parse(ChangeJson({DeviceEvent::Gone, Device("10.0.0.5", false), {}}, 0)).contains("old"));
    EXPECT_NE(ChangeLine(change, 0).find("ip 10.0.0.5 -> 10.0.0.9\tdhcp static -> dhcp"), std::string::npos);
}

} // namespace
