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
#include "support/SambaLabSuite.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

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

class SambaWindowTest : public SambaLabSuite, public WindowControls
{
protected:
    static void SetUpTestSuite()
    {
        StartLab({.devices = kDevices, .shares = GuestAndPrivateShares()});
        if (!s_gvfs)
            return;
        JoinGvfsSession(s_drives.file("drives"));
        izuzez::platform::SetNetworkDrives(nullptr);
        CloseEndpoints();
        SetInterfaceFilter({Lab::kHostA});
        OpenEndpoints();
    }
    static void TearDownTestSuite()
    {
        CloseEndpoints();
        SambaLabSuite::TearDownTestSuite();
    }
    void SetUp() override
    {
        SambaLabSuite::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        OpenWindow();
        ASSERT_EQ(Devices()->GetItemCount(), 1);
    }

    std::string Letter(char letter) const { return s_drives.file("drives") + "/" + letter; }

    static inline TempDir s_drives;
};

TEST_F(SambaWindowTest, MapReplaceAndUnmapThroughTheWindow)
{
    ClickRow(Devices(), 0);
    ASSERT_EQ(Volumes()->GetItemCount(), 2);
    ClickRow(Volumes(), 0); // public, as a guest
    ASSERT_EQ(Letters()->currentText(), "Z:");
    {
        ModalAnswerer answerer;
        Click(1003);
        EXPECT_EQ(answerer.Texts(), QStringList{"Successfully mapped drive."});
        EXPECT_EQ(answerer.Shown("CLoginDlg"), 0);
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
        ModalAnswerer answerer;
        answerer.AddLogin(QStringLiteral("wrong"), kShareUser);
        Click(1003);
        EXPECT_EQ(answerer.Shown("CLoginDlg"), 1);
        EXPECT_EQ(answerer.Texts(), QStringList{"Failed to map drive."});
    }
    struct stat st
    {
    };
    EXPECT_NE(lstat(Letter('X').c_str(), &st), 0);

    // Private on the letter in use, replaced after OK and the Login. (Cancel, a volume without a Location and
    // unmapping by the combo are the flow's, WebAndDrivesTest; their platform calls are the ones below.)
    ClickRow(Volumes(), 1);
    ChooseLetter("Z:");
    {
        ModalAnswerer answerer;
        answerer.AddLogin(kSharePassword, kShareUser);
        Click(1003);
        EXPECT_EQ(answerer.Shown("CDriveLetterUsedDlg"), 1);
        EXPECT_EQ(answerer.Shown("CLoginDlg"), 1);
        EXPECT_EQ(answerer.Texts(), QStringList{"Successfully mapped drive."});
    }
    EXPECT_EQ(Volumes()->GetItemText(0, 1), "");
    EXPECT_EQ(Volumes()->GetItemText(1, 1), "Z:");
    EXPECT_EQ(Letters()->itemText(0), "Z: \\\\10.71.1.2\\Private");

    ClickRow(Volumes(), 1);
    {
        ModalAnswerer answerer;
        Click(1004);
        EXPECT_EQ(answerer.Texts(), QStringList{"Successfully unmapped drive."});
    }
    EXPECT_EQ(Volumes()->GetItemText(1, 1), "");
    EXPECT_NE(lstat(Letter('Z').c_str(), &st), 0);
}

} // namespace
