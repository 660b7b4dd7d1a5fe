#include "app/DeviceServicesFlow.h"

#include "app/AdminPassword.h"
#include "app/AppGlobals.h"
#include "app/CLanguageDlg.h"
#include "app/CLoadingDlg.h"
#include "app/CRestartDlg.h"
#include "app/CWidgetEngineDlg.h"
#include "app/ExchangeWait.h"
#include "app/InstallState.h"
#include "app/MessageBox.h"
#include "app/SelectedRow.h"
#include "platform/Shell.h"
#include "platform/WinFiles.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "services/CodepageInstall.h"
#include "services/WebLaunch.h"
#include "services/WidgetLaunch.h"
#include "skin/CSkinListCtrl.h"

#include <string>

using namespace izuzez::services;

DeviceServicesFlow::DeviceServicesFlow(QWidget *owner, CSkinListCtrl *devices, const int &deviceSelected,
                                       const QString &model, std::function<void()> reread)
    : m_owner(owner), m_devices(devices), m_deviceSelected(deviceSelected), m_model(model), m_reread(std::move(reread))
{
}

void DeviceServicesFlow::OnLanguage()
{
    if (m_deviceSelected == 0)
    {
        ShowMessage(m_owner, kSelectDevice, kCaptionError, MessageIcon::Stop);
        return;
    }
    // A refused BitTorrent login leaves the kind behind; the loading dialog must run the code-page engine.
    g_nInstallKind = kInstallCodepage;
    CLanguageDlg language(m_owner);
    language.DoModal();
    g_nInstallKind = kInstallCodepage;
    if (g_nRestartStatus == 0)
        m_reread();
}

void DeviceServicesFlow::OnBitTorrent()
{
    g_nInstallKind = kInstallBitTorrent;
    if (m_deviceSelected == 0)
    {
        g_nInstallKind = kInstallCodepage;
        ShowMessage(m_owner, kSelectDevice, kCaptionError, MessageIcon::Stop);
        return;
    }
    if (!ProveAdminPassword(m_owner))
    {
        g_nInstallKind = kInstallCodepage;
        ShowMessage(m_owner, kWrongAdminPassword, kCaptionError, MessageIcon::Stop);
        return;
    }
    const BtSupport support = RunExchange([] { return AskBtSupport(); });
    bool opensWebPage = false;
    const std::string_view refusal = BtRefusal(support, opensWebPage);
    if (!refusal.empty())
    {
        ShowMessage(m_owner, refusal, "", MessageIcon::None);
        if (opensWebPage)
            izuzez::platform::WinExec("explorer " + izuzez::services::WebAddress(FieldText(szDeviceIP)));
        g_nRestartStatus = -1;
        g_nInstallKind = kInstallCodepage;
        return;
    }
    CLoadingDlg loading(m_owner);
    loading.DoModal();
    if (g_bBtInstalled == 1)
    {
        CRestartDlg restart(m_owner);
        restart.DoModal();
    }
    if (g_nRestartStatus == 0)
    {
        g_nInstallKind = kInstallCodepage;
        g_bBtInstalled = 0;
        m_reread();
        izuzez::platform::RemoveFolder("C:\\bt\\");
    }
}

void DeviceServicesFlow::OnWidget()
{
    m_devices->setFocus();
    const int selected = FirstSelectedRow(m_devices);
    if (selected < 0)
    {
        ShowMessage(m_owner, kSelectServer, kCaptionWarning, MessageIcon::Exclamation);
        return;
    }
    // The address file is made first and stays; a file that cannot be made is skipped.
    WriteWidgetAddress(m_devices->GetItemText(selected, 1).toStdString());

    CWidgetEngineDlg engine(m_owner);
    engine.exec();
    if (g_nWidgetDownload == 1)
    {
        izuzez::platform::WinExec("explorer " + std::string(kWidgetEngineDownload));
        return;
    }
    const char *file = WidgetFileForModel(m_model.toStdString());
    if (file == nullptr)
    {
        CSelectModelDlg chooser(m_owner);
        chooser.exec();
        file = WidgetFileForChoice(g_nModelChoice);
        if (file == nullptr)
            return;
    }
    if (izuzez::platform::ShellExecuteA("open", file) <= 32)
        ShowMessage(m_owner, kWidgetError, kCaptionWarning, MessageIcon::Information);
}
