// The installation and widget dialogs: the loading and restart dialogs with a scaled clock, the language
// dialog and the widget flow through the real window against the simulator on loopback.

#include "WindowFixture.h"

#include "app/AppGlobals.h"
#include "app/CLanguageDlg.h"
#include "app/CLoadingDlg.h"
#include "app/CLoginDlg.h"
#include "app/CRestartDlg.h"
#include "app/CSearchUtilityDlg.h"
#include "app/CWidgetEngineDlg.h"
#include "app/ExchangeWait.h"
#include "app/InstallState.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"
#include "services/CodepageInstall.h"
#include "services/WaitClock.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinListCtrl.h"
#include "skin/CSkinProgressCtrl.h"
#include "skin/SkinControlId.h"
#include "support/Process.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <unistd.h>
#include <vector>

using namespace apptest;
using namespace std::chrono_literals;
using izuzez::services::ScaledClock;

namespace
{

// Pauses of the restart worker and the dialog's timer, each chosen freely.
class SplitClock : public izuzez::services::WaitClock
{
public:
    SplitClock(std::chrono::milliseconds step, std::chrono::milliseconds end) : m_step(step), m_end(end) {}
    std::chrono::milliseconds Scaled(std::chrono::milliseconds nominal) const override
    {
        return nominal == 900ms ? m_step : nominal == 90000ms ? m_end : nominal / 100;
    }

private:
    std::chrono::milliseconds m_step, m_end;
};

using ProgressDialogsTest = ::testing::Test;

TEST_F(ProgressDialogsTest, RestartFillsTheBarAndSetsTheStatusBeforeItReturns)
{
    // All steps are done long before the dialog's timer ends it.
    const Installed<SplitClock> split(2ms, 3000ms);
    g_nRestartStatus = -1;
    CRestartDlg restart;
    QTimer::singleShot(300ms, &restart,
                       [&]
                       {
                           // Escape and the close box do not end it.
                           QTest::keyClick(&restart, Qt::Key_Escape);
                           restart.close();
                       });
    QElapsedTimer clock;
    clock.start();
    restart.DoModal();
    // The dialog's timer ends it, not the worker's last step.
    EXPECT_GE(clock.elapsed(), 2900);
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_EQ(g_nRestartStatus.load(), 0);
    EXPECT_EQ(restart.WorkerExitCode(), 1);
    ASSERT_NE(restart.Progress(), nullptr);
    EXPECT_EQ(restart.Progress()->minimum(), 1);
    EXPECT_EQ(restart.Progress()->maximum(), 100);
    EXPECT_EQ(restart.Progress()->value(), 100);
}

TEST_F(ProgressDialogsTest, AnEarlyEndStopsTheWorkerAndStillSetsTheStatus)
{
    // The dialog's timer comes long before the worker's steps would end.
    const Installed<SplitClock> split(2000ms, 100ms);
    g_nRestartStatus = -1;
    CRestartDlg restart;
    QElapsedTimer clock;
    clock.start();
    restart.DoModal();
    const int valueAtEnd = restart.Progress()->value();
    EXPECT_LT(clock.elapsed(), 1900); // not one more worker step
    EXPECT_EQ(g_nRestartStatus.load(), 0);
    EXPECT_EQ(restart.WorkerExitCode(), 1);
    QTest::qWait(100);
    EXPECT_EQ(restart.Progress()->value(), valueAtEnd); // nothing stepped after the end
}

TEST_F(ProgressDialogsTest, LoadingRunsTheEngineOnceWithTheTimerOfTheKind)
{
    const Installed<ScaledClock> scaled(10); // first tick after 200 ms
    for (int kind : {kInstallCodepage, kInstallBitTorrent})
    {
        g_nInstallKind = kind;
        int calls = 0;
        int timerSeen = 0;
        qint64 firstAfter = 0;
        QElapsedTimer clock;
        clock.start();
        CLoadingDlg loading(nullptr,
                            [&](int timerId)
                            {
                                ++calls;
                                timerSeen = timerId;
                                firstAfter = clock.elapsed();
                                return true;
                            });
        QTimer::singleShot(50ms, &loading,
                           [&]
                           {
                               QTest::keyClick(&loading, Qt::Key_Escape);
                               QTest::keyClick(&loading, Qt::Key_Return);
                               loading.close();
                           });
        loading.DoModal();
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(timerSeen, kind == kInstallBitTorrent ? 2 : 1);
        EXPECT_GE(firstAfter, 190);
        EXPECT_FALSE(loading.TimerActive());
    }
    g_nInstallKind = kInstallCodepage;
}

TEST_F(ProgressDialogsTest, AFailedEngineReportsTheDisks)
{
    const Installed<ScaledClock> scaled(100);
    ModalAnswerer script;
    CLoadingDlg loading(nullptr, [](int) { return false; });
    loading.DoModal();
    ASSERT_TRUE(WaitFor([&] { return !script.boxes.empty(); }));
    EXPECT_EQ(script.Texts(), QStringList{QStringLiteral("Please check hard drives.")});
}

// A share that refuses guests: the engine's worker asks through the Login dialog in share mode, which takes
// input although an exchange is running; the device's own login is left as it was. How many tries is the
// rule's (tests/unit/services).
TEST_F(ProgressDialogsTest, ARefusedGuestAsksForTheShareLoginFromTheWorker)
{
    const Installed<ScaledClock> scaled(100);
    const struct
    {
        std::vector<std::optional<QString>> logins;
        std::vector<std::string> tried;
        bool installed;
    } cases[] = {
        {{QStringLiteral("wrong"), QStringLiteral("right")}, {"wrong", "right"}, true},
        {{std::nullopt}, {}, false},
    };
    for (const auto &c : cases)
    {
        CopyText(g_ProtocolState.userName, "admin");
        CopyText(g_ProtocolState.password, "device-pw");
        g_nLoginMode = kLoginModeAdmin;
        ModalAnswerer answerer;
        for (const std::optional<QString> &login : c.logins)
            answerer.AddLogin(login);
        std::vector<std::string> tried;
        bool onWorker = true;
        const Qt::HANDLE windowThread = QThread::currentThreadId();
        CLoadingDlg loading(nullptr,
                            [&](int)
                            {
                                const auto prompt = CLoadingDlg::ShareLogin(nullptr);
                                const auto connect = [&](const izuzez::platform::Credentials &typed)
                                {
                                    onWorker = onWorker && QThread::currentThreadId() != windowThread;
                                    tried.push_back(typed.password);
                                    return typed.password == "right" ? 0 : 1326;
                                };
                                return RunExchange(
                                    [&]
                                    { return izuzez::services::LogInToShare("\\\\10.0.0.5\\HDD_1", prompt, connect); });
                            });
        loading.DoModal();
        EXPECT_EQ(tried, c.tried);
        EXPECT_TRUE(onWorker);
        EXPECT_EQ(answerer.loginsShown, static_cast<int>(c.logins.size()));
        EXPECT_EQ(answerer.loginUserNameEnabled,
                  std::vector<bool>(static_cast<std::size_t>(answerer.loginsShown), true));
        // Only a failure shows the disks' message.
        ASSERT_TRUE(WaitFor([&] { return answerer.boxes.size() == (c.installed ? 0u : 1u); }));
        if (!c.installed)
        {
            EXPECT_EQ(answerer.boxes[0].text, QStringLiteral("Please check hard drives."));
        }
        EXPECT_EQ(FieldText(g_ProtocolState.userName), "admin");
        EXPECT_EQ(FieldText(g_ProtocolState.password), "device-pw");
        EXPECT_EQ(g_nLoginMode, kLoginModeAdmin);
    }
    g_nLoginMode = kLoginModeShare;
}

// The window's services against simulated devices on loopback.
const char *const kDevices = R"({"listen": "127.0.0.1", "devices": [
  {"name": "Capable", "address": "127.0.0.20", "ideok": "5", "codepage": "852", "sharename": "video",
   "model": "QB-15"},
  {"name": "Plain", "address": "127.0.0.21", "ideok": "3", "codepage": "852", "model": "qb-12"},
  {"name": "Odd", "address": "127.0.0.22", "ideok": "3", "codepage": "437", "model": "QB-11"},
  {"name": "NoDisk", "address": "127.0.0.23", "ideok": "1"},
  {"name": "Unicode", "address": "127.0.0.24", "ideok": "4"},
  {"name": "Old", "address": "127.0.0.25", "ideok": "0"},
  {"name": "Locked", "address": "127.0.0.26", "ideok": "3", "bt_firmware": "1", "admin_password": "pw"},
  {"name": "NoBt", "address": "127.0.0.27", "ideok": "4", "bt_firmware": "2"}
]})";

class ServiceFlowsTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(StartOnLoopback(kDevices));
        m_home = std::make_unique<izuzez::test::TempDir>();
        std::filesystem::create_directories(m_home->file("cwd"));
        m_oldCwd = std::filesystem::current_path();
        std::filesystem::current_path(m_home->file("cwd"));
        setenv("IZUZEZ_C_DRIVE", m_home->file("c").c_str(), 1);
        // The opener records what it was asked to open and takes everything but the names it is told to refuse.
        const std::string opener = m_home->file("opener.sh");
        izuzez::test::WriteFile(opener, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + m_home->file("opened") +
                                            "'\ncase \"$1\" in *Refused*) exit 3;; esac\nexit 0\n");
        std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
        setenv("IZUZEZ_OPENER", opener.c_str(), 1);
        OpenWindow();
    }

    void TearDown() override
    {
        WindowFixture::TearDown();
        std::filesystem::current_path(m_oldCwd);
        unsetenv("IZUZEZ_OPENER");
    }

    std::string Opened() const { return izuzez::test::ReadFile(m_home->file("opened")); }

    std::unique_ptr<izuzez::test::TempDir> m_home;
    std::filesystem::path m_oldCwd;
    Installed<ScaledClock> m_clock{100};
};

TEST_F(ServiceFlowsTest, TheLanguageDialogOpensByTheDiskState)
{
    {
        ModalAnswerer script;
        ClickDevice(QStringLiteral("127.0.0.24"));
        g_nRestartStatus = 0;
        m_dlg->OnLanguage();
        EXPECT_EQ(script.Texts(), QStringList{QStringLiteral("This device supports Unicode.")});
        EXPECT_TRUE(script.shown.empty()); // the dialog itself never showed
        EXPECT_EQ(g_nRestartStatus.load(), -1);
    }
    ModalAnswerer none;
    m_dlg->OnSearch();
    m_dlg->OnLanguage();
    ASSERT_EQ(none.boxes.size(), 1u);
    EXPECT_EQ(none.boxes[0].text, QStringLiteral("Please select a device."));
    EXPECT_EQ(none.boxes[0].title, QStringLiteral("Error"));
}

TEST_F(ServiceFlowsTest, FirmwareCodepagesNeedTheExtraAnswer)
{
    const QString firmware = QStringLiteral("This codepage does not supported in this firmware.\nPlease download "
                                            "the latest firmware from the support link.");
    // ideok 3 with 852 installed: the choice opens on it, and 852 is refused where it is chosen.
    ModalAnswerer script;
    int selected = -1;
    script.On("CLanguageDlg",
              [&](QWidget *w)
              {
                  auto *dlg = static_cast<CLanguageDlg *>(w);
                  selected = dlg->LanguageCombo()->currentIndex();
                  for (int index : {4, 6})
                  {
                      dlg->LanguageCombo()->setCurrentIndex(index);
                      emit dlg->LanguageCombo()->activated(index);
                  }
                  dlg->LanguageCombo()->setCurrentIndex(4);
                  dlg->OnOK(); // refused, stays open
                  EXPECT_TRUE(dlg->isVisible());
                  dlg->OnCancel();
              });
    ClickDevice(QStringLiteral("127.0.0.21"));
    m_dlg->OnLanguage();
    EXPECT_EQ(selected, 4);
    EXPECT_EQ(script.Texts(), (QStringList{firmware, firmware}));
    EXPECT_EQ(g_nRestartStatus.load(), -1);
    EXPECT_TRUE(m_simulator.Requests(5, 10).empty()); // nothing was installed
}

TEST_F(ServiceFlowsTest, AnUnusableShareFailsSendsStopAndOffersTheChoiceAgain)
{
    // The capable device (ideok 5) takes 852, but its share answer names no known share.
    ModalAnswerer script;
    script.On("CLanguageDlg",
              [](QWidget *w)
              {
                  auto *dlg = static_cast<CLanguageDlg *>(w);
                  EXPECT_EQ(dlg->LanguageCombo()->currentIndex(), 4);
                  dlg->OnOK();
              });
    script.On("CLanguageDlg", [](QWidget *w) { static_cast<CLanguageDlg *>(w)->OnCancel(); });
    ClickDevice(QStringLiteral("127.0.0.20"));
    m_dlg->OnLanguage();
    EXPECT_EQ(script.shown, (std::vector<QString>{"CLanguageDlg", "CLanguageDlg"}));
    EXPECT_EQ(script.Texts(), QStringList{QStringLiteral("Please check hard drives.")});
    EXPECT_EQ(m_simulator.Requests(5, 13).size(), 1u);
    EXPECT_TRUE(m_simulator.Requests(5, 8).empty());
    EXPECT_EQ(g_nRestartStatus.load(), -1);
}

TEST_F(ServiceFlowsTest, BitTorrentRefusals)
{
    {
        ModalAnswerer none;
        m_dlg->OnBitTorrent();
        ASSERT_EQ(none.boxes.size(), 1u);
        EXPECT_EQ(none.boxes[0].text, QStringLiteral("Please select a device."));
        EXPECT_EQ(g_nInstallKind, kInstallCodepage);
    }
    {
        // The empty password is refused, the Login dialog asks, and the device refuses that one too.
        ModalAnswerer wrong;
        wrong.On("CLoginDlg",
                 [](QWidget *w)
                 {
                     auto *login = static_cast<CLoginDlg *>(w);
                     QTest::keyClicks(login->PasswordEdit(), QStringLiteral("nope"));
                     login->OnOK();
                 });
        ClickDevice(QStringLiteral("127.0.0.26"));
        m_dlg->OnBitTorrent();
        EXPECT_EQ(wrong.shown, std::vector<QString>{"CLoginDlg"});
        ASSERT_EQ(wrong.boxes.size(), 1u);
        EXPECT_EQ(wrong.boxes[0].text, QStringLiteral("Wrong administrator password input!"));
        EXPECT_EQ(wrong.boxes[0].title, QStringLiteral("Error"));
        // A later language installation must not run the helpers' engine.
        EXPECT_EQ(g_nInstallKind, kInstallCodepage);
    }
    {
        // A usable disk (4 counts as 3) but support answer 2: refused after one support query.
        ModalAnswerer noBt;
        ClickDevice(QStringLiteral("127.0.0.27"));
        g_nRestartStatus = 0;
        m_dlg->OnBitTorrent();
        EXPECT_EQ(noBt.Texts(), QStringList{QStringLiteral("BitTorrent does not supported on this device now.")});
        EXPECT_EQ(g_nRestartStatus.load(), -1);
        EXPECT_EQ(m_simulator.Requests(3, 15).size(), 1u);
        EXPECT_TRUE(m_simulator.Requests(5, 10).empty());
    }
}

TEST_F(ServiceFlowsTest, TheWidgetFlow)
{
    izuzez::test::WriteFile("VANTRELEu_QB15_Widget", "widget");
    izuzez::test::WriteFile("VANTRELEu_QB12_Widget.widget", "widget");
    auto next = [](QWidget *w) { static_cast<CWidgetEngineDlg *>(w)->OnNext(); };

    {
        ModalAnswerer noRow;
        m_dlg->OnWidget();
        ASSERT_EQ(noRow.boxes.size(), 1u);
        EXPECT_EQ(noRow.boxes[0].text, QStringLiteral("Please select a server."));
        EXPECT_EQ(noRow.boxes[0].title, QStringLiteral("Warning"));
        EXPECT_EQ(noRow.boxes[0].icon, QMessageBox::Warning);
    }

    // QB-15: its file without extension; the address file holds the address without a line end.
    {
        ModalAnswerer known;
        known.On("CWidgetEngineDlg", next);
        ClickDevice(QStringLiteral("127.0.0.20"));
        m_dlg->OnWidget();
        EXPECT_TRUE(known.boxes.empty());
        EXPECT_EQ(izuzez::test::ReadFile(m_home->file("c/ip.txt")), "127.0.0.20");
        EXPECT_EQ(Opened(), "VANTRELEu_QB15_Widget\n");
    }

    // Download opens the engine's page and no widget.
    {
        ModalAnswerer download;
        download.On("CWidgetEngineDlg", [](QWidget *w) { static_cast<CWidgetEngineDlg *>(w)->OnDownload(); });
        m_dlg->OnWidget();
        EXPECT_TRUE(WaitFor([&] { return Opened().find("http://widgets.yahoo.com/download/") != std::string::npos; }));
        EXPECT_EQ(g_nWidgetDownload, 1);
    }

    // A lower-case model goes to the chooser; its second radio opens the QB-12 widget.
    {
        std::filesystem::remove(m_home->file("opened"));
        ModalAnswerer chooser;
        chooser.On("CWidgetEngineDlg", next);
        chooser.On("CSelectModelDlg",
                   [](QWidget *w)
                   {
                       auto *dlg = static_cast<CSelectModelDlg *>(w);
                       EXPECT_FALSE(dlg->Radio(0)->isChecked() || dlg->Radio(1)->isChecked() ||
                                    dlg->Radio(2)->isChecked());
                       dlg->Radio(1)->setChecked(true);
                       dlg->OnOK();
                   });
        ClickDevice(QStringLiteral("127.0.0.21"));
        m_dlg->OnWidget();
        EXPECT_EQ(g_nModelChoice, 1);
        EXPECT_EQ(izuzez::test::ReadFile(m_home->file("c/ip.txt")), "127.0.0.21");
        EXPECT_EQ(Opened(), "VANTRELEu_QB12_Widget.widget\n");
    }

    // Cancelling the chooser ends the flow quietly.
    {
        ModalAnswerer cancelled;
        cancelled.On("CWidgetEngineDlg", next);
        cancelled.On("CSelectModelDlg", [](QWidget *w) { static_cast<CSelectModelDlg *>(w)->OnCancel(); });
        m_dlg->OnWidget();
        EXPECT_EQ(g_nModelChoice, -1);
        EXPECT_TRUE(cancelled.boxes.empty());
    }

    // QB-11 without its widget file: the shell cannot open it.
    {
        ModalAnswerer missing;
        missing.On("CWidgetEngineDlg", next);
        ClickDevice(QStringLiteral("127.0.0.22"));
        m_dlg->OnWidget();
        ASSERT_EQ(missing.boxes.size(), 1u);
        EXPECT_EQ(missing.boxes[0].text, QStringLiteral("Execute widget file error!"));
        EXPECT_EQ(missing.boxes[0].title, QStringLiteral("Warning"));
        EXPECT_EQ(missing.boxes[0].icon, QMessageBox::Information);
    }
}

} // namespace
