#include "app/CSearchUtilityDlg.h"

#include "app/AppGlobals.h"
#include "app/CAboutDlg.h"
#include "app/DeviceListMenu.h"
#include "app/DeviceRows.h"
#include "app/DriveTable.h"
#include "app/EmptyListVerdict.h"
#include "app/ExchangeWait.h"
#include "app/MessageBox.h"
#include "app/SkinnedDialog.h"
#include "protocol/DeviceList.h"
#include "protocol/Endpoints.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "protocol/Search.h"
#include "resources/ResourcePaths.h"
#include "services/DeviceCache.h"
#include "services/DeviceSession.h"
#include "skin/CIpAddressCtrl.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinListCtrl.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QShortcut>

#include <ctime>

namespace
{

constexpr int kTemplate = 102;
constexpr int kSearchClassFilter = 1;
constexpr int kSearchTypeFilter = 8;
constexpr char kWindowTitle[] = "Vantrel DER Izuzez Utility";

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What the search listed, for `izuzez wake`; a cache that cannot be written is no concern of the window.
void RememberListedDevices()
{
    const std::int64_t now = std::time(nullptr);
    const ProtocolState &s = g_ProtocolState;
    std::vector<izuzez::services::CachedDevice> seen;
    for (const DeviceRecord *r = s.deviceList.head; r; r = r->next)
    {
        const bool known = r->interfaceIndex >= 0 && r->interfaceIndex < s.interfaceCount;
        seen.push_back({std::string(FieldText(r->server_name)), std::string(FieldText(r->server_mac)),
                        std::string(FieldText(r->server_ip)),
                        known ? std::string(FieldText(s.interfaceAddress[r->interfaceIndex])) : std::string(), now});
    }
    if (!seen.empty())
        izuzez::services::RememberDevices(izuzez::services::DeviceCachePath(), seen);
}

} // namespace

CSearchUtilityDlg::CSearchUtilityDlg(QWidget *parent) : CSkinDialog(parent)
{
    setObjectName(QStringLiteral("SearchUtilityDialog"));
    m_hIcon = QIcon(QPixmap(izuzez::IconResourcePath()));
    BuildSkinnedDialog(m_form, kTemplate, this);
    BindControls();
}

CSearchUtilityDlg::~CSearchUtilityDlg() = default;

void CSearchUtilityDlg::BindControls()
{
    m_btnSearch = m_form.control(1002);
    m_lstDevices = m_form.control<CSkinListCtrl>(1000);
    m_lstVolumes = m_form.control<CSkinListCtrl>(1001);
    for (int i = 0; i < 3; ++i)
        m_stcDetails[i] = m_form.control<QLabel>(1039 + i);
    auto *dhcp = m_form.control<QComboBox>(1015);
    const LanSettingsFlow::Controls lan{dhcp, m_form.control<CIpAddressCtrl>(1006),
                                        m_form.control<CIpAddressCtrl>(1010), m_form.control<CIpAddressCtrl>(1011)};
    const auto searchAgain = [this]
    {
        m_lstDevices->DeleteAllItems();
        m_lstVolumes->DeleteAllItems();
        SearchAndList();
    };
    m_lan = std::make_unique<LanSettingsFlow>(this, lan, m_initialised, m_bDeviceSelected, searchAgain);
    m_webPage = std::make_unique<WebPageFlow>(this, m_lstDevices, [this] { Reread(); });
    m_drives = std::make_unique<DriveMappingFlow>(this, m_lstDevices, m_lstVolumes, m_form.control<QComboBox>(1013),
                                                  m_initialised);
    m_services =
        std::make_unique<DeviceServicesFlow>(this, m_lstDevices, m_bDeviceSelected, m_strModel, [this] { Reread(); });
    AddDeviceListMenu(m_lstDevices);

    const struct
    {
        int id;
        void (CSearchUtilityDlg::*handler)();
    } buttons[] = {
        {1002, &CSearchUtilityDlg::OnSearch},      {1007, &CSearchUtilityDlg::OnApplyLanSettings},
        {1008, &CSearchUtilityDlg::OnOpenWebPage}, {1003, &CSearchUtilityDlg::OnMount},
        {1004, &CSearchUtilityDlg::OnUnmount},     {1009, &CSearchUtilityDlg::OnExit},
        {1021, &CSearchUtilityDlg::OnAbout},       {1022, &CSearchUtilityDlg::OnLanguage},
        {1025, &CSearchUtilityDlg::OnBitTorrent},  {1027, &CSearchUtilityDlg::OnMinimize},
        {1032, &CSearchUtilityDlg::OnWidget},
    };
    for (const auto &entry : buttons)
        if (auto *button = m_form.control<CSkinButton>(entry.id))
            connect(button, &QPushButton::clicked, this, entry.handler);
    if (auto *close = m_form.control<CSkinButton>(1028))
        connect(close, &QPushButton::clicked, this, &QDialog::reject);
    if (dhcp)
        connect(dhcp, &QComboBox::activated, this, &CSearchUtilityDlg::OnSelchangeDhcp);
    // Every way the highlighted row can move (a click, a key, a typed name, the program) passes through
    // the selection, so the device shown and acted on is always the highlighted one.
    if (m_lstDevices)
        connect(m_lstDevices->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &CSearchUtilityDlg::OnClickDeviceList);
    // A click on the device already shown reads it again: its volumes may have been mapped meanwhile.
    if (m_lstDevices)
        connect(m_lstDevices, &CSkinListCtrl::selectedRowPressed, this,
                [this]
                {
                    m_shownRow = QPersistentModelIndex();
                    OnClickDeviceList();
                });
    if (m_lstVolumes)
        connect(m_lstVolumes, &QAbstractItemView::activated, this,
                [this](const QModelIndex &index) { m_drives->OnOpenVolume(index.row()); });
    if (m_lstDevices)
        connect(new QShortcut(QKeySequence(Qt::Key_F1), m_lstDevices, nullptr, nullptr, Qt::WidgetShortcut),
                &QShortcut::activated, this, &CSearchUtilityDlg::OnDeviceListHelp);
}

int CSearchUtilityDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

bool CSearchUtilityDlg::OnInitDialog()
{
    if (m_initialised)
        return true;
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setWindowIcon(m_hIcon);
    if (!m_lstDevices || !m_lstVolumes || !m_btnSearch || !m_lan->IsBound())
        return true; // a broken template: the window shows what it has and does nothing
    m_initialised = true;
    SetUpLists(m_lstDevices, m_lstVolumes);
    // The button bitmaps came with the template's skin when the window was built.
    m_drives->RefreshLetters();
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
    if (!m_initialised)
        return;
    m_lstDevices->DeleteAllItems();
    m_lstVolumes->DeleteAllItems();
    for (QLabel *label : m_stcDetails)
        if (label)
            label->clear();
    repaint();
    m_lan->ClearAddressFields();
    SearchAndList();
    m_bDeviceSelected = 0;
}

void CSearchUtilityDlg::SearchAndList()
{
    // Disabled for the search, the button hands the focus on to the next control; it takes it back after.
    const bool focused = m_btnSearch->hasFocus();
    m_btnSearch->setEnabled(false);
    // On a large network the replies outlast the search's 100 datagrams: it keeps listening as search --wait.
    RunWithoutInput(
        []
        {
            SearchDevicesListeningWhileBusy(kSearchClassFilter, kSearchTypeFilter,
                                            std::chrono::milliseconds(izuzez::services::kSearchQuietMs),
                                            std::chrono::milliseconds(izuzez::services::kWaitLimitMs));
        });
    RememberListedDevices();
    m_btnSearch->setEnabled(true);
    if (focused)
        m_btnSearch->setFocus(Qt::OtherFocusReason);
    if (FillDeviceRows(m_lstDevices) == 0)
        ShowEmptyListVerdict(m_lstDevices);
}

void CSearchUtilityDlg::OnDeviceListHelp()
{
    if (!m_initialised)
        return;
    if (m_lstDevices->GetItemCount() == 0)
    {
        ShowEmptyListVerdict(m_lstDevices);
        return;
    }
    const QStringList verdict = GatherVerdict();
    ShowMessage(this, verdict.join(QLatin1Char('\n')).toStdString(), "", MessageIcon::Information);
}

void CSearchUtilityDlg::OnClickDeviceList()
{
    if (!m_initialised || m_selecting)
        return;
    m_selecting = true;
    // A selection moved by the program during the queries is followed once they end; bounded all the same.
    for (int round = 0; round < 8; ++round)
    {
        const int row = m_lstDevices->GetSelectedRow();
        // No row (a click on the empty part) keeps the device shown; the same row again asks nothing.
        if (row < 0 || m_shownRow == m_lstDevices->model()->index(row, 0))
            break;
        m_shownRow = m_lstDevices->model()->index(row, 0);
        m_bDeviceSelected = 1;
        m_lstDevices->setFocus();
        SelectRow(row);
    }
    m_selecting = false;
}

void CSearchUtilityDlg::SelectRow(int row)
{
    const std::string ip = m_lstDevices->GetItemText(row, 1).toStdString();
    CopyText(g_ProtocolState.selectedIp, ip);
    for (const DeviceRecord *record = g_ProtocolState.deviceList.head; record != nullptr; record = record->next)
    {
        if (FieldText(record->server_ip) != ip)
            continue;
        m_lan->ShowDhcp(record->dhcp[0] == '1');
        m_strModel = Text(FieldText(record->server_MODEL));
        const QString details[] = {m_strModel, Text(FieldText(record->server_mac)),
                                   Text(FieldText(record->server_SW_version))};
        for (int i = 0; i < 3; ++i)
            if (m_stcDetails[i])
                m_stcDetails[i]->setText(details[i]);
    }
    m_lan->ShowAddresses(m_lstDevices->GetItemText(row, 1), m_lstDevices->GetItemText(row, 2),
                         m_lstDevices->GetItemText(row, 3));

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
    CopyText(szDeviceIP, ip);
    FillVolumeList(m_lstDevices, m_lstVolumes, row, true);
}

void CSearchUtilityDlg::Reread()
{
    m_drives->RefreshLetters();
    OnSearch();
    m_bDeviceSelected = 0;
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

void CSearchUtilityDlg::closeEvent(QCloseEvent *event)
{
    CloseEndpoints();
    CSkinDialog::closeEvent(event);
}
