// Every request the protocol layer sends, compared byte for byte with the simulator's request log.
// The exchanges run in this process, on a thread that has entered the host namespace.

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include "protocol/Endpoints.h"
#include "protocol/FixedText.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "protocol/Search.h"
#include "support/Lab.h"
#include "support/Wire.h"

using namespace izuzez::test;

namespace
{

const char *const kWireDevices = R"({
  "devices": [
    {"name": "Target", "address": "10.71.1.10", "netmask": "255.255.255.0", "gateway": "10.71.1.1",
     "uuid": "a1b2c3d4e5f6", "shares": ["public"], "workgroup": "WG", "codepage": "437", "ideok": "1",
     "sharename": "public", "bt_firmware": "0", "domain": "LAN", "ssl": "0", "listen": ["10.71.1.2"]}
  ]
})";

bool EnterNamespace(const std::string &name)
{
    const int fd = open(("/var/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = setns(fd, CLONE_NEWNET) == 0;
    close(fd);
    return ok;
}

// The request lines of one ClientId from the simulator's log, as hex.
std::vector<std::string> LoggedRequests(const std::string &log, const std::string &clientIdHex)
{
    std::vector<std::string> requests;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
    {
        if (line.rfind("recv ", 0) != 0 || line.find(" cid=" + clientIdHex + " ") == std::string::npos)
            continue;
        const std::size_t hex = line.rfind(" hex=");
        if (hex != std::string::npos)
            requests.push_back(line.substr(hex + 5));
    }
    return requests;
}

TEST(Wire, EveryRequestIsByteForByteTheProtocols)
{
    std::string reason;
    const auto lab = Lab::Create(reason);
    if (!lab)
        GTEST_SKIP() << reason;
    std::string problem;
    ASSERT_TRUE(lab->StartSimulator(kWireDevices, problem)) << problem;

    Bytes clientId;
    Bytes uuid = {0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6, 10, 71, 1, 10};
    std::vector<Bytes> sent;
    std::vector<std::string> results;

    std::thread worker(
        [&]
        {
            if (!EnterNamespace(lab->host()))
            {
                results.push_back("cannot enter the host namespace");
                return;
            }
            ProtocolState &s = g_ProtocolState;
            SetInterfaceFilter({Lab::kHostA});
            OpenEndpoints();
            clientId.assign(s.clientId.begin(), s.clientId.end());
            auto check = [&](const char *what, int result)
            {
                if (result == 0)
                    results.push_back(std::string(what) + " failed");
            };

            // A slow reply can miss one search on a loaded machine: search again, each search logged.
            for (int attempt = 0; attempt < 5 && s.deviceList.count == 0; ++attempt)
            {
                sent.push_back(SearchRequest(clientId));
                SearchDevices(1, 8);
            }
            check("search", s.deviceList.count == 1);
            CopyText(s.selectedIp, "10.71.1.10");

            CopyText(s.userName, "admin");
            CopyText(s.password, "");
            sent.push_back(QueryRequest(clientId, uuid, 4, "admin\x55\xaa"));
            check("password", CheckAdminPassword());

            const std::pair<std::uint8_t, int (*)()> queries[] = {
                {3, QueryShareList},  {6, QueryWorkgroup},   {9, QueryCodepage}, {11, QueryIdeok},
                {12, QueryShareName}, {15, QueryBtFirmware}, {18, QueryDomain},  {19, QuerySsl},
            };
            for (const auto &[sub, query] : queries)
            {
                sent.push_back(QueryRequest(clientId, uuid, sub));
                check("query", query());
            }

            // Settings that keep the address are matched against newIp, so it names the device.
            CopyText(s.newIp, "10.71.1.10");
            CopyText(s.newNetmask, "255.255.255.0");
            CopyText(s.newGateway, "10.71.1.1");
            CopyText(s.workgroupText, "OFFICE");
            CopyText(s.codepageText, "950");
            CopyText(s.accessModeText, "rw");
            CopyText(s.stopText, "stop");
            CopyText(s.installedText, "BT");
            const std::tuple<std::uint8_t, int (*)(), std::string> settings[] = {
                {5, SendSetting5, ""},     {7, SetWorkgroup, "OFFICE"},   {8, SetCodepage, "950"},
                {10, SetAccessMode, "rw"}, {13, SendStopCommand, "stop"}, {14, NotifyInstalled, "BT"},
            };
            for (const auto &[sub, setting, payload] : settings)
            {
                sent.push_back(SettingRequest(clientId, uuid, sub, "255.255.255.0", "10.71.1.1", payload));
                check("setting", setting());
            }

            CopyText(s.newIp, "10.71.1.20");
            CopyText(s.newGateway, "");
            sent.push_back(SettingRequest(clientId, uuid, 1, "255.255.255.0", "", "10.71.1.20"));
            check("static address", SetStaticAddress());
            check("selected moved", FieldText(s.selectedIp) == "10.71.1.20");

            // The request after the change carries the new address in the uuid.
            uuid = {0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6, 10, 71, 1, 20};
            sent.push_back(SettingRequest(clientId, uuid, 2, "", "", ""));
            check("dhcp", SetDhcp());

            CloseEndpoints();
            ResetProtocolState();
        });
    worker.join();
    EXPECT_TRUE(results.empty()) << ::testing::PrintToString(results);
    lab->StopSimulator();

    ASSERT_EQ(clientId.size(), 10u);
    const std::vector<std::string> logged = LoggedRequests(lab->LogText(), Hex(clientId));
    ASSERT_EQ(logged.size(), sent.size()) << lab->LogText();
    for (std::size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(logged[i], Hex(sent[i])) << "request " << i;
}

} // namespace
