// The web page, map and unmap buttons of the real main window against the device simulator on loopback,
// with the browser, the reachability check and the drive letters played by fakes.

#include "AppTestSupport.h"

#include "app/AppGlobals.h"
#include "app/CDriveLetterUsedDlg.h"
#include "app/CSearchUtilityDlg.h"
#include "app/DriveTable.h"
#include "protocol/ProtocolState.h"
#include "services/FilePlaces.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinListCtrl.h"
#include "skin/SkinControlId.h"
#include "support/Process.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <sys/stat.h>

using namespace apptest;
using namespace izuzez::platform;
using namespace std::chrono_literals;

namespace
{

const char *const kDevices = R"({"listen": "127.0.0.1", "devices": [
  {"name": "Secure", "address": "192.168.50.10", "netmask": "255.255.255.0", "gateway": "192.168.50.1",
   "shares": ["public", "Media"], "ssl": "1"},
  {"name": "Plain", "address": "192.168.50.11", "netmask": "255.255.255.0", "gateway": "192.168.50.1",
   "shares": ["video"], "ssl": "0"},
  {"name": "Domained", "address": "192.168.50.12", "netmask": "255.255.255.0", "gateway": "192.168.50.1",
   "shares": ["office"], "domain": "WORK"}
]})";

enum Row
{
    kSecure,
    kPlain,
    kDomained
};

class WebAndDrivesTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(StartOnLoopback(kDevices));
        m_drives->types['C'] = DRIVE_FIXED;
        m_drives->remotes['Y'] = "\\\\192.168.50.10\\Media";
        OpenWindow();
    }
    void TearDown() override
    {
        // Every disconnection forgets the letter and goes even while files are open.
        for (const FakeNetworkDrives::Cancel &cancel : m_drives->cancels)
        {
            EXPECT_EQ(cancel.flags, CONNECT_UPDATE_PROFILE);
            EXPECT_TRUE(cancel.force);
        }
        WindowFixture::TearDown();
    }

    // Clicks a device and one of its volumes.
    void ChooseVolume(int device, int volume)
    {
        ClickRow(Devices(), device);
        ClickRow(Volumes(), volume);
    }

    Installed<FakeWebAccess> m_web;
    Installed<FakeNetworkDrives> m_drives;
    Installed<FakeSystemInfo> m_info;
};

// Which command line each browser gets and the fallbacks are WebLaunch's rule, how long the wait lasts and
// what a late answer does too; here a selected row is needed, its address and SSL flag reach it, and a
// refusing device is reported and the list rebuilt.
TEST_F(WebAndDrivesTest, TheWebPageNeedsASelectedRowAndOpensItsDeviceOrReportsItGone)
{
    ModalAnswerer answerer;
    Click(1008);
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].text, "Please select a device to configure.");
    EXPECT_EQ(answerer.boxes[0].title, "Warning");
    EXPECT_TRUE(m_web->Urls().empty());
    EXPECT_TRUE(m_web->commands.empty());

    ClickRow(Devices(), kSecure);
    m_web->browser = "ff.desktop";
    m_web->command = "ff --new";
    Click(1008);
    EXPECT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(m_web->commands, std::vector<std::string>{"ff --new https://192.168.50.10"});

    ClickRow(Devices(), kPlain);
    const std::size_t searches = m_simulator.Requests(1).size();
    m_web->checks = {{0ms, false}};
    Click(1008);
    ASSERT_EQ(answerer.boxes.size(), 2u);
    EXPECT_EQ(answerer.boxes[1].text, "Device is no longer available.");
    EXPECT_EQ(answerer.boxes[1].title, "Warning");
    EXPECT_EQ(m_web->Urls().back(), "http://192.168.50.11");
    EXPECT_EQ(m_web->commands.size(), 1u);
    EXPECT_EQ(m_simulator.Requests(1).size(), searches + 1);
    EXPECT_EQ(m_dlg->IsDeviceSelected(), 0);
}

// The order of attempts is MappingCredentials' rule; here the first attempt's texts, the Login dialog's answer
// (Cancel is none) reaching the next attempt, the letter dropped first, the outcome shown, and a device's
// domain with the logged-on user for the first attempt.
TEST_F(WebAndDrivesTest, MappingAsksForALoginOnlyWhenTheEmptyCredentialsAreRefused)
{
    const struct
    {
        const char *name;
        std::deque<int> answers;
        std::optional<QString> password;
        int logins;
        bool mapped;
    } cases[] = {
        {"guest works", {}, std::nullopt, 0, true},
        {"login works", {ERROR_LOGON_FAILURE}, QStringLiteral("pw"), 1, true},
        {"login cancelled", {ERROR_LOGON_FAILURE, ERROR_LOGON_FAILURE}, std::nullopt, 1, false},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        m_drives->remotes.erase('Z'); // as the case before left it
        RefreshDriveTable();
        FillDriveLetterCombo(Letters());
        ChooseVolume(kSecure, 0);
        ASSERT_EQ(Letters()->currentText(), "Z:");
        m_drives->addAnswers = c.answers;
        m_drives->adds.clear();
        m_drives->cancels.clear();
        ModalAnswerer answerer;
        answerer.AddLogin(c.password);
        Click(1003);
        EXPECT_EQ(answerer.Shown("CLoginDlg"), c.logins);
        EXPECT_EQ(answerer.Texts(), QStringList{c.mapped ? "Successfully mapped drive." : "Failed to map drive."});
        EXPECT_EQ(m_drives->CancelledLetters(), std::vector<std::string>{"Z:"});
        ASSERT_EQ(m_drives->adds.size(), c.logins + 1u);
        EXPECT_EQ(m_drives->adds[0].remote, "\\\\192.168.50.10\\public");
        EXPECT_EQ(m_drives->adds[0].password, "");
        EXPECT_EQ(m_drives->adds[0].user, "");
        EXPECT_EQ(m_drives->adds[0].flags, CONNECT_UPDATE_PROFILE);
        EXPECT_EQ(m_drives->adds.back().password, c.password.value_or("").toStdString());
        EXPECT_EQ(Volumes()->GetItemText(0, 1), c.mapped ? "Z:" : "");
        if (c.mapped)
        {
            EXPECT_EQ(Letters()->itemText(0), "Z: \\\\192.168.50.10\\public");
        }
    }

    // The device's domain and the logged-on user reach the mapping rule; the attempts after it are the rule's.
    ChooseVolume(kDomained, 0);
    m_drives->adds.clear();
    ModalAnswerer answerer;
    Click(1003);
    ASSERT_EQ(m_drives->adds.size(), 1u);
    EXPECT_EQ(m_drives->adds[0].user, "WORK\\alice");
    EXPECT_FALSE(m_drives->adds[0].password.has_value());
    EXPECT_STREQ(g_ProtocolState.domainText, "WORK");
}

// The window's version (Vista: the platform asks) reaches the mapping rule.
TEST_F(WebAndDrivesTest, AMountRunsBesideTheWindowAndAsksOnTheWindowThread)
{
    m_info->version = OsVersionInfo{6, 1, 1000, 2};
    ChooseVolume(kSecure, 0);
    m_drives->addAnswers = {ERROR_LOGON_FAILURE};
    m_drives->addDelay = 500ms;
    m_drives->promptWhenInteractive = true;
    int ticksInMount = 0;
    int waitCursorTicks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout,
                     [&]
                     {
                         if (!m_drives->inAdd)
                             return;
                         ++ticksInMount;
                         const QCursor *cursor = QApplication::overrideCursor();
                         waitCursorTicks += cursor != nullptr && cursor->shape() == Qt::WaitCursor;
                     });
    tick.start(20);
    ModalAnswerer answerer;
    answerer.AddLogin(QStringLiteral("pw"));
    Click(1003);
    tick.stop();
    // The window's thread kept running its events, under the wait cursor, while the mounts ran elsewhere.
    EXPECT_GE(ticksInMount, 5);
    EXPECT_GE(waitCursorTicks, 5);
    for (const FakeNetworkDrives::Add &add : m_drives->adds)
        EXPECT_NE(add.thread, std::this_thread::get_id());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The Login dialog came up on the window's thread and took what was typed.
    EXPECT_EQ(answerer.Shown("CLoginDlg"), 1);
    ASSERT_TRUE(m_drives->prompted.has_value());
    EXPECT_EQ(m_drives->prompted->password, "pw");
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].text, "Successfully mapped drive.");
    EXPECT_FALSE(CurrentCredentialPrompt());
}

TEST_F(WebAndDrivesTest, ALetterInUseIsReplacedOnlyAfterOk)
{
    for (const bool ok : {false, true})
    {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        ChooseVolume(kSecure, 0);
        Letters()->setCurrentIndex(Letters()->findText("Y: \\\\192.168.50.10\\Media"));
        ASSERT_GE(Letters()->currentIndex(), 0);
        m_drives->cancels.clear();
        ModalAnswerer answerer;
        answerer.reuseOk = ok;
        Click(1003);
        EXPECT_EQ(answerer.Shown("CDriveLetterUsedDlg"), 1);
        EXPECT_EQ(g_nDriveReuseAnswer, ok ? 1 : 0);
        EXPECT_EQ(m_drives->cancels.size(), ok ? 1u : 0u);
        EXPECT_EQ(m_drives->adds.size(), ok ? 1u : 0u);
        EXPECT_EQ(answerer.boxes.size(), ok ? 1u : 0u);
    }
    EXPECT_EQ(m_drives->remotes['Y'], "\\\\192.168.50.10\\public");
}

TEST_F(WebAndDrivesTest, MappingNeedsAVolumeOfASelectedDeviceAndAFreeChoice)
{
    ModalAnswerer answerer;
    Click(1003);
    ChooseVolume(kSecure, 0);
    // A press on the list's empty part leaves the volume selected but no device.
    QTest::mouseClick(Devices()->viewport(), Qt::LeftButton, {}, QPoint(5, Devices()->viewport()->height() - 3));
    ASSERT_TRUE(Volumes()->topLevelItem(0)->isSelected());
    Click(1003);
    ASSERT_EQ(answerer.boxes.size(), 2u);
    for (const ShownBox &box : answerer.boxes)
    {
        EXPECT_EQ(box.text, "Please select a device in the above section.");
        EXPECT_EQ(box.title, "Warning");
    }
    ChooseVolume(kSecure, 0);
    Letters()->setCurrentIndex(-1);
    Click(1003);
    EXPECT_EQ(answerer.boxes.size(), 2u);
    EXPECT_TRUE(m_drives->adds.empty());
}

TEST_F(WebAndDrivesTest, UnmappingTakesTheVolumesLocationOrTheComboLetter)
{
    ChooseVolume(kSecure, 1); // Media, on Y:
    ModalAnswerer answerer;
    Click(1004);
    EXPECT_EQ(m_drives->CancelledLetters(), std::vector<std::string>{"Y:"});
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0].text, "Successfully unmapped drive.");
    EXPECT_EQ(answerer.boxes[0].title, "Confirm");
    EXPECT_EQ(Volumes()->GetItemText(1, 0), "Media");
    EXPECT_EQ(Volumes()->GetItemText(1, 1), "");

    ClickRow(Volumes(), 1); // now without a Location
    Click(1004);
    ASSERT_EQ(answerer.boxes.size(), 2u);
    EXPECT_EQ(answerer.boxes[1].text, "Unable to disconnect this drive.\nPlease select a drive to disconnect and "
                                      "verify that the drive is not being accessed.");
    EXPECT_EQ(answerer.boxes[1].icon, QMessageBox::Critical);

    // With no volume selected, the combo's letter goes.
    Click(1002);
    m_drives->remotes['X'] = "\\\\elsewhere\\share";
    Letters()->addItem("X: \\\\elsewhere\\share");
    Letters()->setCurrentIndex(Letters()->count() - 1);
    Click(1004);
    EXPECT_EQ(m_drives->cancels.back().local, "X:");
    EXPECT_EQ(answerer.boxes.back().text, "Successfully unmapped drive.");
}

// The run's desktop folders (the test main's) hold a file manager that records the folder it is given.
TEST_F(WebAndDrivesTest, AMappedVolumeIsAPlaceOfTheFileManagerAndOpensThere)
{
    const std::string data = std::getenv("XDG_DATA_HOME");
    const std::string config = std::getenv("XDG_CONFIG_HOME");
    const std::string opened = data + "/opened";
    std::filesystem::create_directories(data + "/applications");
    std::filesystem::create_directories(config);
    izuzez::test::WriteFile(data + "/files", "#!/bin/sh\necho \"$1\" > '" + opened + "'\n");
    ASSERT_EQ(chmod((data + "/files").c_str(), 0755), 0);
    izuzez::test::WriteFile(data + "/applications/files.desktop",
                            "[Desktop Entry]\nType=Application\nName=Files\nExec=" + data + "/files %U\n");
    izuzez::test::WriteFile(config + "/mimeapps.list", "[Default Applications]\ninode/directory=files.desktop;\n");
    const auto openedFolder = [&]
    {
        std::string line;
        izuzez::test::WaitFor([&] { return (line = izuzez::test::ReadFile(opened)).find('\n') != std::string::npos; });
        std::remove(opened.c_str());
        return line;
    };
    // The cases before this one left their letters in the file.
    const std::string bookmarks = izuzez::services::BookmarksPath();
    std::remove(bookmarks.c_str());
    m_drives->pathRoot = "/run/drives/";

    ChooseVolume(kSecure, 0);
    ModalAnswerer answerer;
    Click(1003);
    EXPECT_EQ(izuzez::test::ReadFile(bookmarks), "smb://192.168.50.10/public Z: public on Secure\n");

    const QTreeWidgetItem *publicRow = Volumes()->topLevelItem(0);
    const QPoint at = Volumes()->visualItemRect(publicRow).center();
    // A double-click's first press comes as a click.
    QTest::mouseClick(Volumes()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(Volumes()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(openedFolder(), "/run/drives/Z\n");
    ClickRow(Volumes(), 1); // Media, on Y:
    QTest::keyClick(Volumes(), Qt::Key_Return);
    EXPECT_EQ(openedFolder(), "/run/drives/Y\n");
    EXPECT_TRUE(m_dlg->isVisible()); // the Enter that opened the folder does not end the window too

    ClickRow(Volumes(), 0);
    Click(1004);
    EXPECT_EQ(izuzez::test::ReadFile(bookmarks), "");
}

} // namespace
