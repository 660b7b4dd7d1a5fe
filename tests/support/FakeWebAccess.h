#pragma once

#include "platform/WebAccess.h"

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace izuzez::test
{

// Each reachability check takes its scripted time and answer (none left: at once, `reachable`); the
// registry names `browser` and its command line `command`; WinExec gives its scripted answers (none left:
// started). Checks may run on a worker thread.
class FakeWebAccess : public platform::WebAccess
{
public:
    struct Check
    {
        std::chrono::milliseconds delay;
        bool reachable;
    };
    std::deque<Check> checks;
    bool reachable = true;
    std::string browser;
    std::string command;
    std::deque<unsigned> execResults;

    std::vector<std::string> keys;     // registry keys read
    std::vector<std::string> commands; // command lines started
    std::vector<std::string> Urls() const;

    bool InternetCheckConnection(std::string_view url) override;
    bool ReadRegistryString(std::string_view subKey, std::string &value) override;
    // The page always opens hidden from WinExec's point of view (show 0); another show fails the test.
    unsigned WinExec(std::string_view commandLine, int showWindow) override;

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_urls;
};

} // namespace izuzez::test
