#include "Commands.h"

#include "Progress.h"
#include "services/DeviceInstall.h"
#include "services/WebLaunch.h"

namespace izuzez::cli
{

namespace
{
using namespace services;

constexpr std::string_view kRestarting = "The system is restarting. Please wait a moment.";

EngineProgress ShowFiles(Progress &progress)
{
    return [&progress](std::string_view path, int index, int count) { progress.Show(index, count, path); };
}

void WaitForRestart(const Options &o, Console &console)
{
    if (o.noRestartWait)
    {
        console.out << "The device restarts now; not waiting for it.\n";
        return;
    }
    console.out << kRestarting << "\n" << std::flush;
    Progress progress(console.out, console.outIsTerminal);
    // Away from a terminal a line at every 11 % and at the end.
    services::WaitForRestart(
        [&](int percent)
        {
            const bool named = !console.outIsTerminal && (percent % 11 == 0 || percent == 100);
            progress.Show(percent, 100, named ? std::to_string(percent) + "%" : "");
        });
    progress.Finish();
    console.out << "The device has restarted.\n";
}

// The file and its reason, or how to reach a share that refuses guests, before the usual message.
void ExplainFailure(const Options &o, Console &console, const InstallFailure &failure)
{
    if (!failure.share.empty())
    {
        const std::string share = failure.share.substr(failure.share.rfind('\\') + 1);
        console.err << "izuzez: " << failure.share << " does not let guests in.\n"
                    << "Map it with your user name, then run the installation again:\n"
                    << "  izuzez map " << o.deviceIp << " " << share << " --user NAME --password-stdin\n";
    }
    else if (!failure.path.empty())
        console.err << "izuzez: cannot write " << failure.path << ": " << failure.reason << "\n";
}

// The end of an installation that did not finish. An unformatted disk is formatted from the device's web page.
int Unfinished(const Options &o, const DeviceSession &session, Console &console, const InstallOutcome &outcome)
{
    using Result = InstallOutcome::Result;
    if (outcome.result == Result::NotLoggedIn)
        return LoginStatus(outcome.login, o, session, console);
    if (outcome.result == Result::Failed)
        ExplainFailure(o, console, outcome.failure);
    console.err << (outcome.result == Result::Failed ? kCheckDisks : outcome.refusal) << "\n";
    if (outcome.opensWebPage)
        console.err << "The device's web page: " << services::WebAddress(o.deviceIp) << "\n";
    return kExitDevice;
}
} // namespace

int RunInstallCodepage(const Options &o, DeviceSession &session, Console &console)
{
    if (!SearchAndSelect(o, session, console))
        return kExitDevice;
    Progress progress(console.out, console.outIsTerminal);
    LanguageInstallHooks hooks;
    hooks.current = [&](const Language &current)
    { console.out << "Current language: " << current.name << " (" << current.codepage << ")\n"; };
    hooks.installing = [&](const Language &chosen)
    { console.out << "Installing " << chosen.name << " (" << o.codepage << ")\n"; };
    hooks.progress = ShowFiles(progress);
    const InstallOutcome outcome = InstallLanguage(o.deviceIp, o.codepage, hooks);
    progress.Finish();
    if (outcome.result != InstallOutcome::Result::Installed)
        return Unfinished(o, session, console, outcome);
    console.out << "Code page " << o.codepage << " sent to the device.\n";
    WaitForRestart(o, console);
    return kExitDone;
}

int RunInstallBt(const Options &o, DeviceSession &session, Console &console)
{
    if (!SearchAndSelect(o, session, console))
        return kExitDevice;
    Progress progress(console.out, console.outIsTerminal);
    BtInstallHooks hooks;
    hooks.askPassword = console.askPassword;
    hooks.progress = ShowFiles(progress);
    hooks.restart = [&]
    {
        progress.Finish();
        console.out << "The BitTorrent helpers are on the device.\n";
        WaitForRestart(o, console);
    };
    const InstallOutcome outcome = InstallBtHelpers(session, o.deviceIp, hooks);
    progress.Finish();
    return outcome.result == InstallOutcome::Result::Installed ? kExitDone : Unfinished(o, session, console, outcome);
}

} // namespace izuzez::cli
