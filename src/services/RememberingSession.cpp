#include "services/RememberingSession.h"

#include "services/DeviceCache.h"

#include <ctime>

namespace izuzez::services
{
namespace
{

class RememberingSession final : public DeviceSession
{
public:
    RememberingSession(std::unique_ptr<DeviceSession> inner, std::function<void(const std::string &)> warn)
        : m_inner(std::move(inner)), m_warn(std::move(warn))
    {
    }

    std::vector<FoundDevice> Search() override { return Remember(m_inner->Search()); }
    std::vector<FoundDevice> SearchUntilQuiet(std::chrono::milliseconds quiet) override
    {
        return Remember(m_inner->SearchUntilQuiet(quiet));
    }
    bool Select(const std::string &ip) override { return m_inner->Select(ip); }
    int CheckAdminPassword(std::string_view userName, std::string_view password) override
    {
        return m_inner->CheckAdminPassword(userName, password);
    }
    bool Query(QueryKind kind, std::vector<std::string> &answer) override { return m_inner->Query(kind, answer); }
    bool SetStaticAddress(const std::string &ip, const std::string &netmask, const std::string &gateway) override
    {
        return m_inner->SetStaticAddress(ip, netmask, gateway);
    }
    bool SetDhcp(std::string &answeredIp) override { return m_inner->SetDhcp(answeredIp); }
    std::size_t PasswordLimit() const override { return m_inner->PasswordLimit(); }

private:
    std::vector<FoundDevice> Remember(std::vector<FoundDevice> devices)
    {
        if (devices.empty())
            return devices;
        const std::int64_t now = std::time(nullptr);
        std::vector<CachedDevice> seen;
        for (const FoundDevice &d : devices)
            seen.push_back({d.name, d.mac, d.ip, d.interfaceAddress, now});
        const std::string problem = RememberDevices(DeviceCachePath(), seen);
        if (!problem.empty() && !m_warned)
        {
            m_warn(problem);
            m_warned = true; // watch searches every few seconds; once is enough
        }
        return devices;
    }

    std::unique_ptr<DeviceSession> m_inner;
    std::function<void(const std::string &)> m_warn;
    bool m_warned = false;
};

} // namespace

std::unique_ptr<DeviceSession> RememberSearches(std::unique_ptr<DeviceSession> session,
                                                std::function<void(const std::string &)> warn)
{
    return std::make_unique<RememberingSession>(std::move(session), std::move(warn));
}

} // namespace izuzez::services
