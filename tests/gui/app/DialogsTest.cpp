// The Login and About dialogs, the drive table over a fake drive layer and the options.

#include "AppTestSupport.h"

#include "app/AppGlobals.h"
#include "app/AppOptions.h"
#include "app/CAboutDlg.h"
#include "app/CLoginDlg.h"
#include "app/DriveTable.h"
#include "app/MessageBox.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"
#include "protocol/ShareList.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinListCtrl.h"
#include "support/Process.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace apptest;
using namespace izuzez::platform;

namespace
{

// ---- Login ----

class LoginTest : public ::testing::Test
{
protected:
    void TearDown() override { g_nLoginMode = kLoginModeShare; }
    static void Store(const char *user, const char *password)
    {
        CopyText(g_ProtocolState.userName, user);
        CopyText(g_ProtocolState.password, password);
    }
    Installed<FakeSystemInfo> m_info;
};

TEST_F(LoginTest, TheUserNameFieldFollowsTheModeAndTheWindowsVersion)
{
    const struct
    {
        const char *name;
        int mode;
        std::optional<OsVersionInfo> version;
        const char *shown;
        bool enabled;
    } cases[] = {
        {"administrator", kLoginModeAdmin, std::nullopt, "admin", false},
        {"share, version unreadable (Linux)", kLoginModeShare, std::nullopt, "", true},
        {"share, Windows XP", kLoginModeShare, OsVersionInfo{5, 1, 2600, 2}, "", true},
        {"share, Windows 98 SE", kLoginModeShare, OsVersionInfo{4, 10, 2222, 1}, "alice", false},
        {"share, Windows ME", kLoginModeShare, OsVersionInfo{4, 90, 3000, 1}, "alice", false},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        m_info->version = c.version;
        g_nLoginMode = c.mode;
        CLoginDlg dlg;
        dlg.OnInitDialog();
        EXPECT_EQ(dlg.UserNameEdit()->text(), c.shown);
        EXPECT_EQ(dlg.UserNameEdit()->isEnabled(), c.enabled);
    }
}

TEST_F(LoginTest, OkStoresBothTextsAndCancelNothing)
{
    g_nLoginMode = kLoginModeAdmin;
    const struct
    {
        const char *name;
        bool ok;
        const char *user;
        const char *password;
    } cases[] = {{"ok", true, "admin", "typed"}, {"cancel", false, "before", "old"}};
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        Store("before", "old");
        CLoginDlg dlg;
        QTimer::singleShot(0, &dlg,
                           [&]
                           {
                               QTest::keyClicks(dlg.PasswordEdit(), QStringLiteral("typed"));
                               QTest::mouseClick(c.ok ? dlg.OkButton() : dlg.CancelButton(), Qt::LeftButton);
                           });
        // The result is Cancel's either way; only the fields say that OK was pressed.
        EXPECT_EQ(dlg.DoModal(), QDialog::Rejected);
        EXPECT_STREQ(g_ProtocolState.userName, c.user);
        EXPECT_STREQ(g_ProtocolState.password, c.password);
    }
}

// One key press a character, as a keyboard or an input method delivers it (a surrogate pair whole).
void TypeCharacters(QWidget *edit, const QString &text)
{
    for (qsizetype i = 0; i < text.size();)
    {
        const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text.mid(i, length));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text.mid(i, length));
        QApplication::sendEvent(edit, &press);
        QApplication::sendEvent(edit, &release);
        i += length;
    }
}

TEST_F(LoginTest, FieldsTakeWhatFitsSixteenBytesOfUtf8AndSendItWhole)
{
    const struct
    {
        const char *name;
        QString typed;
        QString kept;
    } cases[] = {
        {"two-byte letters", QString::fromUtf8("\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9"),
         QString::fromUtf8("\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9")},
        {"a letter that would pass the end", QString::fromUtf8("abcdefghijklmno\u00e9"), "abcdefghijklmno"},
        {"three-byte letters", QString::fromUtf8("\u65e5\u672c\u8a9e\u65e5\u672c\u8a9e"),
         QString::fromUtf8("\u65e5\u672c\u8a9e\u65e5\u672c")},
        {"four-byte characters", QString::fromUtf8("\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600"),
         QString::fromUtf8("\U0001F600\U0001F600\U0001F600\U0001F600")},
    };
    g_nLoginMode = kLoginModeShare;
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        Store("", "");
        CLoginDlg dlg;
        QTimer::singleShot(0, &dlg,
                           [&]
                           {
                               TypeCharacters(dlg.UserNameEdit(), c.typed);
                               TypeCharacters(dlg.PasswordEdit(), c.typed);
                               QTest::keyClick(dlg.PasswordEdit(), Qt::Key_Return); // Enter is OK
                           });
        dlg.DoModal();
        EXPECT_EQ(dlg.UserNameEdit()->text(), c.kept);
        EXPECT_EQ(dlg.PasswordEdit()->text(), c.kept);
        // What is sent is what the field shows, byte for byte.
        EXPECT_EQ(std::string(g_ProtocolState.userName), c.kept.toStdString());
        EXPECT_EQ(std::string(g_ProtocolState.password), c.kept.toStdString());
    }
}

// ---- Message boxes ----

TEST(MessageBoxTest, OneOkButtonAndTheProgramsNameWhenNoCaptionIsGiven)
{
    const struct
    {
        const char *caption;
        MessageIcon icon;
        QString title;
        QMessageBox::Icon shown;
    } cases[] = {
        {"Error", MessageIcon::Stop, "Error", QMessageBox::Critical},
        {"Warning", MessageIcon::Exclamation, "Warning", QMessageBox::Warning},
        {"Confirm", MessageIcon::Information, "Confirm", QMessageBox::Information},
        {"", MessageIcon::Stop, "app_dialogs_test", QMessageBox::Critical},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.caption);
        int buttons = -1;
        QTimer::singleShot(0,
                           [&]
                           {
                               if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                                   buttons = static_cast<int>(box->buttons().size());
                           });
        ModalAnswerer answerer;
        ShowMessage(nullptr, "Some text.", c.caption, c.icon);
        ASSERT_EQ(answerer.boxes.size(), 1u);
        EXPECT_EQ(answerer.boxes[0].title, c.title);
        EXPECT_EQ(answerer.boxes[0].text, "Some text.");
        EXPECT_EQ(answerer.boxes[0].icon, c.shown);
        EXPECT_EQ(buttons, 1);
    }
}

// ---- About ----

TEST(AboutTest, ShowsNameAndVersionAndClosesWithOk)
{
    CAboutDlg dlg;
    QStringList texts;
    for (const QLabel *label : dlg.findChildren<QLabel *>())
        texts << label->text();
    EXPECT_TRUE(texts.contains("Vantrel DER Izuzez Utility"));
    EXPECT_TRUE(texts.contains("Version : 1.0.0.1"));
    QString heard;
    QTimer::singleShot(0, &dlg,
                       [&]
                       {
                           heard = dlg.accessibleName(); // no caption: a screen reader hears the first text
                           QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
                       });
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(heard, "Vantrel DER Izuzez Utility");
}

// ---- Drive table ----

class DriveTableTest : public ::testing::Test
{
protected:
    void TearDown() override { FreeShareNameList(); }
    QStringList ComboItems() const
    {
        QStringList items;
        for (int i = 0; i < m_combo.count(); ++i)
            items << m_combo.itemText(i);
        return items;
    }
    Installed<FakeNetworkDrives> m_drives;
    QComboBox m_combo;
};

TEST_F(DriveTableTest, TheComboListsFreeAndMappedLettersAndSelectsTheFreeOneNearestZIfAny)
{
    m_drives->remotes = {{'Z', "\\\\nas\\media"}};
    m_drives->types = {{'X', DRIVE_REMOVABLE}, {'W', DRIVE_CDROM}, {'V', DRIVE_RAMDISK}, {'C', DRIVE_FIXED}};
    RefreshDriveTable();
    FillDriveLetterCombo(&m_combo);
    QStringList expected{"Z: \\\\nas\\media", "Y:"};
    for (char letter = 'U'; letter >= 'D'; --letter)
        expected << QStringLiteral("%1:").arg(QLatin1Char(letter));
    EXPECT_EQ(ComboItems(), expected);
    EXPECT_EQ(m_combo.currentIndex(), 1);
    EXPECT_STREQ(g_DriveTable[0].szLocalName, "Z:");
    EXPECT_STREQ(g_DriveTable[25].szLocalName, "A:");

    // With every listed letter mapped, nothing is selected.
    for (char letter = 'D'; letter <= 'Y'; ++letter)
        if (m_drives->types.count(letter) == 0)
            m_drives->remotes[letter] = std::string("\\\\nas\\s") + letter;
    RefreshDriveTable();
    FillDriveLetterCombo(&m_combo);
    EXPECT_EQ(m_combo.count(), expected.size());
    EXPECT_EQ(m_combo.currentIndex(), -1);
}

TEST_F(DriveTableTest, ALetterWhoseRemoteNameCannotBeSplitKeepsWhatItsRowHeld)
{
    m_drives->remotes['Q'] = "\\\\nas\\old";
    RefreshDriveTable();
    m_drives->remotes['Q'] = "\\\\nas\\new\\sub";
    RefreshDriveTable();
    const DriveEntry &q = g_DriveTable['Z' - 'Q'];
    EXPECT_STREQ(q.szServer, "nas");
    EXPECT_STREQ(q.szShare, "old");
}

// Which letter a share shows is VolumeList's rule; here the selected row's name and IP, the flag and the names.
TEST_F(DriveTableTest, TheVolumeListShowsTheSelectedDevicesSharesAndTheirLetters)
{
    m_drives->remotes = {{'H', "\\\\NAS-ONE\\backup"}, {'K', "\\\\10.0.0.7\\media"}};
    RefreshDriveTable();
    FillShareNameList("backup:media:caf\xc3\xa9");
    QWidget host;
    CSkinListCtrl devices(&host);
    CSkinListCtrl volumes(&host);
    devices.setColumnCount(2);
    volumes.setColumnCount(2);
    devices.InsertItem(0, "Other-Device");
    devices.SetItemText(0, 1, "10.0.0.9");
    devices.InsertItem(1, "nas-one");
    devices.SetItemText(1, 1, "10.0.0.7");
    devices.topLevelItem(1)->setSelected(true);
    for (const bool ignoreCase : {true, false})
    {
        FillVolumeList(&devices, &volumes, 0, ignoreCase);
        ASSERT_EQ(volumes.GetItemCount(), 3);
        EXPECT_EQ(volumes.GetItemText(2, 0), QString::fromUtf8("caf\xc3\xa9"));
        EXPECT_EQ(volumes.GetItemText(0, 1), ignoreCase ? "H:" : "");
        EXPECT_EQ(volumes.GetItemText(1, 1), "K:");
    }
}

// ---- Options ----

TEST(AppOptionsTest, TheCommandLine)
{
    const struct
    {
        std::vector<std::string> args;
        bool ok;
        std::vector<std::string> interfaces;
        bool verbose;
    } cases[] = {
        {{}, true, {}, false},
        {{"--interface", "127.0.0.1", "--interface=10.0.0.1", "--verbose"}, true, {"127.0.0.1", "10.0.0.1"}, true},
        {{"--interface"}, false, {}, false},
        {{"--interface", "eth0"}, false, {}, false},
        {{"--interface", "300.1.1.1"}, false, {}, false},
        {{"search"}, false, {}, false},
    };
    for (const auto &c : cases)
    {
        const AppOptionsResult r = ParseAppOptions(c.args);
        EXPECT_EQ(r.ok, c.ok) << r.error;
        if (c.ok)
        {
            EXPECT_EQ(r.options.interfaces, c.interfaces);
            EXPECT_EQ(r.options.verbose, c.verbose);
        }
        else
        {
            EXPECT_FALSE(r.error.empty());
        }
    }
    EXPECT_TRUE(WantsTextOnly({"--interface", "1.2.3.4", "--version"}));
    EXPECT_FALSE(WantsTextOnly({"--verbose"}));
}

TEST(ProgramTest, VersionHelpAndRefusedArguments)
{
    using namespace std::chrono_literals;
    const std::string program = izuzez::test::BinDir() + "/izuzez-utility";
    const struct
    {
        std::vector<std::string> args;
        int status;
        const char *output; // expected in standard output or, for a refusal, standard error
    } cases[] = {
        {{"--version"}, 0, "izuzez-utility 1.0.0.1\n"},
        {{"--help"}, 0, "--interface ADDR"},
        {{"--bogus"}, 2, "unknown argument '--bogus'"},
        {{"--interface", "192.0.2.77"}, 2, "192.0.2.77 is not a local IPv4 address"},
    };
    for (const auto &c : cases)
    {
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const izuzez::test::RunResult run = izuzez::test::RunProgram(argv, 20s);
        SCOPED_TRACE(c.args.front());
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.output), std::string::npos) << run.out << run.err;
    }
}

} // namespace
