#include "services/DeviceInstall.h"

#include "platform/WinFiles.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"

namespace izuzez::services
{
namespace
{

// The settings that go with an installation are confirmed by the device's own address.
void ConfirmAt(std::string_view deviceIp)
{
    CopyText(g_ProtocolState.newIp, deviceIp);
}

InstallOutcome Refused(std::string_view refusal, bool opensWebPage)
{
    InstallOutcome outcome;
    outcome.result = InstallOutcome::Result::Refused;
    outcome.refusal = refusal;
    outcome.opensWebPage = opensWebPage;
    return outcome;
}

InstallOutcome EngineRun(int timerId, int codepageIndex, std::string_view deviceIp, const EngineProgress &progress)
{
    InstallOutcome outcome;
    if (!RunInstallEngine(timerId, codepageIndex, deviceIp, progress, &outcome.failure))
        outcome.result = InstallOutcome::Result::Failed;
    return outcome;
}

} // namespace

InstallOutcome InstallLanguage(std::string_view deviceIp, std::string_view codepage, const LanguageInstallHooks &hooks)
{
    ConfirmAt(deviceIp);
    const LanguageDisk disk = AskLanguageDisk();
    if (!disk.refusal.empty())
        return Refused(disk.refusal, disk.opensWebPage);
    if (hooks.current)
        hooks.current(Languages()[static_cast<std::size_t>(disk.current)]);
    const int index = LanguageIndexOf(codepage);
    if (IsCodepageUnsupported(index, HasExtraCodepages(disk.state)))
        return Refused(kUnsupportedCodepage, false);
    if (hooks.installing)
        hooks.installing(Languages()[static_cast<std::size_t>(index)]);
    return EngineRun(1, index, deviceIp, hooks.progress);
}

InstallOutcome InstallBtHelpers(DeviceSession &session, std::string_view deviceIp, const BtInstallHooks &hooks)
{
    ConfirmAt(deviceIp);
    InstallOutcome outcome;
    outcome.login = LogInAsAdmin(session, hooks.askPassword);
    if (outcome.login != AdminLogin::Accepted)
    {
        outcome.result = InstallOutcome::Result::NotLoggedIn;
        return outcome;
    }
    bool opensWebPage = false;
    if (const std::string_view refusal = BtRefusal(AskBtSupport(), opensWebPage); !refusal.empty())
        return Refused(refusal, opensWebPage);
    outcome = EngineRun(2, 0, deviceIp, hooks.progress);
    if (outcome.result != InstallOutcome::Result::Installed)
        return outcome;
    if (hooks.restart)
        hooks.restart();
    platform::RemoveFolder("C:\\bt\\");
    return outcome;
}

} // namespace izuzez::services
