#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace izuzez::platform
{

// What the web page launch needs of the system: a reachability check, the default browser as the
// registry would name it, and starting a command line.
class WebAccess
{
public:
    virtual ~WebAccess() = default;

    // InternetCheckConnectionA with FLAG_ICC_FORCE_CONNECTION: a TCP connection to the address's host and
    // port (80 for http, 443 for https) within a bounded wait. A refusal fails at once. May run on any thread.
    virtual bool InternetCheckConnection(std::string_view url) = 0;

    // The default (unnamed) string value of a key under the local machine, as RegQueryValueExA would read
    // it. Two keys are known: "Software\Clients\StartMenuInternet" (the default browser's name) and
    // "Software\Clients\StartMenuInternet\<name>\shell\open\command" (its command line). False for others.
    virtual bool ReadRegistryString(std::string_view subKey, std::string &value) = 0;

    // WinExec: starts a command line as a detached process. Above 31 when it started; 2 file not found,
    // 3 path not found, 11 bad executable format, 5 access denied, 0 out of resources. The program
    // "explorer" opens its argument with the desktop's opener.
    virtual unsigned WinExec(std::string_view commandLine, int showWindow) = 0;
};

inline constexpr unsigned kWinExecStarted = 33;

std::shared_ptr<WebAccess> CreateWebAccess();

// Shared, so that a check still running on a worker keeps the layer it started with.
std::shared_ptr<WebAccess> CurrentWebAccess();
void SetWebAccess(std::shared_ptr<WebAccess> access);

} // namespace izuzez::platform
