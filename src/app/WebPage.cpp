// The web page button: a reachability check on a worker, then the default browser.

#include "app/AppGlobals.h"
#include "app/CSearchUtilityDlg.h"
#include "app/DriveTable.h"
#include "app/MessageBox.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"
#include "services/WebLaunch.h"
#include "skin/CSkinListCtrl.h"

#include <QThread>

using izuzez::services::g_nDeviceAvailable;

namespace
{
// The wait is bounded to 2 seconds as before, but looked at every 100 ms, so that a refusal, which
// comes at once, is also reported at once.
constexpr unsigned long kPollPauseMs = 100;
constexpr int kPolls = 20;
} // namespace

int CSearchUtilityDlg::FirstSelectedRow(const CSkinListCtrl *list)
{
    if (list == nullptr)
        return -1;
    for (int row = list->GetTopIndex(); row >= 0 && row < list->GetItemCount(); ++row)
    {
        if (list->topLevelItem(row)->isSelected())
            return row;
    }
    return -1;
}

void CSearchUtilityDlg::OnOpenWebPage()
{
    const int row = FirstSelectedRow(m_lstDevices);
    if (row < 0)
    {
        ShowMessage(this, "Please select a device to configure.", kCaptionWarning, MessageIcon::Exclamation);
        return;
    }
    CopyText(szDeviceIP, m_lstDevices->GetItemText(row, 1).toStdString());
    const auto web = izuzez::platform::CurrentWebAccess();
    g_nDeviceAvailable.Start(web, FieldText(szDeviceIP));
    if (CheckDeviceAvailable() == 0)
        return;
    izuzez::services::OpenInBrowser(*web, FieldText(szDeviceIP), FieldText(g_ProtocolState.sslText));
}

int CSearchUtilityDlg::CheckDeviceAvailable()
{
    for (int i = 0;; ++i)
    {
        const int available = g_nDeviceAvailable.Value();
        if (available == 1)
        {
            g_nDeviceAvailable.Reset();
            return 1;
        }
        if (available == -1 || i >= kPolls)
        {
            // Reset also disowns a check still running, so its late answer cannot serve the next press.
            g_nDeviceAvailable.Reset();
            ShowMessage(this, "Device is no longer available.", kCaptionWarning, MessageIcon::Exclamation);
            RefreshDriveTable();
            FillDriveLetterCombo(m_cboDriveLetters);
            OnSearch();
            m_bDeviceSelected = 0;
            return 0;
        }
        QThread::msleep(kPollPauseMs);
    }
}
