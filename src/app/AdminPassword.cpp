#include "app/AdminPassword.h"

#include "app/AppGlobals.h"
#include "app/CLoginDlg.h"
#include "app/ExchangeWait.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "services/AdminLogin.h"

bool ProveAdminPassword(QWidget *owner)
{
    const auto check = [](std::string_view userName, std::string_view password)
    {
        CopyText(g_ProtocolState.userName, userName);
        CopyText(g_ProtocolState.password, password);
        return RunExchange(CheckAdminPassword);
    };
    const auto ask = [owner]() -> std::optional<std::string>
    {
        g_nLoginMode = kLoginModeAdmin;
        CLoginDlg login(owner);
        login.DoModal();
        // Cancel leaves the empty password in place, and that is what is sent again.
        return std::string(FieldText(g_ProtocolState.password));
    };
    return izuzez::services::LogInAsAdmin(check, ask, sizeof g_ProtocolState.password - 1) ==
           izuzez::services::AdminLogin::Accepted;
}
