#pragma once

#include "services/DeviceSession.h"

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace izuzez::test
{

// A device as a search lists it: a name, an IP text and the rest filled in plainly.
services::FoundDevice Device(std::string name, std::string ip);

// Stands in for the protocol: scripted device lists and verdicts, recording what was asked. Select finds
// only what the last search listed.
class FakeDeviceSession : public services::DeviceSession
{
public:
    std::vector<std::vector<services::FoundDevice>> searches; // one list per search; the last one repeats
    std::vector<int> verdicts;                                // per password check; missing ones refuse
    // The answers by query; a kind not named answers "1". Without `queryAnswers` none answers.
    std::map<services::QueryKind, std::vector<std::string>> answers{{services::QueryKind::Shares, {"public", "media"}}};
    bool queryAnswers = true;
    bool staticConfirms = true;
    bool dhcpConfirms = true;
    std::string dhcpAddress = "10.0.0.77";

    int searchCount = 0;
    std::vector<std::chrono::milliseconds> quietTimes; // of the searches that waited for quiet
    std::vector<std::string> passwordsTried;
    std::vector<std::string> staticRequest;
    bool dhcpSent = false;

    std::vector<services::FoundDevice> Search() override;
    std::vector<services::FoundDevice> SearchUntilQuiet(std::chrono::milliseconds quiet) override;
    bool Select(const std::string &ip) override;
    // The user is always the administrator's name; another fails the test.
    int CheckAdminPassword(std::string_view userName, std::string_view password) override;
    bool Query(services::QueryKind kind, std::vector<std::string> &answer) override;
    bool SetStaticAddress(const std::string &ip, const std::string &netmask, const std::string &gateway) override;
    bool SetDhcp(std::string &answeredIp) override;
    std::size_t PasswordLimit() const override { return 16; }

private:
    std::vector<services::FoundDevice> m_listed;
};

} // namespace izuzez::test
