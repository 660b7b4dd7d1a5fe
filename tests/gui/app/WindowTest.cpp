// The real main window against the device simulator on loopback: the search, the row shown and acted on,
// the LAN settings flow, the keyboard and what a screen reader hears.

#include "AppTestSupport.h"

#include "app/AppGlobals.h"
#include "app/CSearchUtilityDlg.h"
#include "app/ExchangeWait.h"
#include "protocol/DeviceList.h"
#include "protocol/Endpoints.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"
#include "skin/CIpAddressCtrl.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinListCtrl.h"
#include "skin/SkinControlId.h"
#include "support/LoopbackSockets.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace apptest;
using izuzez::platform::DRIVE_FIXED;

namespace
{

// Addresses outside 127/8 would be refused by the address rules; the devices only report them and all
// listen on 127.0.0.1. Mute-Four alone reports an address inside the interface's network, 127.0.0.0/8.
const char *const kDevices = R"({"listen": "127.0.0.1", "devices": [
  {"name": "Storage-One", "address": "192.168.50.10", "netmask": "255.255.255.0", "gateway": "192.168.50.1",
   "dhcp": false, "dhcp_address": "192.168.50.99", "shares": ["public", "Media", "backup"], "ssl": "1",
   "model": "NS-2400", "mac": "00:1B:7A:10:00:02", "sw_version": "2.3.1"},
  {"name": "Recorder-Two", "address": "192.168.50.11", "netmask": "255.255.255.0", "gateway": "0.0.0.0",
   "dhcp": true, "model": "NV-800", "mac": "00:1B:7A:10:00:03", "sw_version": "1.0.4"},
  {"name": "Locked-Three", "address": "192.168.50.12", "netmask": "255.255.0.0", "gateway": "",
   "admin_password": "s3cret", "shares": ["archive"], "model": "NS-4800S", "mac": "00:1B:7A:10:00:04",
   "sw_version": "3.0.0"},
  {"name": "Mute-Four", "address": "127.0.0.13", "netmask": "255.0.0.0", "gateway": "127.0.0.1",
   "faults": {"silent_settings": true}},
  {"name": "Slow-Five", "address": "192.168.50.14", "netmask": "255.255.255.0", "gateway": "192.168.50.1",
   "faults": {"silent_queries": true}}
]})";

enum Row
{
    kStorageOne,
    kRecorderTwo,
    kLockedThree,
    kMuteFour,
    kSlowFive
};

class WindowTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(StartOnLoopback(kDevices));
        m_drives->types['C'] = DRIVE_FIXED;
        m_drives->remotes['Y'] = "\\\\Storage-One\\public";
        m_drives->remotes['X'] = "\\\\192.168.50.10\\media"; // by IP and in another case
        OpenWindow();
        ASSERT_TRUE(m_dlg->isVisible());
    }

    CIpAddressCtrl *IpField() const { return Item<CIpAddressCtrl>(1006); }
    CIpAddressCtrl *NetmaskField() const { return Item<CIpAddressCtrl>(1010); }
    CIpAddressCtrl *GatewayField() const { return Item<CIpAddressCtrl>(1011); }
    QComboBox *Dhcp() const { return Item<QComboBox>(1015); }

    void ChooseDhcp(int index)
    {
        Dhcp()->setCurrentIndex(index);
        emit Dhcp()->activated(index);
    }

    void EnterAddresses(const char *ip, const char *netmask, const char *gateway)
    {
        for (auto [field, text] : {std::pair{IpField(), ip}, {NetmaskField(), netmask}, {GatewayField(), gateway}})
        {
            field->ClearAddress();
            if (text[0] != '\0')
            {
                ASSERT_TRUE(field->setText(QString::fromLatin1(text))) << text;
            }
        }
    }

    Installed<FakeNetworkDrives> m_drives;
};

TEST_F(WindowTest, TheFirstSearchListsTheDevicesInListOrder)
{
    std::vector<QString> listOrder;
    for (const DeviceRecord *r = g_ProtocolState.deviceList.head; r != nullptr; r = r->next)
        listOrder.push_back(QString::fromLatin1(FieldText(r->server_ip)));
    EXPECT_EQ(Column(Devices(), 1), listOrder);
    EXPECT_EQ(Column(Devices(), 0),
              (std::vector<QString>{"Storage-One", "Recorder-Two", "Locked-Three", "Mute-Four", "Slow-Five"}));
    EXPECT_EQ(Column(Devices(), 2)[kLockedThree], "255.255.0.0");
    EXPECT_EQ(Column(Devices(), 3)[kRecorderTwo], "0.0.0.0");
    EXPECT_EQ(m_simulator.Requests(1).size(), 1u);
    EXPECT_EQ(m_dlg->IsDeviceSelected(), 0);
    EXPECT_TRUE(Item<CSkinButton>(1002)->isEnabled());
    const QString tip = Devices()->topLevelItem(kStorageOne)->toolTip(2);
    for (const char *part : {"NS-2400", "00:1B:7A:10:00:02", "2.3.1", "127.0.0.1"})
        EXPECT_TRUE(tip.contains(QLatin1String(part))) << tip.toStdString();
    // The statics that hold the same texts stay hidden.
    for (int id : {1039, 1040, 1041, 1022, 1025, 1032})
        EXPECT_TRUE(Item<QWidget>(id)->isHidden()) << id;

    // Devices outside the interface's network are marked (the rule is OutsideNetworkTest's).
    const QTreeWidgetItem *in = Devices()->topLevelItem(kMuteFour), *out = Devices()->topLevelItem(kStorageOne);
    for (int column = 0; column < 4; ++column)
    {
        EXPECT_FALSE(in->data(column, Qt::ForegroundRole).isValid()) << column;
        EXPECT_NE(out->foreground(column).color(), QColor(Qt::black)) << column;
    }
    EXPECT_TRUE(out->toolTip(1).contains("outside 127.0.0.0/8")) << out->toolTip(1).toStdString();
    EXPECT_FALSE(in->toolTip(1).contains("outside")) << in->toolTip(1).toStdString();
}

// Every way the highlighted row moves shows that device and runs its queries once; a release, a no-op key or
// the same row again runs nothing.
TEST_F(WindowTest, EveryWayOfMovingTheRowShowsThatDeviceAndQueriesItOnce)
{
    m_simulator.Stop();
    std::string problem;
    ASSERT_TRUE(m_simulator.Start(R"({"listen": "127.0.0.1", "devices": [
      {"name": "Alpha", "address": "192.168.50.10", "netmask": "255.255.255.0", "shares": ["a1", "a2"]},
      {"name": "Bravo", "address": "192.168.50.11", "netmask": "255.255.0.0", "dhcp": true, "shares": ["b1"]},
      {"name": "Charlie", "address": "192.168.50.12", "netmask": "255.0.0.0", "shares": ["c1", "c2", "c3"]},
      {"name": "Delta", "address": "192.168.50.13", "netmask": "255.255.255.0", "shares": []}]})",
                                  problem))
        << problem;
    Click(1002);
    ASSERT_EQ(Column(Devices(), 0), (std::vector<QString>{"Alpha", "Bravo", "Charlie", "Delta"}));
    const struct
    {
        const char *netmask;
        const char *dhcp;
        std::vector<QString> volumes;
    } shown[] = {{"255.255.255.0", "Disable", {"a1", "a2"}},
                 {"255.255.0.0", "Enable", {"b1"}},
                 {"255.0.0.0", "Disable", {"c1", "c2", "c3"}},
                 {"255.255.255.0", "Disable", {}}};
    const auto key = [this](Qt::Key k) { return [this, k] { QTest::keyClick(Devices(), k); }; };
    const auto type = [this](const char *text)
    {
        return [this, text]
        {
            QTest::qWait(QApplication::keyboardInputInterval() + 50); // a new search, not more of the last
            QTest::keyClicks(Devices(), QString::fromLatin1(text));
        };
    };
    // Press, release, double-click, release, as the platform delivers them: a fault that reads the device
    // again on a double-click shows with this sequence and not with QTest::mouseDClick.
    const auto doubleClick = [this]
    {
        const QPoint at = Devices()->visualItemRect(Devices()->topLevelItem(3)).center();
        QTest::mouseClick(Devices()->viewport(), Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, Devices()->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Devices()->viewport(), &dbl);
        QTest::mouseRelease(Devices()->viewport(), Qt::LeftButton, {}, at);
    };
    const struct
    {
        const char *name;
        std::function<void()> act;
        int row;
        bool queries;
    } steps[] = {
        {"click", [this] { ClickDevice(1); }, 1, true},
        {"release of a swallowed press", [this] { QTest::keyRelease(Devices(), Qt::Key_Down); }, 1, false},
        {"down", key(Qt::Key_Down), 2, true},
        {"home", key(Qt::Key_Home), 0, true},
        {"up on the first row", key(Qt::Key_Up), 0, false},
        {"typing a name", type("c"), 2, true},
        {"typing another", type("b"), 1, true},
        {"the same row clicked reads it again", [this] { ClickDevice(1); }, 1, true},
        {"double-click", doubleClick, 3, true},
        {"the program", [this] { Devices()->setCurrentItem(Devices()->topLevelItem(0)); }, 0, true},
    };
    for (const auto &step : steps)
    {
        SCOPED_TRACE(step.name);
        const std::size_t shares = m_simulator.Requests(3, 3).size(), ssl = m_simulator.Requests(3, 19).size();
        step.act();
        const std::size_t more = step.queries ? 1 : 0;
        EXPECT_EQ(m_simulator.Requests(3, 3).size(), shares + more);
        EXPECT_EQ(m_simulator.Requests(3, 19).size(), ssl + more);
        ASSERT_EQ(Devices()->GetSelectedRow(), step.row);
        const QString ip = Devices()->GetItemText(step.row, 1);
        EXPECT_EQ(IpField()->text(), ip);
        EXPECT_EQ(NetmaskField()->text(), shown[step.row].netmask);
        EXPECT_EQ(Dhcp()->currentText(), shown[step.row].dhcp);
        EXPECT_EQ(Column(Volumes(), 0), shown[step.row].volumes);
        EXPECT_EQ(QString::fromLatin1(g_ProtocolState.selectedIp), ip);
        EXPECT_EQ(QString::fromLatin1(szDeviceIP), ip);
    }
}

// Besides what the case above checks for every move: the details, the mapped letters (by name, by IP in
// another case, none), a click beside the rows, the address fields by the device's DHCP and gateway
// (0.0.0.0 and empty are blank), and what a new search empties.
TEST_F(WindowTest, AClickFillsTheDetailsTheVolumesAndTheAddressFields)
{
    ClickDevice(kStorageOne);
    EXPECT_EQ(m_dlg->IsDeviceSelected(), 1);
    EXPECT_EQ(GatewayField()->text(), "192.168.50.1");
    for (auto [id, text] : {std::pair{1039, "NS-2400"}, {1040, "00:1B:7A:10:00:02"}, {1041, "2.3.1"}})
        EXPECT_EQ(Item<QLabel>(id)->text(), text);
    EXPECT_EQ(m_dlg->GetModel(), "NS-2400");
    EXPECT_STREQ(g_ProtocolState.sslText, "1");
    EXPECT_EQ(Column(Volumes(), 0), (std::vector<QString>{"public", "Media", "backup"}));
    EXPECT_EQ(Column(Volumes(), 1), (std::vector<QString>{"Y:", "X:", ""}));
    EXPECT_TRUE(Devices()->hasFocus() || m_dlg->focusWidget() == Devices());
    // A click on the list's empty part selects nothing and keeps the fields.
    const QPoint below(5, Devices()->viewport()->height() - 2);
    ASSERT_EQ(Devices()->itemAt(below), nullptr) << "the list is too full for this case";
    QTest::mouseClick(Devices()->viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(Devices()->GetSelectedRow(), -1);
    EXPECT_EQ(IpField()->text(), "192.168.50.10");
    EXPECT_EQ(m_dlg->IsDeviceSelected(), 1);

    for (auto [row, enabled] : {std::pair{kStorageOne, true}, {kRecorderTwo, false}, {kLockedThree, true}})
    {
        SCOPED_TRACE(row);
        ClickDevice(row);
        EXPECT_EQ(Dhcp()->currentText(), enabled ? "Disable" : "Enable");
        for (CIpAddressCtrl *field : {IpField(), NetmaskField(), GatewayField()})
            EXPECT_EQ(field->isEnabled(), enabled);
        EXPECT_EQ(GatewayField()->IsBlank(), row != kStorageOne);
    }
    // The choice itself disables and enables them too.
    ChooseDhcp(0);
    EXPECT_TRUE(IpField()->isEnabled() && NetmaskField()->isEnabled() && GatewayField()->isEnabled());
    ChooseDhcp(1);
    EXPECT_FALSE(IpField()->isEnabled() || NetmaskField()->isEnabled() || GatewayField()->isEnabled());

    // The search button empties the fields but keeps the DHCP choice.
    Click(1002);
    EXPECT_EQ(m_simulator.Requests(1).size(), 2u);
    EXPECT_EQ(Devices()->GetItemCount(), 5);
    EXPECT_EQ(Volumes()->GetItemCount(), 0);
    EXPECT_TRUE(IpField()->IsBlank() && NetmaskField()->IsBlank() && GatewayField()->IsBlank());
    EXPECT_EQ(Dhcp()->currentText(), "Enable");
    EXPECT_TRUE(Item<QLabel>(1039)->text().isEmpty());
    EXPECT_EQ(m_dlg->IsDeviceSelected(), 0);
}

// Disabled while it searches, the search button lends the focus to the next control and takes it back: a
// second Space searches again rather than opening the web page.
TEST_F(WindowTest, SpaceOnTheSearchButtonSearchesWithTheFocusStayingThere)
{
    m_dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dlg.get()));
    auto *search = Item<CSkinButton>(1002);
    search->setFocus(Qt::TabFocusReason);
    QTest::keyClick(search, Qt::Key_Space);
    EXPECT_EQ(m_simulator.Requests(1).size(), 2u);
    EXPECT_TRUE(search->hasFocus());
    EXPECT_TRUE(search->ShowsFocusRing());
}

// F1 with devices listed asks the doctor too and keeps the listed devices usable.
TEST_F(WindowTest, F1InAListWithDevicesShowsTheVerdictAndKeepsTheDevices)
{
    ModalAnswerer answerer;
    Devices()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Devices(), Qt::Key_F1);
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_TRUE(answerer.boxes[0].text.startsWith("5 devices answered.")) << answerer.boxes[0].text.toStdString();
    ClickDevice(kStorageOne);
    EXPECT_EQ(Item<QLabel>(1039)->text(), "NS-2400");
    EXPECT_EQ(Column(Volumes(), 0), (std::vector<QString>{"public", "Media", "backup"}));
}

// The device list's menu, from a right click or Shift+F10, copies the doctor's whole report to hand on.
TEST_F(WindowTest, TheDeviceListMenuCopiesTheDoctorsReport)
{
    auto *menu = Devices()->findChild<QMenu *>();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->accessibleName(), "Device list");
    QContextMenuEvent click(QContextMenuEvent::Mouse, {5, 5}, Devices()->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(Devices()->viewport(), &click);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    QTest::keyClick(Devices(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    const QString report = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(report.startsWith("Interface lo  127.0.0.1/8\n")) << report.toStdString();
    EXPECT_TRUE(report.contains("\nFirewall on UDP 13579:      unread: ")) << "the window has no root";
}

// More devices answer than the search's 100 datagrams hold: the window listens on, without a second request,
// and lists them all.
using BusyNetworkTest = WindowFixture;

TEST_F(BusyNetworkTest, TheWindowListsEveryDeviceBeyondAHundredReplies)
{
    constexpr int kDevices = 150;
    std::string devices = R"({"listen": "127.0.0.1", "devices": [)";
    for (int i = 0; i < kDevices; ++i)
        devices += (i ? "," : "") + std::string(R"({"address": "192.168.60.)") + std::to_string(i + 1) + R"("})";
    ASSERT_NO_FATAL_FAILURE(StartOnLoopback((devices + "]}").c_str()));
    const Installed<FakeNetworkDrives> drives;
    OpenWindow();
    EXPECT_EQ(Devices()->GetItemCount(), kDevices);
    EXPECT_EQ(m_simulator.Requests(1).size(), 1u);
}

// Nothing answers because another socket holds the port without sharing it: the empty list says why, to the
// eye and to a screen reader, without a message box; F1 asks again once the port is free, and a search that
// finds devices hides the line.
class EmptyListTest : public WindowFixture
{
protected:
    Installed<FakeNetworkDrives> m_drives;
};

TEST_F(EmptyListTest, TheEmptyListSaysWhyAndF1AsksAgain)
{
    IsolateLoopback();
    CloseEndpoints();
    struct Holder
    {
        int fd = izuzez::test::HoldPort("127.0.0.1", false);
        void Release()
        {
            if (fd >= 0)
                close(fd);
            fd = -1;
        }
        ~Holder() { Release(); }
    } holder;
    ASSERT_GE(holder.fd, 0);
    OpenLoopbackEndpoints();
    ModalAnswerer answerer;
    OpenWindow();
    CSkinListCtrl *list = Devices();
    const QLabel *line = list->findChild<QLabel *>("NoDeviceLine");
    ASSERT_NE(line, nullptr);
    ASSERT_TRUE(line->isVisible());
    const QString held = "On lo (127.0.0.1) this program cannot listen on UDP port 13579";
    const QStringList shown = line->text().split('\n');
    ASSERT_GE(shown.size(), 3) << line->text().toStdString();
    EXPECT_EQ(shown[0], "No device answered on 1 interface.");
    EXPECT_TRUE(line->text().contains(held)) << line->text().toStdString();
    EXPECT_LE(line->geometry().right(), list->viewport()->width());
    // A click where the line is selects nothing.
    EXPECT_TRUE(line->testAttribute(Qt::WA_TransparentForMouseEvents));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line->geometry().center());
    EXPECT_EQ(m_dlg->IsDeviceSelected(), 0);

    list->setFocus(Qt::TabFocusReason);
    QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
    ASSERT_NE(heard, nullptr);
    EXPECT_EQ(heard->text(QAccessible::Name), "Devices");
    EXPECT_EQ(heard->text(QAccessible::Description), shown.join(' '));

    holder.Release();
    QTest::keyClick(list, Qt::Key_F1);
    EXPECT_TRUE(line->text().startsWith("No device answered on 1 interface.\n")) << line->text().toStdString();
    EXPECT_FALSE(line->text().contains(held)) << line->text().toStdString();
    EXPECT_TRUE(g_ProtocolState.endpointsOpen);
    EXPECT_TRUE(ReceiverWarnings().empty());
    EXPECT_TRUE(answerer.boxes.empty());

    ASSERT_NO_FATAL_FAILURE(StartOnLoopback(kDevices));
    Click(1002);
    EXPECT_EQ(Devices()->GetItemCount(), 5);
    EXPECT_TRUE(line->isHidden());
}

// The plan's message, caption, icon and field are LanSettingsRulesTest's; here each input the flow reads
// (the selection, each field's blank state, the field to focus) and the box that shows the plan.
TEST_F(WindowTest, EveryRefusalOfTheAddressRulesIsShownBeforeAnythingIsSent)
{
    CopyText(g_ProtocolState.newIp, "");
    CopyText(g_ProtocolState.newNetmask, "");
    const struct
    {
        const char *name;
        bool click;
        const char *ip, *netmask, *gateway;
        const char *text;
        int focusField; // control id, 0 for none; the first octet gets the focus
    } cases[] = {
        {"no click", false, "10.0.0.5", "255.0.0.0", "10.0.0.1", "Please select a device in the above section.", 0},
        {"blank ip", true, "", "255.0.0.0", "10.0.0.1", "Please input IP address!", 0},
        {"blank netmask", true, "10.0.0.5", "", "10.0.0.1", "Please input net mask address!", 0},
        {"ip 0", true, "0.1.2.3", "255.0.0.0", "10.0.0.1", "Invalid IP address in 1st digit. It should be 1-223.",
         1006},
        {"gateway 0", true, "10.0.0.5", "255.0.0.0", "0.1.1.1",
         "Invalid gateway IP address in 1st digit. It should be 1-223.", 1011},
        {"blank gateway", true, "192.168.0.10", "255.255.255.0", "",
         "You enter incorrect TCP/IP configuration. Please try again.", 0},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        if (c.click)
            ClickDevice(kStorageOne);
        else
            Click(1002); // a search clears the selection
        ChooseDhcp(0);
        EnterAddresses(c.ip, c.netmask, c.gateway);
        ModalAnswerer answerer;
        Click(1007);
        ASSERT_EQ(answerer.boxes.size(), 1u);
        EXPECT_EQ(answerer.boxes[0].text, c.text);
        EXPECT_EQ(answerer.Shown("CLoginDlg"), 0);
        if (c.focusField != 0)
        {
            EXPECT_EQ(answerer.boxes[0].title, "Error");
            EXPECT_EQ(answerer.boxes[0].icon, QMessageBox::Information);
            EXPECT_EQ(m_dlg->focusWidget(), Item<CIpAddressCtrl>(c.focusField)->field(0));
        }
    }
    EXPECT_TRUE(m_simulator.Requests(5).empty());
    EXPECT_TRUE(m_simulator.Requests(3, 4).empty());
    EXPECT_EQ(g_nLoginMode, kLoginModeAdmin);
    // The stages that passed before the last refusal are stored.
    EXPECT_STREQ(g_ProtocolState.newIp, "192.168.0.10");
    EXPECT_STREQ(g_ProtocolState.newNetmask, "255.255.255.0");
}

TEST_F(WindowTest, AStaticChangeMovesTheDeviceAndKeepsTheSelection)
{
    ClickDevice(kStorageOne);
    EnterAddresses("192.168.60.20", "255.255.255.0", "192.168.60.1");
    ModalAnswerer answerer;
    Click(1007);
    EXPECT_TRUE(answerer.boxes.empty());
    EXPECT_EQ(answerer.Shown("CLoginDlg"), 0); // the empty password was accepted
    const int row = RowOf("192.168.60.20");
    ASSERT_GE(row, 0);
    EXPECT_EQ(Devices()->GetItemText(row, 0), "Storage-One");
    EXPECT_EQ(Devices()->GetItemText(row, 2), "255.255.255.0");
    EXPECT_EQ(Devices()->GetItemText(row, 3), "192.168.60.1");
    EXPECT_EQ(RowOf("192.168.50.10"), -1);
    EXPECT_EQ(m_dlg->IsDeviceSelected(), 1);
    EXPECT_STREQ(g_ProtocolState.selectedIp, "192.168.60.20");
    EXPECT_TRUE(IpField()->IsBlank() && NetmaskField()->IsBlank() && GatewayField()->IsBlank());
    // The detail statics still show the device until the next click.
    EXPECT_EQ(Item<QLabel>(1039)->text(), "NS-2400");

    const auto settings = m_simulator.Requests(5, 1);
    ASSERT_EQ(settings.size(), 1u);
    EXPECT_NE(settings[0].find("payload_text=\"192.168.60.20"), std::string::npos) << settings[0];
    EXPECT_NE(settings[0].find("netmask=\"255.255.255.0\""), std::string::npos) << settings[0];
    EXPECT_NE(settings[0].find("gateway=\"192.168.60.1\""), std::string::npos) << settings[0];
    EXPECT_EQ(m_simulator.Requests(1).size(), 2u);
}

// A change confirms, clears the selection and searches again; a device that does not answer keeps it.
TEST_F(WindowTest, ADhcpChangeIsConfirmedOrReported)
{
    const struct
    {
        int row;
        const char *text;
        const char *title;
        int selectedAfter;
    } cases[] = {
        {kMuteFour, "Set to dhcp client fail.", "Error", 1},
        {kStorageOne, "DHCP client enabled.", "Confirm", 0},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.text);
        ClickDevice(c.row);
        ChooseDhcp(1);
        ModalAnswerer answerer;
        Click(1007);
        ASSERT_EQ(answerer.boxes.size(), 1u);
        EXPECT_EQ(answerer.boxes[0].text, c.text);
        EXPECT_EQ(answerer.boxes[0].title, c.title);
        EXPECT_EQ(m_dlg->IsDeviceSelected(), c.selectedAfter);
    }
    EXPECT_GE(RowOf("192.168.50.99"), 0);
    EXPECT_TRUE(IpField()->isEnabled() && IpField()->IsBlank());
    EXPECT_EQ(m_simulator.Requests(5, 2).size(), 2u);
}

// A wrong password, or Cancel (which sends the empty one again), stops the change before anything is set.
TEST_F(WindowTest, APasswordTheDeviceRefusesStopsTheChange)
{
    for (const std::optional<QString> &typed :
         {std::optional<QString>(QStringLiteral("guess")), std::optional<QString>()})
    {
        SCOPED_TRACE(typed.value_or("cancelled").toStdString());
        ClickDevice(kLockedThree);
        EnterAddresses("192.168.60.30", "255.255.255.0", "192.168.60.1");
        ModalAnswerer answerer;
        answerer.AddLogin(typed);
        Click(1007);
        EXPECT_EQ(answerer.Shown("CLoginDlg"), 1);
        EXPECT_EQ(answerer.loginUserNames.value(0), "admin");
        ASSERT_EQ(answerer.boxes.size(), 1u);
        EXPECT_EQ(answerer.boxes[0].text, "Wrong administrator password input!");
        const auto checks = m_simulator.Requests(3, 4);
        ASSERT_FALSE(checks.empty());
        EXPECT_NE(checks.back().find(typed.value_or("").toStdString()), std::string::npos) << checks.back();
        EXPECT_STREQ(g_ProtocolState.password, typed.value_or("").toStdString().c_str());
    }
    EXPECT_TRUE(m_simulator.Requests(5).empty());
    EXPECT_EQ(m_simulator.Requests(3, 4).size(), 4u);
}

TEST_F(WindowTest, NothingClickedDuringAnExchangeRuns)
{
    ModalAnswerer answerer;
    bool waiting = false;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    int paints = 0;
    struct PaintCounter : QObject
    {
        int *count;
        explicit PaintCounter(int *c) : count(c) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            *count += event->type() == QEvent::Paint;
            return false;
        }
    } counter(&paints);
    QTimer::singleShot(300, m_dlg.get(),
                       [&]
                       {
                           waiting = IsWaitingForExchange();
                           if (QApplication::overrideCursor())
                               cursor = QApplication::overrideCursor()->shape();
                           m_dlg->installEventFilter(&counter);
                           m_dlg->update();
                           QTest::mouseClick(Item<CSkinButton>(1021), Qt::LeftButton); // About
                           QTest::mouseClick(Item<CSkinButton>(1002), Qt::LeftButton); // search
                           QTest::keyClick(m_dlg.get(), Qt::Key_Escape);
                       });
    ClickDevice(kSlowFive); // its queries go unanswered for a second or two
    m_dlg->removeEventFilter(&counter);
    QTest::qWait(200);
    EXPECT_TRUE(waiting);
    EXPECT_EQ(cursor, Qt::WaitCursor);
    EXPECT_GT(paints, 0);
    EXPECT_EQ(answerer.Shown("CAboutDlg"), 0);
    EXPECT_EQ(m_simulator.Requests(1).size(), 1u);
    EXPECT_TRUE(m_dlg->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    Click(1021); // once the exchange is over, About shows
    EXPECT_EQ(answerer.Shown("CAboutDlg"), 1);
}

// Enter, Escape and the close button end the window with the endpoints open; Exit and the close message
// close them (Exit also frees the list).
TEST_F(WindowTest, EveryWayOfEndingTheWindow)
{
    const struct
    {
        const char *name;
        std::function<void()> act;
        int result;
        bool endpointsOpen;
    } cases[] = {
        {"enter", [this] { QTest::keyClick(m_dlg.get(), Qt::Key_Return); }, QDialog::Accepted, true},
        {"escape", [this] { QTest::keyClick(m_dlg.get(), Qt::Key_Escape); }, QDialog::Rejected, true},
        {"close button", [this] { Click(1028); }, QDialog::Rejected, true},
        {"close message", [this] { m_dlg->close(); }, QDialog::Rejected, false},
        {"exit", [this] { Click(1009); }, QDialog::Rejected, false},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        OpenLoopbackEndpoints();
        m_dlg->show();
        m_dlg->setResult(-1);
        c.act();
        EXPECT_FALSE(m_dlg->isVisible());
        EXPECT_EQ(m_dlg->result(), c.result);
        EXPECT_EQ(g_ProtocolState.endpointsOpen, c.endpointsOpen);
    }
    EXPECT_TRUE(IsDeviceListEmpty());
    OpenLoopbackEndpoints();
}

// Tab walks every control in the template's order, each once (an address field is one stop), and a
// screen reader hears each one's name and role.
TEST_F(WindowTest, TabWalksTheWindowInTemplateOrderWithNamesAndRoles)
{
    ClickDevice(kStorageOne);
    m_dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dlg.get()));
    const struct
    {
        int id;
        const char *name;
        QAccessible::Role role;
    } order[] = {
        {1000, "Devices", QAccessible::Tree},          {1002, "Search", QAccessible::Button},
        {1008, "Web Page", QAccessible::Button},       {1006, "IP", QAccessible::EditableText},
        {1010, "Netmask", QAccessible::EditableText},  {1011, "Gateway", QAccessible::EditableText},
        {1007, "Apply", QAccessible::Button},          {1001, "Volumes", QAccessible::Tree},
        {1003, "Map Drive", QAccessible::Button},      {1004, "Unmap", QAccessible::Button},
        {1009, "Exit", QAccessible::Button},           {1013, "Available Drive Letters", QAccessible::ComboBox},
        {1015, "Receive DHCP", QAccessible::ComboBox}, {1021, "About", QAccessible::Button},
        {1027, "Minimize", QAccessible::Button},       {1028, "Close", QAccessible::Button},
        {1000, "Devices", QAccessible::Tree}, // round again
    };
    Item<QWidget>(1028)->setFocus(Qt::MouseFocusReason);
    Devices()->setFocus(Qt::TabFocusReason);
    int stops = 0;
    for (const auto &stop : order)
    {
        QWidget *control = Item<QWidget>(stop.id);
        ASSERT_NE(control, nullptr) << stop.id;
        if (!control->isEnabled() || !control->isVisible())
            continue; // a disabled control is no Tab stop
        if (stops++ > 0)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        ASSERT_TRUE(focus == control || control->isAncestorOf(focus))
            << stop.name << " expected, focus on " << (focus ? focus->metaObject()->className() : "nothing");
        QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(focus);
        ASSERT_NE(heard, nullptr) << stop.name;
        EXPECT_EQ(heard->text(QAccessible::Name), QString::fromLatin1(stop.name));
        if (auto *combo = qobject_cast<QComboBox *>(focus))
        {
            EXPECT_FALSE(combo->currentText().isEmpty()) << stop.name;
            EXPECT_EQ(heard->text(QAccessible::Value), combo->currentText()) << stop.name;
        }
        EXPECT_EQ(heard->role(), stop.role) << stop.name;
        if (auto *list = qobject_cast<CSkinListCtrl *>(focus))
        {
            EXPECT_TRUE(list->ShowsFocusFrame()) << stop.name;
        }
    }
    EXPECT_GE(stops, 12);
}

TEST_F(WindowTest, AddressFieldsAreOneTabStopWithOctetsOnTheArrows)
{
    ClickDevice(kStorageOne);
    m_dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dlg.get()));
    IpField()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(IpField()->field(0)->hasFocus());
    QTest::keyClick(IpField()->field(0), Qt::Key_End);
    QTest::keyClick(IpField()->field(0), Qt::Key_Right);
    EXPECT_TRUE(IpField()->field(1)->hasFocus());
    QTest::keyClick(IpField()->field(1), Qt::Key_Tab);
    EXPECT_TRUE(NetmaskField()->field(0)->hasFocus());
    NetmaskField()->SetFieldFocus(3);
    QTest::keyClick(NetmaskField()->field(3), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(IpField()->isAncestorOf(QApplication::focusWidget()));
    for (auto [field, name] : {std::pair{IpField(), "IP"}, {NetmaskField(), "Netmask"}, {GatewayField(), "Gateway"}})
        for (int octet = 0; octet < 4; ++octet)
            EXPECT_EQ(QAccessible::queryAccessibleInterface(field->field(octet))->text(QAccessible::Name),
                      QString::fromLatin1(name));
    EXPECT_EQ(IpField()->text(), "192.168.50.10"); // walking changed nothing
}

TEST_F(WindowTest, ListsReportTheirColumnsAndRows)
{
    ClickDevice(kStorageOne);
    m_dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dlg.get()));
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(Devices());
    ASSERT_NE(list, nullptr);
    QAccessibleTableInterface *table = list->tableInterface();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->columnCount(), 4);
    EXPECT_EQ(table->rowCount(), 5);
    const QStringList headings{"Name", "IP", "Netmask", "Gateway"};
    for (int column = 0; column < 4; ++column)
    {
        QAccessibleInterface *cell = table->cellAt(0, column);
        ASSERT_NE(cell, nullptr);
        QAccessibleTableCellInterface *cellInfo = cell->tableCellInterface();
        ASSERT_NE(cellInfo, nullptr);
        const auto headers = cellInfo->columnHeaderCells();
        // This Qt hands out header cells it does not keep; registering them gives them to its cache.
        for (QAccessibleInterface *header : headers)
            QAccessible::uniqueId(header);
        ASSERT_EQ(headers.size(), 1);
        EXPECT_EQ(headers.first()->text(QAccessible::Name), headings[column]);
    }
    EXPECT_EQ(table->cellAt(0, 0)->text(QAccessible::Name), "Storage-One");
    EXPECT_EQ(table->cellAt(1, 1)->text(QAccessible::Name), "192.168.50.11");
}

} // namespace
