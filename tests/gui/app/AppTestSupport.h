#pragma once

#include "platform/NetworkDrives.h"
#include "platform/SystemInfo.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTest>
#include <QTimer>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace izuzez::test
{
class Background;
class TempDir;
} // namespace izuzez::test

namespace apptest
{

// Runs the event loop until the condition holds or timeoutMs passes, and says whether it holds.
template <class Condition> bool WaitFor(Condition condition, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < timeoutMs)
        QTest::qWait(10);
    return condition();
}

// As root, moves the test process into a network namespace of its own with only loopback up, so that
// no other simulator on this machine answers; otherwise the machine's loopback is used as it is. Once.
void IsolateLoopback();

// The device simulator on 127.0.0.1 with a configuration, its request log readable at any time.
class Simulator
{
public:
    Simulator();
    ~Simulator();
    bool Start(const std::string &configJson, std::string &problem);
    void Stop();
    std::string Log() const;
    // The received requests (log lines starting "recv") of an opcode and, unless -1, a sub-command.
    std::vector<std::string> Requests(int op, int sub = -1) const;

private:
    std::unique_ptr<izuzez::test::TempDir> m_dir;
    std::unique_ptr<izuzez::test::Background> m_process;
};

// Opens the protocol endpoints on 127.0.0.1 only (again if a test closed them).
void OpenLoopbackEndpoints();

// What a message box showed.
struct ShownBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers the modal dialogs that come up while a handler runs, as a person would: every message box with
// OK; each Login dialog with the next scripted password (typed, then OK) or, with none left or a
// nullopt, Cancel.
class ModalAnswerer : public QObject
{
public:
    ModalAnswerer();
    void AddLogin(std::optional<QString> password) { m_logins.push_back(std::move(password)); }

    std::vector<ShownBox> boxes;
    int loginsShown = 0;
    int aboutsShown = 0;
    QStringList loginUserNames; // what the user-name field showed
    std::vector<bool> loginUserNameEnabled;

private:
    void Poll();
    QTimer m_timer;
    std::deque<std::optional<QString>> m_logins;
};

// Drive letters as a table: letter -> type and remote name.
class FakeDrives : public izuzez::platform::NetworkDrives
{
public:
    struct Letter
    {
        int type = izuzez::platform::DRIVE_NO_ROOT_DIR;
        std::string remote; // connected when not empty
    };
    std::map<char, Letter> letters;

    int GetDriveType(std::string_view rootPath) const override;
    bool GetConnection(std::string_view localName, std::string &remoteName) const override;
};

class FakeSystemInfo : public izuzez::platform::SystemInfo
{
public:
    std::optional<izuzez::platform::OsVersionInfo> version;
    std::string userName = "alice";
    bool GetVersionEx(izuzez::platform::OsVersionInfo &info) const override;
    bool GetUserName(std::string &name) const override;
};

} // namespace apptest
