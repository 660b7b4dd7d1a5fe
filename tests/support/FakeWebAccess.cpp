#include "FakeWebAccess.h"

#include <gtest/gtest.h>

#include <thread>

namespace izuzez::test
{

std::vector<std::string> FakeWebAccess::Urls() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_urls;
}

bool FakeWebAccess::InternetCheckConnection(std::string_view url)
{
    Check check{std::chrono::milliseconds(0), reachable};
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_urls.emplace_back(url);
        if (!checks.empty())
        {
            check = checks.front();
            checks.pop_front();
        }
    }
    std::this_thread::sleep_for(check.delay);
    if (!gated)
        return check.reachable;
    std::unique_lock<std::mutex> lock(m_lock);
    m_opened.wait_for(lock, std::chrono::seconds(5), [this] { return m_gateAnswer.has_value(); });
    return m_gateAnswer.value_or(false);
}

void FakeWebAccess::Open(bool answer)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_gateAnswer = answer;
    m_opened.notify_all();
}

bool FakeWebAccess::ReadRegistryString(std::string_view subKey, std::string &value)
{
    keys.emplace_back(subKey);
    value = subKey == "Software\\Clients\\StartMenuInternet" ? browser : command;
    return !value.empty();
}

unsigned FakeWebAccess::WinExec(std::string_view commandLine, int showWindow)
{
    EXPECT_EQ(showWindow, 0);
    commands.emplace_back(commandLine);
    if (execResults.empty())
        return platform::kWinExecStarted;
    const unsigned result = execResults.front();
    execResults.pop_front();
    return result;
}

} // namespace izuzez::test
