#pragma once

#include "platform/WebAccess.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
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
    // Set before a check starts: every check then waits (at most 5 s) until Open gives its answer.
    bool gated = false;
    void Open(bool answer);

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
    std::condition_variable m_opened;
    std::optional<bool> m_gateAnswer;
};

} // namespace izuzez::test
