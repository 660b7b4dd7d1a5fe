#include "app/WebPageFlow.h"

#include "app/AppGlobals.h"
#include "app/MessageBox.h"
#include "app/SelectedRow.h"
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

WebPageFlow::WebPageFlow(QWidget *owner, CSkinListCtrl *devices, std::function<void()> reread)
    : m_owner(owner), m_devices(devices), m_reread(std::move(reread))
{
}

void WebPageFlow::OnOpenWebPage()
{
    const int row = FirstSelectedRow(m_devices);
    if (row < 0)
    {
        ShowMessage(m_owner, "Please select a device to configure.", kCaptionWarning, MessageIcon::Exclamation);
        return;
    }
    CopyText(szDeviceIP, m_devices->GetItemText(row, 1).toStdString());
    const auto web = izuzez::platform::CurrentWebAccess();
    g_nDeviceAvailable.Start(web, FieldText(szDeviceIP));
    if (CheckDeviceAvailable() == 0)
        return;
    izuzez::services::OpenInBrowser(*web, FieldText(szDeviceIP), FieldText(g_ProtocolState.sslText));
}

int WebPageFlow::CheckDeviceAvailable()
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
            ShowMessage(m_owner, "Device is no longer available.", kCaptionWarning, MessageIcon::Exclamation);
            m_reread();
            return 0;
        }
        QThread::msleep(kPollPauseMs);
    }
}
