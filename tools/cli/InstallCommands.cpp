#include "InstallCommands.h"

#include "Progress.h"
#include "platform/WinFiles.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"
#include "services/CodepageInstall.h"
#include "services/WebLaunch.h"

namespace izuzez::cli
{

namespace
{
using namespace services;

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

int Refuse(Console &console, std::string_view message)
{
    console.err << message << "\n";
    return kExitDevice;
}

// An unformatted disk is formatted from the device's web page.
int RefuseWithPage(const Options &o, Console &console, std::string_view refusal, bool opensWebPage)
{
    console.err << refusal << "\n";
    if (opensWebPage)
        console.err << "The device's web page: " << services::WebAddress(o.deviceIp) << "\n";
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
    const LanguageDisk disk = AskLanguageDisk();
    if (!disk.refusal.empty())
        return RefuseWithPage(o, console, disk.refusal, disk.opensWebPage);
    const Language &current = Languages()[static_cast<std::size_t>(disk.current)];
    console.out << "Current language: " << current.name << " (" << current.codepage << ")\n";
    const int index = LanguageIndexOf(o.codepage);
    if (IsCodepageUnsupported(index, HasExtraCodepages(disk.state)))
        return Refuse(console, kUnsupportedCodepage);

    console.out << "Installing " << Languages()[static_cast<std::size_t>(index)].name << " (" << o.codepage << ")\n";
    bool installed = false;
    InstallFailure failure;
    {
        Progress progress(console.out, console.outIsTerminal);
        installed = RunInstallEngine(1, index, o.deviceIp, ShowFiles(progress), &failure);
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
        return RefuseWithPage(o, console, refusal, opensWebPage);
    bool installed = false;
    InstallFailure failure;
    {
        Progress progress(console.out, console.outIsTerminal);
        installed = RunInstallEngine(2, 0, o.deviceIp, ShowFiles(progress), &failure);
    }
    if (!installed)
        return RefuseFailure(o, console, failure);
    console.out << "The BitTorrent helpers are on the device.\n";
    WaitForRestart(o, console);
    platform::RemoveFolder("C:\\bt\\");
    return kExitDone;
}

} // namespace izuzez::cli
