// The real window maps, replaces and unmaps drive letters against a Samba server in the device's
// namespace, through GIO and a private GVfs session: the whole path a person's click takes.

#include "AppTestSupport.h"

#include "app/CDriveLetterUsedDlg.h"
#include "app/CLoginDlg.h"
#include "app/CSearchUtilityDlg.h"
#include "platform/NetworkDrives.h"
#include "protocol/Endpoints.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/ProtocolState.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinListCtrl.h"
#include "skin/SkinControlId.h"
#include "support/Lab.h"
#include "support/SambaServer.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace apptest;
using namespace izuzez::test;

namespace
{

const char *const kDevices = R"({"devices": [
    {"name": "Nas", "address": "10.71.1.2", "netmask": "255.255.255.0", "gateway": "10.71.1.1",
     "shares": ["public", "Private"], "listen": ["10.71.1.2"]}
]})";

constexpr const char *kUser = "izuzezshare";
constexpr const char *kPassword = "Sh4re-pass";

// Answers every box with OK, the letter-in-use dialog as told, each Login with the next user and password
// (none left: Cancel); records what was shown.
class Answerer : public QObject
{
public:
    Answerer()
    {
        connect(&m_timer, &QTimer::timeout, this, &Answerer::Poll);
        m_timer.start(10);
    }
    std::deque<std::pair<QString, QString>> logins;
    bool reuseOk = true;
    QStringList boxes;
    int reuseShown = 0;
    int loginsShown = 0;

private:
    void Poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        if (auto *box = qobject_cast<QMessageBox *>(modal))
        {
            boxes.append(box->text());
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        }
        else if (auto *used = qobject_cast<CDriveLetterUsedDlg *>(modal))
        {
            ++reuseShown;
            QTest::mouseClick(reuseOk ? used->OkButton() : used->CancelButton(), Qt::LeftButton);
        }
        else if (auto *login = qobject_cast<CLoginDlg *>(modal))
        {
            ++loginsShown;
            if (logins.empty())
            {
                QTest::mouseClick(login->CancelButton(), Qt::LeftButton);
                return;
            }
            QTest::keyClicks(login->UserNameEdit(), logins.front().first);
            QTest::keyClicks(login->PasswordEdit(), logins.front().second);
            logins.pop_front();
            QTest::mouseClick(login->OkButton(), Qt::LeftButton);
        }
    }
    QTimer m_timer;
};

class SambaWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // Without a FUSE device (a container that hides it) there is no folder a letter could stand for.
        if (access("/dev/fuse", R_OK | W_OK) != 0)
        {
            s_skip = "needs /dev/fuse for GVfs's local folders";
            return;
        }
        s_lab = Lab::Create(s_skip).release();
        if (!s_lab || !s_lab->StartSimulator(kDevices, s_failure))
            return;
        s_samba = SambaServer::Start({"ip", "netns", "exec", s_lab->lan()}, InNetns(s_lab->host()), Lab::kLanA,
                                     {{"public", "", ""}, {"Private", kUser, kPassword}}, s_failure)
                      .release();
        if (!s_samba)
            return;
        s_gvfs = GvfsSession::Start(s_lab->host(), s_failure).release();
        if (!s_gvfs)
            return;
        // This process joins the host's namespace (the session bus's socket lives there too) and GVfs's session.
        const int ns = open(("/var/run/netns/" + s_lab->host()).c_str(), O_RDONLY | O_CLOEXEC);
        if (ns < 0 || setns(ns, CLONE_NEWNET) != 0)
            s_failure = "cannot join the host namespace";
        if (ns >= 0)
            close(ns);
        s_gvfs->Join();
        setenv("IZUZEZ_DRIVES_DIR", s_drives.file("drives").c_str(), 1);
        izuzez::platform::SetNetworkDrives(nullptr);
        CloseEndpoints();
        SetInterfaceFilter({Lab::kHostA});
        OpenEndpoints();
    }
    static void TearDownTestSuite()
    {
        CloseEndpoints();
        delete s_gvfs;
        delete s_samba;
        delete s_lab;
    }
    void SetUp() override
    {
        if (!s_lab)
            GTEST_SKIP() << s_skip;
        ASSERT_TRUE(s_failure.empty()) << s_failure;
        m_dlg = std::make_unique<CSearchUtilityDlg>();
        m_dlg->OnInitDialog();
        ASSERT_EQ(Devices()->GetItemCount(), 1);
    }

    template <class T> T *Item(int id) const { return qobject_cast<T *>(GetDlgItem(m_dlg.get(), id)); }
    CSkinListCtrl *Devices() const { return Item<CSkinListCtrl>(1000); }
    CSkinListCtrl *Volumes() const { return Item<CSkinListCtrl>(1001); }
    QComboBox *Letters() const { return Item<QComboBox>(1013); }
    void Click(int id) { QTest::mouseClick(Item<CSkinButton>(id), Qt::LeftButton); }
    void ClickRow(CSkinListCtrl *list, int row)
    {
        QTreeWidgetItem *item = list->topLevelItem(row);
        ASSERT_NE(item, nullptr);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }
    void ChooseLetter(const QString &prefix)
    {
        for (int i = 0; i < Letters()->count(); ++i)
            if (Letters()->itemText(i).startsWith(prefix))
                Letters()->setCurrentIndex(i);
    }
    std::string Letter(char letter) const { return s_drives.file("drives") + "/" + letter; }

    static inline Lab *s_lab = nullptr;
    static inline SambaServer *s_samba = nullptr;
    static inline GvfsSession *s_gvfs = nullptr;
    static inline std::string s_skip;
    static inline std::string s_failure;
    static inline TempDir s_drives;
    std::unique_ptr<CSearchUtilityDlg> m_dlg;
};

TEST_F(SambaWindowTest, MapReplaceAndUnmapThroughTheWindow)
{
    ClickRow(Devices(), 0);
    ASSERT_EQ(Volumes()->GetItemCount(), 2);
    ClickRow(Volumes(), 0); // public, as a guest
    ASSERT_EQ(Letters()->currentText(), "Z:");
    {
        Answerer answerer;
        Click(1003);
        EXPECT_EQ(answerer.boxes, QStringList{"Successfully mapped drive."});
        EXPECT_EQ(answerer.loginsShown, 0);
    }
    EXPECT_EQ(Volumes()->GetItemText(0, 1), "Z:");
    EXPECT_EQ(Letters()->itemText(0), "Z: \\\\10.71.1.2\\public");
    EXPECT_EQ(Letters()->currentText(), "Y:");
    WriteFile(Letter('Z') + "/window.txt", "through Z:\n");
    EXPECT_EQ(ReadFile(s_samba->SharePath("public") + "/window.txt"), "through Z:\n");

    // A wrong password for Private on a free letter (while GVfs has no mount of it to reuse).
    ClickRow(Volumes(), 1);
    ChooseLetter("X:");
    {
        Answerer answerer;
        answerer.logins = {{kUser, "wrong"}};
        Click(1003);
        EXPECT_EQ(answerer.loginsShown, 1);
        EXPECT_EQ(answerer.boxes, QStringList{"Failed to map drive."});
    }
    struct stat st
    {
    };
    EXPECT_NE(lstat(Letter('X').c_str(), &st), 0);

    // Private on the letter in use: Cancel leaves everything, OK replaces after the Login.
    ClickRow(Volumes(), 1);
    ChooseLetter("Z:");
    {
        Answerer answerer;
        answerer.reuseOk = false;
        Click(1003);
        EXPECT_EQ(answerer.reuseShown, 1);
        EXPECT_TRUE(answerer.boxes.isEmpty());
    }
    EXPECT_EQ(Volumes()->GetItemText(0, 1), "Z:");
    {
        Answerer answerer;
        answerer.logins = {{kUser, kPassword}};
        Click(1003);
        EXPECT_EQ(answerer.reuseShown, 1);
        EXPECT_EQ(answerer.loginsShown, 1);
        EXPECT_EQ(answerer.boxes, QStringList{"Successfully mapped drive."});
    }
    EXPECT_EQ(Volumes()->GetItemText(0, 1), "");
    EXPECT_EQ(Volumes()->GetItemText(1, 1), "Z:");
    EXPECT_EQ(Letters()->itemText(0), "Z: \\\\10.71.1.2\\Private");

    // Unmap by the volume's Location, then a volume without one, then by the combo.
    {
        Answerer answerer;
        ClickRow(Volumes(), 0); // public: no Location now
        Click(1004);
        ClickRow(Volumes(), 1); // Private on Z:
        Click(1004);
        ASSERT_EQ(answerer.boxes.size(), 2);
        EXPECT_TRUE(answerer.boxes[0].startsWith("Unable to disconnect this drive."));
        EXPECT_EQ(answerer.boxes[1], "Successfully unmapped drive.");
    }
    EXPECT_EQ(Volumes()->GetItemText(1, 1), "");
    EXPECT_NE(lstat(Letter('Z').c_str(), &st), 0);

    ClickRow(Volumes(), 0);
    ChooseLetter("W:");
    {
        Answerer answerer;
        Click(1003);
        EXPECT_EQ(answerer.boxes, QStringList{"Successfully mapped drive."});
    }
    ClickRow(Devices(), 0); // refills the volumes with none selected
    ChooseLetter("W:");
    {
        Answerer answerer;
        Click(1004);
        EXPECT_EQ(answerer.boxes, QStringList{"Successfully unmapped drive."});
    }
    EXPECT_NE(lstat(Letter('W').c_str(), &st), 0);
}

} // namespace
