// The installation and widget dialogs: the loading and restart dialogs with a scaled clock, the language
// dialog and the widget flow through the real window against the simulator on loopback.

#include "AppTestSupport.h"

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

// The dialog's timer ends it, whether the worker's steps are done long before (Escape and the close box do
// not end it either) or not yet (no step runs after the end); the status is set before it returns.
TEST_F(ProgressDialogsTest, RestartEndsOnItsTimerAndSetsTheStatus)
{
    const struct
    {
        std::chrono::milliseconds step, end;
        qint64 atLeast, below;
    } cases[] = {{2ms, 3000ms, 2900, 20000}, {2000ms, 100ms, 0, 1900}};
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.end.count());
        const Installed<SplitClock> split(c.step, c.end);
        g_nRestartStatus = -1;
        CRestartDlg restart;
        QTimer::singleShot(50ms, &restart,
                           [&]
                           {
                               QTest::keyClick(&restart, Qt::Key_Escape);
                               restart.close();
                           });
        QElapsedTimer clock;
        clock.start();
        restart.DoModal();
        EXPECT_GE(clock.elapsed(), c.atLeast);
        EXPECT_LT(clock.elapsed(), c.below);
        EXPECT_EQ(g_nRestartStatus.load(), 0);
        EXPECT_EQ(restart.WorkerExitCode(), 1);
        const int valueAtEnd = restart.Progress()->value();
        QTest::qWait(100);
        EXPECT_EQ(restart.Progress()->value(), valueAtEnd);
        if (c.step < c.end)
        {
            EXPECT_EQ(restart.Progress()->value(), restart.Progress()->maximum());
        }
    }
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

// A share that refuses guests: the engine's worker asks through the Login dialog in share mode, which takes
// input although an exchange is running; what was typed reaches the connection, Cancel ends the tries, and
// the device's own login is left as it was. How many tries is the rule's (InstallRulesTest).
TEST_F(ProgressDialogsTest, ARefusedGuestAsksForTheShareLoginFromTheWorker)
{
    const Installed<ScaledClock> scaled(100);
    CopyText(g_ProtocolState.userName, "admin");
    CopyText(g_ProtocolState.password, "device-pw");
    g_nLoginMode = kLoginModeAdmin;
    ModalAnswerer answerer;
    answerer.AddLogin(QStringLiteral("wrong"));
    answerer.AddLogin(std::nullopt);
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
                                return 1326;
                            };
                            return RunExchange(
                                [&] { return izuzez::services::LogInToShare("\\\\10.0.0.5\\HDD_1", prompt, connect); });
                        });
    loading.DoModal();
    EXPECT_EQ(tried, std::vector<std::string>{"wrong"});
    EXPECT_TRUE(onWorker);
    EXPECT_EQ(answerer.Shown("CLoginDlg"), 2);
    EXPECT_EQ(answerer.loginUserNameEnabled, (std::vector<bool>{true, true}));
    ASSERT_TRUE(WaitFor([&] { return !answerer.boxes.empty(); }));
    EXPECT_EQ(answerer.Texts(), QStringList{QStringLiteral("Please check hard drives.")});
    EXPECT_EQ(FieldText(g_ProtocolState.userName), "admin");
    EXPECT_EQ(FieldText(g_ProtocolState.password), "device-pw");
    EXPECT_EQ(g_nLoginMode, kLoginModeAdmin);
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

// Each refusal before anything is installed: no row, the disk state (the refusals by state are the rule's,
// InstallRulesTest), the administrator password. A refused login must not leave the helpers' engine chosen
// for a later language installation.
TEST_F(ServiceFlowsTest, TheLanguageAndBitTorrentRefusals)
{
    const auto wrongPassword = [](QWidget *w)
    {
        auto *login = static_cast<CLoginDlg *>(w);
        QTest::keyClicks(login->PasswordEdit(), QStringLiteral("nope"));
        login->OnOK();
    };
    const struct
    {
        const char *name;
        const char *ip; // the row clicked first, if any
        void (CSearchUtilityDlg::*handler)();
        ModalAnswerer::Action login;
        const char *box;
        bool statusCleared;
    } cases[] = {
        {"language, no row", nullptr, &CSearchUtilityDlg::OnLanguage, nullptr, "Please select a device.", false},
        {"BitTorrent, no row", nullptr, &CSearchUtilityDlg::OnBitTorrent, nullptr, "Please select a device.", false},
        {"language, Unicode disk", "127.0.0.24", &CSearchUtilityDlg::OnLanguage, nullptr,
         "This device supports Unicode.", true},
        // The empty password is refused, the Login dialog asks, and the device refuses that one too.
        {"BitTorrent, wrong password", "127.0.0.26", &CSearchUtilityDlg::OnBitTorrent, wrongPassword,
         "Wrong administrator password input!", false},
        // A usable disk (4 counts as 3) but support answer 2.
        {"BitTorrent, not supported", "127.0.0.27", &CSearchUtilityDlg::OnBitTorrent, nullptr,
         "BitTorrent does not supported on this device now.", true},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        if (c.ip != nullptr)
            ClickDevice(QString::fromLatin1(c.ip));
        ModalAnswerer answerer;
        if (c.login)
            answerer.On("CLoginDlg", c.login);
        g_nRestartStatus = 0;
        (m_dlg.get()->*c.handler)();
        EXPECT_EQ(answerer.Texts(), QStringList{QString::fromLatin1(c.box)});
        EXPECT_EQ(answerer.shown, c.login ? std::vector<QString>{"CLoginDlg"} : std::vector<QString>{});
        EXPECT_EQ(g_nRestartStatus.load(), c.statusCleared ? -1 : 0);
        EXPECT_EQ(g_nInstallKind, kInstallCodepage);
    }
    EXPECT_EQ(m_simulator.Requests(3, 15).size(), 1u); // the support query of the last one only
    EXPECT_TRUE(m_simulator.Requests(5, 10).empty());
}

// One row per way through the flow; which file a model opens is the rule's (InstallRulesTest.WidgetFiles).
TEST_F(ServiceFlowsTest, TheWidgetFlow)
{
    izuzez::test::WriteFile("VANTRELEu_QB15_Widget", "widget");
    izuzez::test::WriteFile("VANTRELEu_QB12_Widget.widget", "widget");
    const auto next = [](QWidget *w) { static_cast<CWidgetEngineDlg *>(w)->OnNext(); };
    const auto choose = [](int radio)
    {
        return [radio](QWidget *w)
        {
            auto *dlg = static_cast<CSelectModelDlg *>(w);
            EXPECT_FALSE(dlg->Radio(0)->isChecked() || dlg->Radio(1)->isChecked() || dlg->Radio(2)->isChecked());
            if (radio < 0)
                return dlg->OnCancel();
            dlg->Radio(radio)->setChecked(true);
            dlg->OnOK();
        };
    };
    const struct
    {
        const char *name;
        const char *ip; // the row clicked first, if any
        ModalAnswerer::Action engine, chooser;
        const char *box;
        const char *opened; // a part of what the opener was given
    } cases[] = {
        {"no row", nullptr, nullptr, nullptr, "Please select a server.", ""},
        // The address file holds the address without a line end.
        {"a known model", "127.0.0.20", next, nullptr, nullptr, "VANTRELEu_QB15_Widget\n"},
        {"download opens the engine's page", nullptr,
         [](QWidget *w) { static_cast<CWidgetEngineDlg *>(w)->OnDownload(); }, nullptr, nullptr,
         "http://widgets.yahoo.com/download/"},
        {"a lower-case model goes to the chooser", "127.0.0.21", next, choose(1), nullptr,
         "VANTRELEu_QB12_Widget.widget\n"},
        {"the chooser cancelled", nullptr, next, choose(-1), nullptr, ""},
        {"no widget file", "127.0.0.22", next, nullptr, "Execute widget file error!", ""},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(m_home->file("opened"));
        if (c.ip != nullptr)
            ClickDevice(QString::fromLatin1(c.ip));
        ModalAnswerer answerer;
        if (c.engine)
            answerer.On("CWidgetEngineDlg", c.engine);
        if (c.chooser)
            answerer.On("CSelectModelDlg", c.chooser);
        m_dlg->OnWidget();
        EXPECT_EQ(answerer.Texts(), c.box ? QStringList{QString::fromLatin1(c.box)} : QStringList{});
        if (c.opened[0] != '\0')
        {
            EXPECT_TRUE(WaitFor([&] { return Opened().find(c.opened) != std::string::npos; })) << Opened();
        }
        else if (c.box == nullptr)
        {
            EXPECT_EQ(Opened(), "");
        }
        if (c.ip != nullptr && c.engine)
        {
            EXPECT_EQ(izuzez::test::ReadFile(m_home->file("c/ip.txt")), c.ip);
        }
    }
    EXPECT_EQ(g_nModelChoice, -1);
}

} // namespace
