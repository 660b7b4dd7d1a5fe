#include "services/MappingCredentials.h"

namespace izuzez::services
{
namespace
{

constexpr int kOldNtAttempts = 6;
constexpr std::size_t kUserBuffer = 260;
constexpr unsigned kFlags = platform::CONNECT_UPDATE_PROFILE;

std::string WithDomain(const std::string &domain, const std::string &user)
{
    return domain.empty() ? user : domain + "\\" + user;
}

} // namespace

bool ConnectWithCredentials(const MappingSteps &steps)
{
    if (steps.version.find("NT") != std::string::npos)
    {
        const platform::Credentials typed = steps.prompt().value_or(platform::Credentials{});
        for (int attempt = 0; attempt < kOldNtAttempts; ++attempt)
        {
            if (steps.connect(typed.password.c_str(), typed.userName.c_str(), kFlags))
                return true;
        }
        return false;
    }

    const std::string domain = steps.domain();
    if (!domain.empty())
    {
        std::string user = steps.localUser();
        if (user.size() >= kUserBuffer)
            user.resize(kUserBuffer - 1);
        if (steps.connect(nullptr, WithDomain(domain, user).c_str(), kFlags))
            return true;
    }
    else if (steps.connect("", "", kFlags))
        return true;

    if (steps.version.find("Vista") != std::string::npos)
    {
        platform::SetCredentialPrompt([&steps](std::string_view) { return steps.prompt(); });
        const bool connected = steps.connect("", "", kFlags | platform::CONNECT_INTERACTIVE);
        platform::SetCredentialPrompt(nullptr);
        return connected;
    }
    // How the login closed is not looked at: a cancelled one tries with empty texts.
    const platform::Credentials typed = steps.prompt().value_or(platform::Credentials{});
    return steps.connect(typed.password.c_str(), WithDomain(domain, typed.userName).c_str(), kFlags);
}

} // namespace izuzez::services
