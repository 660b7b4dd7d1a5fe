#include "app/AdminPassword.h"

#include "app/AppGlobals.h"
#include "app/CLoginDlg.h"
#include "app/ExchangeWait.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "services/LanSettingsRules.h"

bool ProveAdminPassword(QWidget *owner)
{
    CopyText(g_ProtocolState.userName, izuzez::services::kAdminUserName);
    CopyText(g_ProtocolState.password, "");
    if (RunExchange(CheckAdminPassword) != 0)
        return true;
    g_nLoginMode = kLoginModeAdmin;
    {
        CLoginDlg login(owner);
        login.DoModal();
    }
    return RunExchange(CheckAdminPassword) != 0;
}
