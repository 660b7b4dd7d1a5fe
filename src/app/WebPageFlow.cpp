#include "app/WebPageFlow.h"

#include "app/AppGlobals.h"
#include "app/MessageBox.h"
#include "app/SelectedRow.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"
#include "services/WebLaunch.h"
#include "skin/CSkinListCtrl.h"

using izuzez::services::g_nDeviceAvailable;

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
    if (izuzez::services::OpenDeviceWebPage(izuzez::platform::CurrentWebAccess(), g_nDeviceAvailable,
                                            FieldText(szDeviceIP), FieldText(g_ProtocolState.sslText),
                                            izuzez::services::CurrentWaitClock())
            .available)
        return;
    ShowMessage(m_owner, "Device is no longer available.", kCaptionWarning, MessageIcon::Exclamation);
    m_reread();
}
