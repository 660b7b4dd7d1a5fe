#pragma once

#include "skin/CSkinDialog.h"
#include "skin/DialogTemplateBuilder.h"

#include <QFont>
#include <QIcon>
#include <QString>

#include <string>

class CIpAddressCtrl;
class CSkinButton;
class CSkinListCtrl;
class QComboBox;
class QLabel;

namespace izuzez::services
{
struct StaticAddressInput;
}

// The main window (template 102): the devices of the last search, the clicked device's address settings
// and volumes, and the buttons of every flow that acts on that device.
class CSearchUtilityDlg : public CSkinDialog
{
    Q_OBJECT

public:
    explicit CSearchUtilityDlg(QWidget *parent = nullptr);
    ~CSearchUtilityDlg() override;

    // Initialises (which shows the window and runs the first search) and runs the window modally.
    int DoModal();
    // Fonts, columns, drive letters, then the first search with the window on screen.
    bool OnInitDialog();

    int IsDeviceSelected() const { return m_bDeviceSelected; }
    const QString &GetModel() const { return m_strModel; }

    // Handlers, bound to their controls in the constructor.
    void OnSearch();
    void OnClickDeviceList();
    void OnSelchangeDhcp();
    void OnApplyLanSettings();
    void OnOpenWebPage();
    void OnMount();
    void OnUnmount();
    void OnExit();
    void OnAbout();
    void OnLanguage();
    void OnBitTorrent();
    void OnMinimize();
    void OnWidget();
    // Polls the reachability check of the web page launch for about 2 seconds; 0 (reported) when the
    // device did not answer in time.
    int CheckDeviceAvailable();

protected:
    void closeEvent(QCloseEvent *event) override;
    void OnOK() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BindControls();
    void ConnectHandlers();
    // Runs the search with the search button disabled and lists what it found.
    void SearchAndList();
    void FillDeviceRows();
    void ShowNoDeviceLine(bool show);
    void SelectRow(int row);
    void SetAddressFieldsEnabled(bool enabled);
    void ClearAddressFields();
    // The second search after a LAN change: keeps the detail statics and the DHCP choice.
    void SearchAgain();
    void ApplyDhcp();
    void ApplyStaticAddress();
    bool ProveAdminPassword();
    izuzez::services::StaticAddressInput ReadAddressInput() const;
    // The first selected row at or below the list's top index, or -1.
    static int FirstSelectedRow(const CSkinListCtrl *list);
    bool ConnectDrive(const std::string &localName, const std::string &remoteName, const std::string &version);
    // Drive letters and devices read again after a device restarted.
    void RereadAfterRestart();

    DialogTemplateBuilder m_form;
    CSkinButton *m_btnExit = nullptr;       // 1009
    CSkinButton *m_btnAbout = nullptr;      // 1021
    CSkinButton *m_btnApply = nullptr;      // 1007
    CSkinButton *m_btnBitTorrent = nullptr; // 1025
    CSkinButton *m_btnClose = nullptr;      // 1028
    CSkinButton *m_btnMinimize = nullptr;   // 1027
    CSkinButton *m_btnLanguage = nullptr;   // 1022
    CSkinButton *m_btnWebPage = nullptr;    // 1008
    CSkinButton *m_btnUnmount = nullptr;    // 1004
    CSkinButton *m_btnMount = nullptr;      // 1003
    CSkinButton *m_btnWidget = nullptr;     // 1032
    CSkinButton *m_btnSearch = nullptr;     // 1002
    QComboBox *m_cboDhcp = nullptr;         // 1015
    QComboBox *m_cboDriveLetters = nullptr; // 1013
    CSkinListCtrl *m_lstVolumes = nullptr;  // 1001
    CSkinListCtrl *m_lstDevices = nullptr;  // 1000
    CIpAddressCtrl *m_ipAddress = nullptr;  // 1006
    CIpAddressCtrl *m_ipNetmask = nullptr;  // 1010
    CIpAddressCtrl *m_ipGateway = nullptr;  // 1011
    QLabel *m_stcModel = nullptr;           // 1039
    QLabel *m_stcMac = nullptr;             // 1040
    QLabel *m_stcFirmware = nullptr;        // 1041
    QLabel *m_lblNoDevice = nullptr;        // grey line in the empty device list
    int m_bDeviceSelected = 0;
    QIcon m_hIcon;
    QString m_strModel;
    QFont m_fontDevices;
    QFont m_fontVolumes;
    bool m_bInitialised = false;
    // A release selects only after a press of its own: not the second release of a double-click, nor one
    // whose press was dropped during an exchange.
    bool m_bDevicePressSeen = false;
};
