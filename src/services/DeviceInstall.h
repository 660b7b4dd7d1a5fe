#pragma once

// The installations as the command line runs them on the selected device, from the device's questions to the
// wait for its restart: the same steps the window's dialogs take one by one.

#include "services/AdminLogin.h"
#include "services/CodepageInstall.h"
#include "services/DeviceSession.h"

#include <functional>
#include <string_view>

namespace izuzez::services
{

struct InstallOutcome
{
    enum class Result
    {
        Installed,
        NotLoggedIn, // the administrator password was not accepted: `login` says how
        Refused,     // the device's answers refuse it before anything is written: `refusal`
        Failed,      // the engine failed: `failure` says why
    };
    Result result = Result::Installed;
    AdminLogin login = AdminLogin::Accepted;
    std::string_view refusal;
    bool opensWebPage = false; // with the refusal of an unformatted disk
    InstallFailure failure;
};

struct LanguageInstallHooks
{
    std::function<void(const Language &current)> current;   // the device's language, once it said it
    std::function<void(const Language &chosen)> installing; // before the engine writes the files
    EngineProgress progress;
};

// The code page (one of Languages()): the disk and its language are asked, a code page the firmware does not
// carry is refused, then the engine writes the files.
InstallOutcome InstallLanguage(std::string_view deviceIp, std::string_view codepage, const LanguageInstallHooks &hooks);

struct BtInstallHooks
{
    AskAdminPasswordFn askPassword;
    EngineProgress progress;
    std::function<void()> restart; // once the helpers are on the device: the wait for its restart
};

// The BitTorrent helpers: the administrator password, the device's support, the engine, and after the restart
// the local copies go.
InstallOutcome InstallBtHelpers(DeviceSession &session, std::string_view deviceIp, const BtInstallHooks &hooks);

} // namespace izuzez::services
