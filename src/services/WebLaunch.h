#pragma once

// The web page launch shared by the window and the command line: the reachability check that a later
// press cannot be answered by, and the choice of the browser's command line.

#include "platform/WebAccess.h"
#include "services/WaitClock.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace izuzez::services
{

inline constexpr std::string_view kBrowsersKey = "Software\\Clients\\StartMenuInternet";

// "https://IP" when the SSL text holds a "1", else "http://IP".
std::string WebAddress(std::string_view ip, std::string_view sslText = {});

// The default value of a key; empty when it cannot be read. Longer than the original's 120 bytes is
// taken whole: a command line cut short would start something else.
std::string ReadRegistryString(platform::WebAccess &web, std::string_view subKey);

// What a launch did: the command run first, WinExec's answer, and the fallback when it ran.
struct LaunchReport
{
    std::string command;
    unsigned code = 0;
    bool fellBack = false;
    std::string fallbackCommand;
    unsigned fallbackCode = 0;

    // The launch that counts is the fallback when it ran; WinExec's answers above 31 mean started.
    const std::string &FinalCommand() const { return fellBack ? fallbackCommand : command; }
    unsigned FinalCode() const { return fellBack ? fallbackCode : code; }
    bool Started() const { return FinalCode() > 31; }
};

// Finds the default browser and opens the address (secure or not) with it; "IE", and a browser that does
// not start for want of its file or path or a bad format, open it with the explorer command instead.
LaunchReport OpenInBrowser(platform::WebAccess &web, std::string_view ip, std::string_view sslText);

// The reachability result of the current press: 0 pending, 1 reachable, -1 not reachable. Each Start
// takes a new ticket; a worker whose ticket is no longer current leaves its result unread, so a check
// that outlives its wait never answers a later press.
class DeviceAvailability
{
public:
    // Starts the check of "http://IP" on a worker thread that nobody joins.
    void Start(std::shared_ptr<platform::WebAccess> web, std::string_view ip);
    int Value() const;
    // The wait is over: back to pending, and the running check (if any) is no longer listened to.
    void Reset();

private:
    // Shared with the workers, so that one still running at exit finds it alive.
    struct Shared
    {
        std::mutex lock;
        unsigned ticket = 0;
        int value = 0;
    };
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
};

extern DeviceAvailability g_nDeviceAvailable;

// The wait for the check both faces make before opening the page: looked at every 50 ms, 2 seconds in all,
// so that a refusal, which comes at once, is reported at once. True when the web port answered. The check
// is reset either way, so that a late answer cannot serve the next press.
inline constexpr std::chrono::milliseconds kWebPortPause{50};
inline constexpr int kWebPortPauses = 40;
bool WaitForWebPort(DeviceAvailability &check, const WaitClock &clock);

// The web page of both faces: the check of the device's web port, then, when it answered and `launch` is
// set, the page in the default browser.
struct WebPageOpening
{
    bool available = false;
    LaunchReport report; // empty without a launch
};
WebPageOpening OpenDeviceWebPage(const std::shared_ptr<platform::WebAccess> &web, DeviceAvailability &check,
                                 std::string_view ip, std::string_view sslText, const WaitClock &clock,
                                 bool launch = true);

} // namespace izuzez::services
