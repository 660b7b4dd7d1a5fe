#pragma once

#include "app/DeviceServicesFlow.h"
#include "app/DriveMappingFlow.h"
#include "app/LanSettingsFlow.h"
#include "app/WebPageFlow.h"
#include "skin/CSkinDialog.h"
#include "skin/DialogTemplateBuilder.h"

#include <QIcon>
#include <QPersistentModelIndex>
#include <QString>

#include <memory>

class QLabel;

// The main window (template 102): the devices of the last search and the clicked device's details and
// volumes. It binds the controls and fills the rows; each button's flow is a class of its own.
class CSearchUtilityDlg : public CSkinDialog
{
    Q_OBJECT

public:
    explicit CSearchUtilityDlg(QWidget *parent = nullptr);
    ~CSearchUtilityDlg() override;

    // Initialises (which shows the window and runs the first search) and runs the window modally.
    int DoModal();
    // Lists, drive letters, then the first search with the window on screen.
    bool OnInitDialog();

    int IsDeviceSelected() const { return m_bDeviceSelected; }
    const QString &GetModel() const { return m_strModel; }

    // Handlers, bound to their controls in the constructor; the flows' own are forwarded.
    void OnSearch();
    // Shows the highlighted device and runs its queries, once per change of device.
    void OnClickDeviceList();
    // F1 in the device list: why the list holds what it holds, over the empty list or in a box.
    void OnDeviceListHelp();
    void OnSelchangeDhcp() { m_lan->OnSelchangeDhcp(); }
    void OnApplyLanSettings() { m_lan->OnApplyLanSettings(); }
    void OnOpenWebPage() { m_webPage->OnOpenWebPage(); }
    void OnMount() { m_drives->OnMount(); }
    void OnUnmount() { m_drives->OnUnmount(); }
    void OnExit();
    void OnAbout();
    void OnLanguage() { m_services->OnLanguage(); }
    void OnBitTorrent() { m_services->OnBitTorrent(); }
    void OnMinimize() { showMinimized(); }
    void OnWidget() { m_services->OnWidget(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    // Enter ends the window as OK, leaving the endpoints as they are; the template has no OK button.
    void OnOK() override { accept(); }

private:
    void BindControls();
    // Runs the search with the search button disabled and lists what it found.
    void SearchAndList();
    void SelectRow(int row);
    // Drive letters and devices read again after the device went away or restarted.
    void Reread();

    DialogTemplateBuilder m_form;
    QWidget *m_btnSearch = nullptr;
    CSkinListCtrl *m_lstDevices = nullptr;
    CSkinListCtrl *m_lstVolumes = nullptr;
    QLabel *m_stcDetails[3] = {}; // model, MAC and firmware
    std::unique_ptr<LanSettingsFlow> m_lan;
    std::unique_ptr<WebPageFlow> m_webPage;
    std::unique_ptr<DriveMappingFlow> m_drives;
    std::unique_ptr<DeviceServicesFlow> m_services;
    int m_bDeviceSelected = 0;
    // The device row whose details and volumes are shown; a new search leaves it invalid.
    QPersistentModelIndex m_shownRow;
    bool m_selecting = false;
    QIcon m_hIcon;
    QString m_strModel;
    bool m_initialised = false;
};
