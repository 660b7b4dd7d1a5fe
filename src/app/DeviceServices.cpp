// The hidden services of the main window: code-page installation, BitTorrent helper installation and
// the widget launch.

#include "app/AppGlobals.h"
#include "app/CLanguageDlg.h"
#include "app/CLoadingDlg.h"
#include "app/CLoginDlg.h"
#include "app/CRestartDlg.h"
#include "app/CSearchUtilityDlg.h"
#include "app/CWidgetEngineDlg.h"
#include "app/DriveTable.h"
#include "app/ExchangeWait.h"
#include "app/MessageBox.h"
#include "platform/Shell.h"
#include "platform/WinFiles.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "services/CodepageInstall.h"
#include "services/InstallState.h"
#include "services/WidgetLaunch.h"
#include "skin/CSkinListCtrl.h"

#include <QComboBox>
#include <QTreeWidgetItem>

#include <string>

using namespace izuzez::services;

void CSearchUtilityDlg::RereadAfterRestart()
{
    RefreshDriveTable();
    FillDriveLetterCombo(m_cboDriveLetters);
    OnSearch();
    m_bDeviceSelected = 0;
}

void CSearchUtilityDlg::OnLanguage()
{
    if (m_bDeviceSelected == 0)
    {
        ShowMessage(this, kSelectDevice, kCaptionError, MessageIcon::Stop);
        return;
    }
    // A refused BitTorrent login leaves the kind behind; the loading dialog must run the code-page engine.
    g_nInstallKind = kInstallCodepage;
    CLanguageDlg language(this);
    language.DoModal();
    g_nInstallKind = kInstallCodepage;
    if (g_nRestartStatus == 0)
        RereadAfterRestart();
}

void CSearchUtilityDlg::OnBitTorrent()
{
    g_nInstallKind = kInstallBitTorrent;
    if (m_bDeviceSelected == 0)
    {
        g_nInstallKind = kInstallCodepage;
        ShowMessage(this, kSelectDevice, kCaptionError, MessageIcon::Stop);
        return;
    }
    CopyText(g_ProtocolState.userName, "admin");
    CopyText(g_ProtocolState.password, "");
    if (RunExchange([] { return CheckAdminPassword(); }) == 0)
    {
        g_nLoginMode = kLoginModeAdmin;
        CLoginDlg login(this);
        login.DoModal();
        if (RunExchange([] { return CheckAdminPassword(); }) == 0)
        {
            g_nInstallKind = kInstallCodepage;
            ShowMessage(this, kWrongAdminPassword, kCaptionError, MessageIcon::Stop);
            return;
        }
    }
    const BtSupport support = RunExchange([] { return AskBtSupport(); });
    bool opensWebPage = false;
    const std::string_view refusal = BtRefusal(support, opensWebPage);
    if (!refusal.empty())
    {
        ShowMessage(this, refusal, "", MessageIcon::None);
        if (opensWebPage)
            izuzez::platform::WinExec("explorer http://" + std::string(szDeviceIP));
        g_nRestartStatus = -1;
        g_nInstallKind = kInstallCodepage;
        return;
    }
    CLoadingDlg loading(this);
    loading.DoModal();
    if (g_bBtInstalled == 1)
    {
        CRestartDlg restart(this);
        restart.DoModal();
    }
    if (g_nRestartStatus == 0)
    {
        g_nInstallKind = kInstallCodepage;
        g_bBtInstalled = 0;
        RereadAfterRestart();
        izuzez::platform::RemoveFolder("C:\\bt\\");
    }
}

void CSearchUtilityDlg::OnWidget()
{
    m_lstDevices->setFocus();
    int selected = -1;
    for (int row = m_lstDevices->GetTopIndex(); row < m_lstDevices->GetItemCount() && selected < 0; ++row)
        if (m_lstDevices->topLevelItem(row)->isSelected())
            selected = row;
    if (selected < 0)
    {
        ShowMessage(this, kSelectServer, kCaptionWarning, MessageIcon::Exclamation);
        return;
    }
    // The address file is made first and stays; a file that cannot be made is skipped.
    WriteWidgetAddress(m_lstDevices->GetItemText(selected, 1).toStdString());

    CWidgetEngineDlg engine(this);
    engine.exec();
    if (g_nWidgetDownload == 1)
    {
        izuzez::platform::WinExec("explorer " + std::string(kWidgetEngineDownload));
        return;
    }
    const char *file = WidgetFileForModel(m_strModel.toStdString());
    if (file == nullptr)
    {
        CSelectModelDlg chooser(this);
        chooser.exec();
        file = WidgetFileForChoice(g_nModelChoice);
        if (file == nullptr)
            return;
    }
    if (izuzez::platform::ShellExecuteA("open", file) <= 32)
        ShowMessage(this, kWidgetError, kCaptionWarning, MessageIcon::Information);
}
