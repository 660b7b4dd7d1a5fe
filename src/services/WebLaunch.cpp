#include "services/WebLaunch.h"

#include <thread>

namespace izuzez::services
{

DeviceAvailability g_nDeviceAvailable;

std::string WebAddress(std::string_view ip, std::string_view sslText)
{
    const bool secure = sslText.find('1') != std::string_view::npos;
    return std::string(secure ? "https://" : "http://") + std::string(ip);
}

std::string ReadRegistryString(platform::WebAccess &web, std::string_view subKey)
{
    std::string value;
    if (!web.ReadRegistryString(subKey, value))
        return {};
    return value;
}

LaunchReport OpenInBrowser(platform::WebAccess &web, std::string_view ip, std::string_view sslText)
{
    const std::string address = WebAddress(ip, sslText);
    const std::string browser = ReadRegistryString(web, kBrowsersKey);
    LaunchReport report;
    if (browser.find("IE") != std::string::npos)
        report.command = "explorer " + address;
    else
    {
        const std::string command =
            ReadRegistryString(web, std::string(kBrowsersKey) + "\\" + browser + "\\shell\\open\\command");
        report.command = command + " " + address;
    }
    report.code = web.WinExec(report.command, 0);
    if (report.code == 2 || report.code == 3 || report.code == 11)
    {
        report.fellBack = true;
        report.fallbackCommand = "explorer " + address;
        report.fallbackCode = web.WinExec(report.fallbackCommand, 0);
    }
    return report;
}

void DeviceAvailability::Start(std::shared_ptr<platform::WebAccess> web, std::string_view ip)
{
    unsigned ticket = 0;
    {
        std::lock_guard<std::mutex> guard(m_shared->lock);
        ticket = ++m_shared->ticket;
        m_shared->value = 0;
    }
    // The worker owns copies of what it reads, so a later click cannot change them under it.
    std::thread(
        [shared = m_shared, web = std::move(web), url = WebAddress(ip), ticket]
        {
            const int value = web->InternetCheckConnection(url) ? 1 : -1;
            std::lock_guard<std::mutex> guard(shared->lock);
            if (ticket == shared->ticket)
                shared->value = value;
        })
        .detach();
}

int DeviceAvailability::Value() const
{
    std::lock_guard<std::mutex> guard(m_shared->lock);
    return m_shared->value;
}

void DeviceAvailability::Reset()
{
    std::lock_guard<std::mutex> guard(m_shared->lock);
    ++m_shared->ticket;
    m_shared->value = 0;
}

bool WaitForWebPort(DeviceAvailability &check, const WaitClock &clock)
{
    int answer = check.Value();
    for (int pause = 0; answer == 0 && pause < kWebPortPauses; ++pause)
    {
        clock.Sleep(kWebPortPause);
        answer = check.Value();
    }
    check.Reset();
    return answer == 1;
}

WebPageOpening OpenDeviceWebPage(const std::shared_ptr<platform::WebAccess> &web, DeviceAvailability &check,
                                 std::string_view ip, std::string_view sslText, const WaitClock &clock, bool launch)
{
    WebPageOpening opening;
    check.Start(web, ip);
    opening.available = WaitForWebPort(check, clock);
    if (opening.available && launch)
        opening.report = OpenInBrowser(*web, ip, sslText);
    return opening;
}

} // namespace izuzez::services
