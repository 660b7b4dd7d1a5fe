#include "Installed.h"

namespace izuzez::test
{

using namespace platform;

namespace
{

// The drive, version and clock slots own what they hold, so each guard's layer goes in behind one of these,
// and the layer beneath survives to be put back.
class ForwardDrives final : public NetworkDrives
{
public:
    explicit ForwardDrives(NetworkDrives &to) : m_to(to) {}
    int GetDriveType(std::string_view root) const override { return m_to.GetDriveType(root); }
    bool GetConnection(std::string_view local, std::string &remote) const override
    {
        return m_to.GetConnection(local, remote);
    }
    int AddConnection(std::string_view local, std::string_view remote, const char *password, const char *user,
                      unsigned flags) override
    {
        return m_to.AddConnection(local, remote, password, user, flags);
    }
    int CancelConnection(std::string_view local, unsigned flags, bool force) override
    {
        return m_to.CancelConnection(local, flags, force);
    }
    int GetUser(std::string &user) const override { return m_to.GetUser(user); }
    std::string LocalPath(std::string_view local) const override { return m_to.LocalPath(local); }
    std::vector<RememberedDrive> DisconnectedRemembered() const override { return m_to.DisconnectedRemembered(); }
    bool FinishLateWork(std::chrono::steady_clock::time_point until) override { return m_to.FinishLateWork(until); }

private:
    NetworkDrives &m_to;
};

class ForwardSystemInfo final : public SystemInfo
{
public:
    explicit ForwardSystemInfo(SystemInfo &to) : m_to(to) {}
    bool GetVersionEx(OsVersionInfo &info) const override { return m_to.GetVersionEx(info); }
    bool GetUserName(std::string &name) const override { return m_to.GetUserName(name); }

private:
    SystemInfo &m_to;
};

class ForwardClock final : public services::WaitClock
{
public:
    explicit ForwardClock(services::WaitClock &to) : m_to(to) {}
    std::chrono::milliseconds Scaled(std::chrono::milliseconds nominal) const override { return m_to.Scaled(nominal); }

private:
    services::WaitClock &m_to;
};

} // namespace

namespace detail
{

void PutInPlace(const std::shared_ptr<NetworkDrives> &top)
{
    SetNetworkDrives(top ? std::make_unique<ForwardDrives>(*top) : nullptr);
}
void PutInPlace(const std::shared_ptr<SystemInfo> &top)
{
    SetSystemInfo(top ? std::make_unique<ForwardSystemInfo>(*top) : nullptr);
}
void PutInPlace(const std::shared_ptr<WebAccess> &top)
{
    // Shared as it is: a check still running on a worker keeps it alive.
    SetWebAccess(top);
}
void PutInPlace(const std::shared_ptr<services::WaitClock> &top)
{
    services::SetWaitClock(top ? std::make_unique<ForwardClock>(*top) : nullptr);
}

} // namespace detail
} // namespace izuzez::test
