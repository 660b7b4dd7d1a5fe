#include "InstallCommands.h"

#include "Progress.h"
#include "platform/WinFiles.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"
#include "services/CodepageInstall.h"
#include "services/InstallState.h"
#include "services/WaitClock.h"
#include "services/WebLaunch.h"

#include <chrono>

namespace izuzez::cli
{

namespace
{
using namespace services;
using namespace std::chrono_literals;

constexpr std::string_view kRestarting = "The system is restarting. Please wait a moment.";

// The settings that go with an installation are confirmed by the device's own address.
void PrepareSession(const Options &o)
{
    CopyText(g_ProtocolState.newIp, o.deviceIp);
}

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
    // The window's bar: 99 steps of 0.9 s, then the rest of the 90 s.
    for (int step = 1; step <= 99; ++step)
    {
        progress.Show(step, 100, console.outIsTerminal ? "" : (step % 11 == 0 ? std::to_string(step) + "%" : ""));
        CurrentWaitClock().Sleep(900ms);
    }
    CurrentWaitClock().Sleep(900ms);
    progress.Show(100, 100, console.outIsTerminal ? "" : "100%");
    progress.Finish();
    g_nRestartStatus = 0;
    console.out << "The device has restarted.\n";
}

int Refuse(Console &console, std::string_view message)
{
    console.err << message << "\n";
    return kExitDevice;
}

// The file and its reason, or how to reach a share that refuses guests, before the usual message.
int RefuseFailure(const Options &o, Console &console, const InstallFailure &failure)
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
    return Refuse(console, kCheckDisks);
}
} // namespace

int RunInstallCodepage(const Options &o, DeviceSession &session, Console &console)
{
    if (!SearchAndSelect(o, session, console))
        return kExitDevice;
    PrepareSession(o);
    const int state = AskLanguageDiskState();
    switch (state)
    {
    case 1:
        return Refuse(console, kNoDisk);
    case 2:
        console.err << kFormatDisk << "\nThe device's web page: " << services::WebAddress(o.deviceIp) << "\n";
        return kExitDevice;
    case 3:
    case 5:
        break;
    case 4:
        return Refuse(console, kUnicodeDevice);
    default:
        return Refuse(console, kNoMultiLanguage);
    }
    const int current = AskCurrentLanguageIndex();
    console.out << "Current language: " << Languages()[static_cast<std::size_t>(current)].name << " ("
                << Languages()[static_cast<std::size_t>(current)].codepage << ")\n";
    const int index = LanguageIndexOf(o.codepage);
    if (IsCodepageUnsupported(index, g_bExtraCodepages != 0))
        return Refuse(console, kUnsupportedCodepage);

    g_nCodepageIndex = index;
    g_bInstallFailed = 0;
    g_nInstallKind = kInstallCodepage;
    console.out << "Installing " << Languages()[static_cast<std::size_t>(index)].name << " (" << o.codepage << ")\n";
    bool installed = false;
    InstallFailure failure;
    {
        Progress progress(console.out, console.outIsTerminal);
        installed = RunInstallEngine(1, o.deviceIp, ShowFiles(progress), &failure);
    }
    if (!installed)
        return RefuseFailure(o, console, failure);
    console.out << "Code page " << o.codepage << " sent to the device.\n";
    WaitForRestart(o, console);
    return kExitDone;
}

int RunInstallBt(const Options &o, DeviceSession &session, Console &console)
{
    if (!SearchAndSelect(o, session, console))
        return kExitDevice;
    PrepareSession(o);
    if (const int status = ProveAdminPassword(o, session, console); status >= 0)
        return status;
    const BtSupport support = AskBtSupport();
    bool opensWebPage = false;
    if (const std::string_view refusal = BtRefusal(support, opensWebPage); !refusal.empty())
    {
        console.err << refusal << "\n";
        if (opensWebPage)
            console.err << "The device's web page: " << services::WebAddress(o.deviceIp) << "\n";
        return kExitDevice;
    }
    g_nInstallKind = kInstallBitTorrent;
    g_bBtInstalled = 0;
    bool installed = false;
    InstallFailure failure;
    {
        Progress progress(console.out, console.outIsTerminal);
        installed = RunInstallEngine(2, o.deviceIp, ShowFiles(progress), &failure);
    }
    if (!installed)
        return RefuseFailure(o, console, failure);
    console.out << "The BitTorrent helpers are on the device.\n";
    WaitForRestart(o, console);
    g_bBtInstalled = 0;
    platform::RemoveFolder("C:\\bt\\");
    return kExitDone;
}

} // namespace izuzez::cli
