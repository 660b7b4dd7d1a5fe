#pragma once

#include "app/CSearchUtilityDlg.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinListCtrl.h"
#include "skin/SkinControlId.h"
#include "support/FakeNetworkDrives.h"
#include "support/FakeSystemInfo.h"
#include "support/FakeWebAccess.h"
#include "support/Installed.h"
#include "support/WaitFor.h"

#include <QComboBox>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
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

using izuzez::test::WaitFor;

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

// Answers the modal dialogs that come up while a handler runs, as a person would. A dialog with a scripted
// action for its class gets the first such action (run from a timer of its own, so that boxes it brings
// up are answered too). Otherwise: every message box is recorded and OKed; each Login dialog gets the next
// scripted login (the user name typed when given, the password typed, then OK) or, with none left or a
// nullopt password, Cancel; the letter-in-use dialog OK or Cancel as reuseOk says; About OK.
class ModalAnswerer : public QObject
{
public:
    using Action = std::function<void(QWidget *)>;

    ModalAnswerer();
    void AddLogin(std::optional<QString> password, QString userName = {})
    {
        m_logins.push_back({std::move(password), std::move(userName)});
    }
    void On(const char *className, Action action) { m_actions.push_back({className, std::move(action)}); }
    // The texts of the boxes, in order.
    QStringList Texts() const;
    // How many dialogs of this class were answered.
    int Shown(const char *className) const;

    std::vector<ShownBox> boxes;
    std::vector<QString> shown; // class names of the dialogs other than message boxes answered, in order
    bool reuseOk = true;
    QStringList loginUserNames; // what the user-name field showed
    std::vector<bool> loginUserNameEnabled;

private:
    struct Login
    {
        std::optional<QString> password;
        QString userName;
    };
    void Poll();
    bool RunAction(QWidget *modal);
    void AnswerLogin(QWidget *modal);
    QTimer m_timer;
    QPointer<QWidget> m_acting; // the dialog whose action is pending
    std::deque<Login> m_logins;
    std::vector<std::pair<const char *, Action>> m_actions;
};

using izuzez::test::FakeNetworkDrives;
using izuzez::test::FakeSystemInfo;
using izuzez::test::FakeWebAccess;
using izuzez::test::Installed;

// The real main window, with its controls by id and the clicks a person makes on them.
class WindowControls
{
protected:
    // Makes the main window and runs its first search.
    void OpenWindow();

    template <class T> T *Item(int id) const { return qobject_cast<T *>(GetDlgItem(m_dlg.get(), id)); }
    CSkinListCtrl *Devices() const { return Item<CSkinListCtrl>(1000); }
    CSkinListCtrl *Volumes() const { return Item<CSkinListCtrl>(1001); }
    QComboBox *Letters() const { return Item<QComboBox>(1013); }

    void Click(int id) { QTest::mouseClick(Item<CSkinButton>(id), Qt::LeftButton); }
    void ClickRow(CSkinListCtrl *list, int row);
    void ClickDevice(int row) { ClickRow(Devices(), row); }
    void ClickDevice(const QString &ip);
    // The device row with this IP, or -1.
    int RowOf(const QString &ip) const;
    std::vector<QString> Column(CSkinListCtrl *list, int column) const;
    // Chooses the drive letter whose entry starts with prefix.
    void ChooseLetter(const QString &prefix);

    std::unique_ptr<CSearchUtilityDlg> m_dlg;
};

// The window against the simulator on loopback. It ends before the fakes a fixture installs (Installed
// members of the fixture) are taken away.
class WindowFixture : public ::testing::Test, public WindowControls
{
protected:
    void TearDown() override;

    // Starts the simulator with these devices on loopback (in a network namespace of this process's own as
    // root) and opens the endpoints there.
    void StartOnLoopback(const char *devices);

    Simulator m_simulator;
};

} // namespace apptest
