#include "Config.h"

#include <gtest/gtest.h>

using namespace izuzez::devsim;

namespace
{

TEST(DevsimConfig, ReadsEveryDeviceKey)
{
    const ConfigResult result = ParseConfig(R"({
      "listen": ["10.1.0.1"],
      "faults": {"duplicates": 2, "flood": {"count": 3, "spread_ms": 30}},
      "devices": [{
        "name": "box", "address": "10.1.0.5", "netmask": "255.255.0.0", "gateway": "10.1.0.1",
        "dhcp": "1", "dhcp_address": "10.1.0.77", "shares": ["a", "b"], "workgroup": "WG",
        "codepage": 950, "ideok": 1, "sharename": "a", "bt_firmware": "0", "domain": "D", "ssl": 1,
        "admin_user": "root", "admin_password": "pw", "kind": [2, 8], "class": 3, "type": 4,
        "model": "M", "mac": "00:11:22:33:44:55", "hw_version": "h", "sw_version": "s",
        "reply": "unicast", "reply_delay_ms": 20, "listen": ["veth0", "10.2.0.1"],
        "faults": {"duplicates": 0, "malformed": "short", "malformed_for": ["query"],
                   "flood": {"opcode": 6, "on": "setting"}, "reply_address": "10.1.0.6"}
      }, {"address": "10.1.0.9", "uuid": "aabbccddeeff"}]
    })");
    ASSERT_TRUE(result.devices) << result.error;
    const DeviceConfig &box = (*result.devices)[0];
    EXPECT_EQ(box.address, (Ipv4{10, 1, 0, 5}));
    EXPECT_TRUE(box.dhcp);
    EXPECT_EQ(box.dhcpAddress, (Ipv4{10, 1, 0, 77}));
    EXPECT_EQ(box.codepage, "950");
    EXPECT_EQ(box.ssl, "1");
    EXPECT_EQ(box.kinds, (std::vector<int>{2, 8}));
    EXPECT_EQ(box.product.classByte, 3);
    EXPECT_EQ(box.replyTo, ReplyDestination::Unicast);
    EXPECT_EQ(box.listen, (std::vector<std::string>{"veth0", "10.2.0.1"}));
    EXPECT_EQ(box.uuidPrefix, (std::array<std::uint8_t, 6>{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    // Device faults override the global ones key by key, the flood included.
    EXPECT_EQ(box.faults.duplicates, 0);
    EXPECT_EQ(box.faults.flood.count, 3);
    EXPECT_EQ(box.faults.flood.opcode, 6);
    EXPECT_EQ(box.faults.flood.on, std::vector<ReplyClass>{ReplyClass::Setting});
    EXPECT_EQ(box.faults.malformed, std::vector<Malformed>{Malformed::Short});
    EXPECT_EQ(box.faults.replyAddress, (Ipv4{10, 1, 0, 6}));

    const DeviceConfig &plain = (*result.devices)[1];
    EXPECT_EQ(plain.listen, std::vector<std::string>{"10.1.0.1"});
    EXPECT_EQ(plain.faults.duplicates, 2);
    EXPECT_EQ(plain.kinds, std::vector<int>{8});
    EXPECT_EQ(plain.uuidPrefix, (std::array<std::uint8_t, 6>{0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff}));
}

TEST(DevsimConfig, ErrorsNameTheOffendingValue)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", "not valid JSON"},
        {"[]", "config: must be an object"},
        {"{}", "\"devices\" must be a list"},
        {R"({"devices": [], "colour": 1})", "unknown key \"colour\""},
        {R"({"devices": [1]})", "devices[0]: must be an object"},
        {R"({"devices": [{}]})", "devices[0]: missing \"address\""},
        {R"({"devices": [{"address": "1.2.3"}]})", "devices[0].address: must be a dotted IPv4"},
        {R"({"devices": [{"address": "1.2.3.4", "adress": 1}]})", "unknown key \"adress\""},
        {R"({"devices": [{"address": "1.2.3.4", "kind": 5}]})", "devices[0].kind: must be 2, 7 or 8"},
        {R"({"devices": [{"address": "1.2.3.4", "kind": []}]})", "must not be an empty list"},
        {R"({"devices": [{"address": "1.2.3.4", "class": 256}]})", "devices[0].class: must be between 0 and 255"},
        {R"({"devices": [{"address": "1.2.3.4", "type": "8"}]})", "devices[0].type: must be a whole number"},
        {R"({"devices": [{"address": "1.2.3.4", "netmask": "255.255.255.255.0"}]})", "longer than 15 bytes"},
        {R"({"devices": [{"address": "1.2.3.4", "model": [1]}]})", "devices[0].model: must be a text"},
        {R"({"devices": [{"address": "1.2.3.4", "dhcp": "yes"}]})", "devices[0].dhcp: must be true, false"},
        {R"({"devices": [{"address": "1.2.3.4", "reply": "broadcast"}]})", "must be \"group\" or \"unicast\""},
        {R"({"devices": [{"address": "1.2.3.4", "listen": []}]})", "must name at least one local address"},
        {R"({"devices": [{"address": "1.2.3.4", "uuid": "00"}]})", "devices[0].uuid: must be 6 bytes"},
        {R"({"devices": [{"address": "1.2.3.4", "faults": 3}]})", "devices[0].faults: must be an object"},
        {R"({"devices": [{"address": "1.2.3.4", "faults": {"malformed": "broken"}}]})", "\"broken\" is not one of"},
        {R"({"devices": [{"address": "1.2.3.4", "faults": {"flood": {"count": -1}}}]})",
         "devices[0].faults.flood.count: must be between"},
        {R"({"devices": [{"address": "1.2.3.4", "faults": {"flood": {"on": ["boot"]}}}]})",
         "\"boot\" is not one of search, query, setting"},
        {R"({"faults": [], "devices": [{"address": "1.2.3.4"}]})", "config.faults: must be an object"},
        {R"({"devices": [{"address": "1.2.3.4", "answers": {"ssl": ["1"]}}]})", "devices[0].answers.ssl: unknown"},
        {R"({"devices": [{"address": "1.2.3.4", "answers": 3}]})", "devices[0].answers: must be an object"},
    };
    for (const auto &[text, message] : cases)
    {
        SCOPED_TRACE(text);
        const ConfigResult result = ParseConfig(text);
        EXPECT_FALSE(result.devices);
        EXPECT_NE(result.error.find(message), std::string::npos) << result.error;
    }
}

// Each device is merged over the defaults recursively: a file of deeply nested values once overflowed the stack.
TEST(DevsimConfig, DeeplyNestedValuesAreRefused)
{
    const auto nested = [](int depth)
    {
        std::string value;
        for (int i = 0; i < depth; ++i)
            value += "{\"a\":";
        value += "1" + std::string(static_cast<std::size_t>(depth), '}');
        return R"({"devices": [{"address": "1.2.3.4", "faults": {"x": )" + value + "}}]}";
    };
    for (const int depth : {100, 200000})
    {
        const ConfigResult result = ParseConfig(nested(depth));
        EXPECT_FALSE(result.devices) << depth;
        EXPECT_NE(result.error.find("nested deeper than 32 levels"), std::string::npos) << result.error;
    }
    const std::string lists = R"({"devices": [)" + std::string(300000, '[') + std::string(300000, ']') + "]}";
    EXPECT_NE(ParseConfig(lists).error.find("nested deeper"), std::string::npos);
    // Within the bound the value is read and judged as usual.
    EXPECT_NE(ParseConfig(nested(20)).error.find("devices[0].faults: unknown key \"x\""), std::string::npos)
        << ParseConfig(nested(20)).error;
}

TEST(DevsimConfig, UnreadableFileIsAnError)
{
    const ConfigResult result = LoadConfigFile("/nonexistent/devsim.json");
    EXPECT_FALSE(result.devices);
    EXPECT_NE(result.error.find("/nonexistent/devsim.json"), std::string::npos);
}

} // namespace
