#pragma once

#include "platform/NetworkDrives.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace izuzez::test
{

// The 26 letters as tables. A letter in `remotes` is connected (DRIVE_REMOTE unless `types` names another
// type); one in `types` alone is a local disk or whatever type it holds; every other letter is a free root.
// Connections succeed or fail as scripted and change the tables as the real layer would.
class FakeNetworkDrives : public platform::NetworkDrives
{
public:
    struct Add
    {
        std::string local;
        std::string remote;
        std::optional<std::string> password; // nullopt: a null pointer
        std::optional<std::string> user;
        unsigned flags = 0;
        bool underDeadline = false; // a connect deadline was set during the call
        std::thread::id thread;
        // "X: \\srv\share user:password flags", a null text written as empty.
        std::string Text() const;
    };
    struct Cancel
    {
        std::string local;
        unsigned flags = 0;
        bool force = false;
    };

    std::map<char, int> types;
    std::map<char, std::string> remotes;
    std::vector<platform::RememberedDrive> remembered; // reported while their letter is not connected
    // What each AddConnection answers in turn; once used up, `addAnswer`.
    std::deque<int> addAnswers;
    int addAnswer = platform::NO_ERROR;
    // Each AddConnection first waits this long and, for an interactive one, asks the current prompt as the
    // GIO backend does; `prompted` is its answer.
    std::chrono::milliseconds addDelay{0};
    bool promptWhenInteractive = false;
    std::optional<platform::Credentials> prompted;
    std::atomic<bool> inAdd{false};
    std::string user = "alice"; // GetUser
    std::string pathRoot;       // LocalPath: pathRoot + letter; empty: none

    std::vector<Add> adds;
    std::vector<Cancel> cancels;

    std::vector<std::string> AddTexts() const;
    std::vector<std::string> CancelledLetters() const;

    int GetDriveType(std::string_view rootPath) const override;
    bool GetConnection(std::string_view localName, std::string &remoteName) const override;
    int AddConnection(std::string_view localName, std::string_view remoteName, const char *password,
                      const char *userName, unsigned flags) override;
    int CancelConnection(std::string_view localName, unsigned flags, bool force) override;
    int GetUser(std::string &userName) const override;
    std::string LocalPath(std::string_view localName) const override;
    std::vector<platform::RememberedDrive> DisconnectedRemembered() const override;
};

} // namespace izuzez::test
