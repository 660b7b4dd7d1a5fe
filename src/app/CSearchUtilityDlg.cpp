#include "app/CSearchUtilityDlg.h"

#include "app/AppGlobals.h"
#include "app/CAboutDlg.h"
#include "app/DriveTable.h"
#include "app/ExchangeWait.h"
#include "app/MessageBox.h"
#include "protocol/DeviceList.h"
#include "protocol/Endpoints.h"
#include "protocol/FixedText.h"
#include "protocol/Ipv4Text.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "protocol/Search.h"
#include "protocol/SearchTally.h"
#include "resources/ResourcePaths.h"
#include "skin/CIpAddressCtrl.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinListCtrl.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

#include <utility>

namespace
{

constexpr int kTemplate = 102;
constexpr int kSearchClassFilter = 1;
constexpr int kSearchTypeFilter = 8;
constexpr char kWindowTitle[] = "Vantrel DER Izuzez Utility";

// The dotted text as the 32-bit address it denotes, as the address fields take it.
std::uint32_t AddressOf(const QString &dotted)
{
    std::uint32_t address = 0xFFFFFFFFu;
    ParseIpv4(dotted.toStdString(), address);
    return address;
}

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Model, MAC and firmware stay in hidden statics; the row's tooltip shows them with the answering interface.
QString DeviceToolTip(const DeviceRecord &record)
{
    const int i = record.interfaceIndex;
    const QString via =
        (i >= 0 && i < kInterfaceLimit) ? Text(FieldText(g_ProtocolState.interfaceAddress[i])) : QString();
    return QStringLiteral("Model: %1\nMAC: %2\nFirmware: %3\nFound via: %4")
        .arg(Text(FieldText(record.server_MODEL)), Text(FieldText(record.server_mac)),
             Text(FieldText(record.server_SW_version)), via);
}

// The network of the interface a device answered on, when the device's address lies outside it; empty when
// inside or unknown. Such a device answers the search but cannot be reached until its address moves.
QString OutsideNetwork(const DeviceRecord &record)
{
    const int i = record.interfaceIndex;
    if (i < 0 || i >= g_ProtocolState.interfaceCount)
        return {};
    const std::string local(FieldText(g_ProtocolState.interfaceAddress[i]));
    const int prefix = LocalPrefixLength(local);
    std::uint32_t device = 0, own = 0;
    if (prefix < 0 || !ParseIpv4(std::string(FieldText(record.server_ip)), device) || !ParseIpv4(local, own) ||
        InSameSubnet(device, own, prefix))
        return {};
    return Text(NetworkText(own, prefix));
}

// Dark orange: readable on white and on the selection colour.
const QColor kOutsideColour(0xB0, 0x4A, 0x00);

QFont ListFont()
{
    // Height 13 as a cell height is an em of 11 pixels. The weight asked for is 100, but Tahoma has no
    // face that light and draws it regular; asking for Thin here would pick an extra-light face of
    // whatever font stands in for Tahoma and make the rows hard to read.
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace

CSearchUtilityDlg::CSearchUtilityDlg(QWidget *parent) : CSkinDialog(parent)
{
    setObjectName(QStringLiteral("SearchUtilityDialog"));
    m_strModel.clear();
    m_hIcon = QIcon(QPixmap(izuzez::IconResourcePath()));
    if (m_form.Load(kTemplate) && m_form.Build(this))
        m_form.ApplySkin(this);
    BindControls();
    ConnectHandlers();
}

CSearchUtilityDlg::~CSearchUtilityDlg() = default;

void CSearchUtilityDlg::BindControls()
{
    m_btnExit = m_form.control<CSkinButton>(1009);
    m_btnAbout = m_form.control<CSkinButton>(1021);
    m_btnApply = m_form.control<CSkinButton>(1007);
    m_btnBitTorrent = m_form.control<CSkinButton>(1025);
    m_btnClose = m_form.control<CSkinButton>(1028);
    m_btnMinimize = m_form.control<CSkinButton>(1027);
    m_btnLanguage = m_form.control<CSkinButton>(1022);
    m_btnWebPage = m_form.control<CSkinButton>(1008);
    m_btnUnmount = m_form.control<CSkinButton>(1004);
    m_btnMount = m_form.control<CSkinButton>(1003);
    m_btnWidget = m_form.control<CSkinButton>(1032);
    m_btnSearch = m_form.control<CSkinButton>(1002);
    m_cboDhcp = m_form.control<QComboBox>(1015);
    m_cboDriveLetters = m_form.control<QComboBox>(1013);
    m_lstVolumes = m_form.control<CSkinListCtrl>(1001);
    m_lstDevices = m_form.control<CSkinListCtrl>(1000);
    m_ipAddress = m_form.control<CIpAddressCtrl>(1006);
    m_ipNetmask = m_form.control<CIpAddressCtrl>(1010);
    m_ipGateway = m_form.control<CIpAddressCtrl>(1011);
    m_stcModel = m_form.control<QLabel>(1039);
    m_stcMac = m_form.control<QLabel>(1040);
    m_stcFirmware = m_form.control<QLabel>(1041);
}

void CSearchUtilityDlg::ConnectHandlers()
{
    const struct
    {
        CSkinButton *button;
        void (CSearchUtilityDlg::*handler)();
    } buttons[] = {
        {m_btnSearch, &CSearchUtilityDlg::OnSearch},         {m_btnApply, &CSearchUtilityDlg::OnApplyLanSettings},
        {m_btnWebPage, &CSearchUtilityDlg::OnOpenWebPage},   {m_btnMount, &CSearchUtilityDlg::OnMount},
        {m_btnUnmount, &CSearchUtilityDlg::OnUnmount},       {m_btnExit, &CSearchUtilityDlg::OnExit},
        {m_btnAbout, &CSearchUtilityDlg::OnAbout},           {m_btnLanguage, &CSearchUtilityDlg::OnLanguage},
        {m_btnBitTorrent, &CSearchUtilityDlg::OnBitTorrent}, {m_btnMinimize, &CSearchUtilityDlg::OnMinimize},
        {m_btnWidget, &CSearchUtilityDlg::OnWidget},
    };
    for (const auto &entry : buttons)
    {
        if (entry.button)
            connect(entry.button, &QPushButton::clicked, this, entry.handler);
    }
    if (m_btnClose)
        connect(m_btnClose, &QPushButton::clicked, this, &QDialog::reject);
    if (m_cboDhcp)
        connect(m_cboDhcp, &QComboBox::activated, this, &CSearchUtilityDlg::OnSelchangeDhcp);
    if (m_lstDevices)
        m_lstDevices->viewport()->installEventFilter(this);
}

int CSearchUtilityDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

bool CSearchUtilityDlg::OnInitDialog()
{
    if (m_bInitialised)
        return true;
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setWindowIcon(m_hIcon);
    m_fontDevices = ListFont();
    m_fontVolumes = ListFont();
    if (!m_lstDevices || !m_lstVolumes || !m_btnSearch || !m_cboDhcp || !m_ipAddress || !m_ipNetmask || !m_ipGateway)
        return true; // a broken template: the window shows what it has and does nothing
    m_bInitialised = true;
    m_lstDevices->InitSkin();
    m_lstVolumes->InitSkin();
    m_lstDevices->setFont(m_fontDevices);
    m_lstDevices->InsertColumn(0, QStringLiteral("Name"), 94);
    m_lstDevices->InsertColumn(1, QStringLiteral("IP"), 81);
    m_lstDevices->InsertColumn(2, QStringLiteral("Netmask"), 81);
    m_lstDevices->InsertColumn(3, QStringLiteral("Gateway"), 81);
    m_lstVolumes->setFont(m_fontVolumes);
    m_lstVolumes->InsertColumn(0, QStringLiteral("Volume Name"), 120);
    m_lstVolumes->InsertColumn(1, QStringLiteral("Location"), 111);
    for (CSkinListCtrl *list : {m_lstDevices, m_lstVolumes})
    {
        QPalette palette = list->palette();
        palette.setColor(QPalette::Text, Qt::black);
        list->setPalette(palette);
    }
    // The button bitmaps came with the template's skin when the window was built.
    RefreshDriveTable();
    FillDriveLetterCombo(m_cboDriveLetters);
    // The first search runs with the window on screen, so that it paints and shows the wait cursor.
    if (!isVisible())
        show();
    // The template asks for the foreground on open.
    raise();
    activateWindow();
    OnSearch();
    m_bDeviceSelected = 0;
    return true;
}

void CSearchUtilityDlg::OnSearch()
{
    if (!m_bInitialised)
        return;
    m_lstDevices->DeleteAllItems();
    m_lstVolumes->DeleteAllItems();
    for (QLabel *label : {m_stcModel, m_stcMac, m_stcFirmware})
    {
        if (label)
            label->clear();
    }
    repaint();
    ClearAddressFields();
    SearchAndList();
    m_bDeviceSelected = 0;
}

void CSearchUtilityDlg::SearchAndList()
{
    m_btnSearch->setEnabled(false);
    RunWithoutInput([] { SearchDevices(kSearchClassFilter, kSearchTypeFilter); });
    m_btnSearch->setEnabled(true);
    FillDeviceRows();
}

void CSearchUtilityDlg::FillDeviceRows()
{
    int row = 0;
    for (const DeviceRecord *record = g_ProtocolState.deviceList.head; record != nullptr; record = record->next, ++row)
    {
        m_lstDevices->InsertItem(row, Text(FieldText(record->server_name)));
        m_lstDevices->SetItemText(row, 1, Text(FieldText(record->server_ip)));
        m_lstDevices->SetItemText(row, 2, Text(FieldText(record->server_mask)));
        m_lstDevices->SetItemText(row, 3, Text(FieldText(record->server_gateway)));
        QTreeWidgetItem *item = m_lstDevices->topLevelItem(row);
        QString tip = DeviceToolTip(*record);
        const QString outside = OutsideNetwork(*record);
        if (!outside.isEmpty())
            tip += QStringLiteral("\n\nThis address lies outside %1, the network of the interface the device "
                                  "answered on, so this computer usually cannot reach its web page or volumes. Its "
                                  "LAN settings can move it into %1.")
                       .arg(outside);
        for (int column = 0; column < 4; ++column)
        {
            item->setToolTip(column, tip);
            if (!outside.isEmpty())
                item->setForeground(column, kOutsideColour);
        }
    }
    ShowNoDeviceLine(row == 0);
}

void CSearchUtilityDlg::ShowNoDeviceLine(bool show)
{
    if (!show)
    {
        if (m_lblNoDevice)
            m_lblNoDevice->hide();
        return;
    }
    if (!m_lblNoDevice)
    {
        // A label over the list, not a row: a click on it must not select a device.
        m_lblNoDevice = new QLabel(m_lstDevices->viewport());
        m_lblNoDevice->setObjectName(QStringLiteral("NoDeviceLine"));
        m_lblNoDevice->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_lblNoDevice->setFont(m_lstDevices->font());
        m_lblNoDevice->setStyleSheet(QStringLiteral("color: #808080; background: transparent;"));
    }
    const int count = g_ProtocolState.interfaceCount;
    m_lblNoDevice->setText(count == 1 ? QStringLiteral("No device answered on 1 interface.")
                                      : QStringLiteral("No device answered on %1 interfaces.").arg(count));
    m_lblNoDevice->adjustSize();
    m_lblNoDevice->move(4, 2);
    m_lblNoDevice->show();
}

void CSearchUtilityDlg::OnClickDeviceList()
{
    if (!m_bInitialised)
        return;
    m_bDeviceSelected = 1;
    m_lstDevices->setFocus();
    for (int row = m_lstDevices->GetTopIndex(); row < m_lstDevices->GetItemCount(); ++row)
    {
        if (m_lstDevices->topLevelItem(row)->isSelected())
            SelectRow(row);
    }
}

void CSearchUtilityDlg::SelectRow(int row)
{
    const QString ip = m_lstDevices->GetItemText(row, 1);
    const std::string ipText = ip.toStdString();
    CopyText(g_ProtocolState.selectedIp, ipText);
    m_ipAddress->SetAddress(AddressOf(ip));

    for (const DeviceRecord *record = g_ProtocolState.deviceList.head; record != nullptr; record = record->next)
    {
        if (FieldText(record->server_ip) != ipText)
            continue;
        const bool dhcp = record->dhcp[0] == '1';
        m_cboDhcp->setCurrentIndex(dhcp ? 1 : 0);
        SetAddressFieldsEnabled(!dhcp);
        m_strModel = Text(FieldText(record->server_MODEL));
        if (m_stcModel)
            m_stcModel->setText(m_strModel);
        if (m_stcMac)
            m_stcMac->setText(Text(FieldText(record->server_mac)));
        if (m_stcFirmware)
            m_stcFirmware->setText(Text(FieldText(record->server_SW_version)));
    }

    m_ipNetmask->SetAddress(AddressOf(m_lstDevices->GetItemText(row, 2)));
    const QString gateway = m_lstDevices->GetItemText(row, 3);
    if (gateway.isEmpty() || AddressOf(gateway) == 0)
        m_ipGateway->ClearAddress();
    else
        m_ipGateway->SetAddress(AddressOf(gateway));

    // Their results are not looked at: the volume list shows what the share list holds, and the web page
    // reads the SSL text.
    RunWithoutInput(
        []
        {
            QueryShareList();
            CopyText(g_ProtocolState.sslText, "");
            QuerySsl();
        });

    m_lstVolumes->DeleteAllItems();
    m_lstVolumes->update();
    CopyText(szDeviceIP, m_lstDevices->GetItemText(row, 1).toStdString());
    FillVolumeList(m_lstDevices, m_lstVolumes, row, true);
}

void CSearchUtilityDlg::OnSelchangeDhcp()
{
    if (m_cboDhcp->currentIndex() < 0)
        return;
    SetAddressFieldsEnabled(m_cboDhcp->currentText() != QStringLiteral("Enable"));
}

void CSearchUtilityDlg::SetAddressFieldsEnabled(bool enabled)
{
    m_ipAddress->setEnabled(enabled);
    m_ipGateway->setEnabled(enabled);
    m_ipNetmask->setEnabled(enabled);
}

void CSearchUtilityDlg::ClearAddressFields()
{
    m_ipAddress->ClearAddress();
    m_ipNetmask->ClearAddress();
    m_ipGateway->ClearAddress();
}

void CSearchUtilityDlg::OnExit()
{
    FreeDeviceList();
    CloseEndpoints();
    reject();
}

void CSearchUtilityDlg::OnAbout()
{
    CAboutDlg about;
    about.exec();
}

// OnLanguage, OnBitTorrent and OnWidget are in DeviceServices.cpp.

void CSearchUtilityDlg::OnMinimize()
{
    showMinimized();
}

void CSearchUtilityDlg::closeEvent(QCloseEvent *event)
{
    CloseEndpoints();
    CSkinDialog::closeEvent(event);
}

void CSearchUtilityDlg::OnOK()
{
    // Enter ends the window as OK, leaving the endpoints as they are; the template has no OK button.
    accept();
}

bool CSearchUtilityDlg::eventFilter(QObject *watched, QEvent *event)
{
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (m_lstDevices && watched == m_lstDevices->viewport() && (press || release || doubleClick))
    {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool left = mouse->button() == Qt::LeftButton;
        // A press on the empty part of the list leaves no row selected.
        if (press && left && m_lstDevices->itemAt(mouse->position().toPoint()) == nullptr)
            m_lstDevices->clearSelection();
        if (left && (press || doubleClick))
            m_bDevicePressSeen = press;
        if (release && left && std::exchange(m_bDevicePressSeen, false))
            OnClickDeviceList();
    }
    return CSkinDialog::eventFilter(watched, event);
}
