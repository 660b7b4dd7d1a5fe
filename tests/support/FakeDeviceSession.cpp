#include "FakeDeviceSession.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace izuzez::test
{

using services::FoundDevice;

FoundDevice Device(std::string name, std::string ip)
{
    FoundDevice d;
    d.name = std::move(name);
    d.ip = std::move(ip);
    d.netmask = "255.255.255.0";
    d.gateway = "10.0.0.1";
    d.uuid = "0011223344550a000005";
    d.interfaceAddress = "10.0.0.2";
    return d;
}

std::vector<FoundDevice> FakeDeviceSession::Search()
{
    const std::size_t i = static_cast<std::size_t>(searchCount++);
    m_listed = searches.empty() ? std::vector<FoundDevice>{} : searches[std::min(i, searches.size() - 1)];
    return m_listed;
}

std::vector<FoundDevice> FakeDeviceSession::SearchUntilQuiet(std::chrono::milliseconds quiet)
{
    quietTimes.push_back(quiet);
    return Search();
}

bool FakeDeviceSession::Select(const std::string &ip)
{
    return std::any_of(m_listed.begin(), m_listed.end(), [&](const FoundDevice &d) { return d.ip == ip; });
}

int FakeDeviceSession::CheckAdminPassword(std::string_view userName, std::string_view password)
{
    EXPECT_EQ(userName, "admin");
    passwordsTried.emplace_back(password);
    return passwordsTried.size() <= verdicts.size() ? verdicts[passwordsTried.size() - 1] : 0;
}

bool FakeDeviceSession::Query(services::QueryKind kind, std::vector<std::string> &answer)
{
    if (!queryAnswers)
        return false;
    const auto it = answers.find(kind);
    answer = it == answers.end() ? std::vector<std::string>{"1"} : it->second;
    return true;
}

bool FakeDeviceSession::SetStaticAddress(const std::string &ip, const std::string &netmask, const std::string &gateway)
{
    staticRequest = {ip, netmask, gateway};
    return staticConfirms;
}

bool FakeDeviceSession::SetDhcp(std::string &answeredIp)
{
    dhcpSent = true;
    answeredIp = dhcpAddress;
    return dhcpConfirms;
}

} // namespace izuzez::test
