#include "platform/WebAccess.h"

#include "platform/linux/DefaultBrowser.h"
#include "platform/linux/DetachedExec.h"
#include "platform/linux/TimedConnect.h"

#include <chrono>
#include <cstring>
#include <mutex>

#include <netdb.h>

namespace izuzez::platform
{

namespace
{

// Longer than the window's 2-second wait, so that the wait decides; short enough that no check lingers.
constexpr auto kConnectLimit = std::chrono::seconds(5);
// Enough for the IPv4 and IPv6 addresses of one name.
constexpr std::size_t kMostAddresses = 8;
constexpr auto kSettingsLimit = std::chrono::seconds(3);
constexpr std::string_view kBrowsersKey = "Software\\Clients\\StartMenuInternet";
constexpr std::string_view kCommandSuffix = "\\shell\\open\\command";

// Host and port of "scheme://host[:port][/...]".
bool HostAndPort(std::string_view url, std::string &host, std::string &port)
{
    const std::size_t colon = url.find("://");
    if (colon == std::string_view::npos)
        return false;
    const std::string_view scheme = url.substr(0, colon);
    std::string_view rest = url.substr(colon + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos)
        rest.remove_prefix(at + 1);
    port = scheme == "https" ? "443" : "80";
    if (const std::size_t p = rest.rfind(':'); p != std::string_view::npos && rest.find(']') == std::string_view::npos)
    {
        port = std::string(rest.substr(p + 1));
        rest = rest.substr(0, p);
    }
    host = std::string(rest);
    return !host.empty() && !port.empty();
}

class LinuxWebAccess : public WebAccess
{
public:
    bool InternetCheckConnection(std::string_view url) override
    {
        std::string host;
        std::string port;
        if (!HostAndPort(url, host, port))
            return false;
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV;
        addrinfo *found = nullptr;
        if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr)
            return false;
        std::vector<SocketAddress> targets;
        for (const addrinfo *a = found; a != nullptr && targets.size() < kMostAddresses; a = a->ai_next)
        {
            SocketAddress target;
            if (a->ai_addrlen > sizeof target.address)
                continue;
            std::memcpy(&target.address, a->ai_addr, a->ai_addrlen);
            target.length = a->ai_addrlen;
            targets.push_back(target);
        }
        freeaddrinfo(found);
        return ConnectWithin(targets, std::chrono::steady_clock::now() + kConnectLimit) == ConnectResult::Connected;
    }

    bool ReadRegistryString(std::string_view subKey, std::string &value) override
    {
        if (subKey == kBrowsersKey)
        {
            value = DefaultBrowserId();
            // Desktops that keep the choice elsewhere answer through xdg-settings.
            if (value.empty())
                value = FirstLineOf({"xdg-settings", "get", "default-web-browser"}, kSettingsLimit);
            return !value.empty();
        }
        const std::string prefix = std::string(kBrowsersKey) + "\\";
        if (subKey.size() > prefix.size() + kCommandSuffix.size() && subKey.substr(0, prefix.size()) == prefix &&
            subKey.substr(subKey.size() - kCommandSuffix.size()) == kCommandSuffix)
        {
            const std::string_view name =
                subKey.substr(prefix.size(), subKey.size() - prefix.size() - kCommandSuffix.size());
            value = DesktopEntryCommand(name);
            return !value.empty();
        }
        return false;
    }

    unsigned WinExec(std::string_view commandLine, int) override
    {
        std::vector<std::string> words;
        if (!SplitCommandLine(commandLine, words) || words.empty())
            return 2;
        // The file manager of the original platform opened addresses; here the desktop's opener does.
        if (words[0] == "explorer")
            words[0] = "xdg-open";
        return StartDetached(words);
    }
};

std::mutex &SlotLock()
{
    static std::mutex lock;
    return lock;
}

std::shared_ptr<WebAccess> &Slot()
{
    static std::shared_ptr<WebAccess> slot;
    return slot;
}

} // namespace

std::shared_ptr<WebAccess> CreateWebAccess()
{
    return std::make_shared<LinuxWebAccess>();
}

std::shared_ptr<WebAccess> CurrentWebAccess()
{
    std::lock_guard<std::mutex> guard(SlotLock());
    if (!Slot())
        Slot() = CreateWebAccess();
    return Slot();
}

void SetWebAccess(std::shared_ptr<WebAccess> access)
{
    std::lock_guard<std::mutex> guard(SlotLock());
    Slot() = std::move(access);
}

} // namespace izuzez::platform
