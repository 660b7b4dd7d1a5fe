#include "app/CLoadingDlg.h"

#include "app/AppGlobals.h"
#include "app/CLoginDlg.h"
#include "app/ExchangeWait.h"
#include "app/InstallState.h"
#include "app/MessageBox.h"
#include "app/SkinnedDialog.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"
#include "services/CodepageInstall.h"
#include "services/WaitClock.h"

#include <QCloseEvent>

#include <chrono>

namespace
{
constexpr int kTemplate = 180;
} // namespace

CLoadingDlg::CLoadingDlg(QWidget *parent, Engine engine) : CSkinDialog(parent), m_engine(std::move(engine))
{
    setObjectName(QStringLiteral("LoadingDialog"));
    DialogTemplateBuilder form;
    BuildSkinnedDialog(form, kTemplate, this);
    if (!m_engine)
        m_engine = [this](int timerId)
        {
            const izuzez::platform::CredentialPrompt login = ShareLogin(parentWidget());
            const int index = g_nCodepageIndex;
            const bool installed = RunExchange(
                [timerId, index, &login]
                { return izuzez::services::RunInstallEngine(timerId, index, szDeviceIP, {}, nullptr, login); });
            // The language dialog offers the choice again after a failure.
            g_bInstallFailed = installed ? 0 : 1;
            if (timerId == 2)
            {
                // The helpers' run leaves the kind at code pages; the restart follows only when both landed.
                g_nInstallKind = kInstallCodepage;
                if (installed)
                    g_bBtInstalled = 1;
            }
            return installed;
        };
    m_timer.setSingleShot(false);
    connect(&m_timer, &QTimer::timeout, this, &CLoadingDlg::OnTimer);
}

izuzez::platform::CredentialPrompt CLoadingDlg::ShareLogin(QWidget *owner)
{
    return [owner](std::string_view) -> std::optional<izuzez::platform::Credentials>
    {
        std::optional<izuzez::platform::Credentials> typed;
        RunOnWindowThread(
            [&typed, owner]
            {
                ProtocolState &state = g_ProtocolState;
                const std::string user(FieldText(state.userName));
                const std::string password(FieldText(state.password));
                const int mode = g_nLoginMode;
                g_nLoginMode = kLoginModeShare;
                CopyText(state.userName, "");
                CopyText(state.password, "");
                CLoginDlg login(owner);
                login.DoModal();
                if (login.Confirmed())
                    typed = izuzez::platform::Credentials{std::string(FieldText(state.userName)),
                                                          std::string(FieldText(state.password))};
                CopyText(state.userName, user);
                CopyText(state.password, password);
                g_nLoginMode = mode;
            });
        return typed;
    };
}

int CLoadingDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

bool CLoadingDlg::OnInitDialog()
{
    m_timerId = g_nInstallKind == kInstallBitTorrent ? 2 : 1;
    using namespace std::chrono_literals;
    m_timer.start(izuzez::services::CurrentWaitClock().Scaled(2000ms));
    return true;
}

void CLoadingDlg::OnTimer()
{
    // The work runs once: the timer goes before anything can show a message.
    if (!m_timer.isActive())
        return;
    m_timer.stop();
    const bool installed = m_engine(m_timerId);
    QDialog::reject();
    if (!installed)
        ShowMessage(parentWidget(), izuzez::services::kCheckDisks, "", MessageIcon::None);
}

void CLoadingDlg::closeEvent(QCloseEvent *event)
{
    event->ignore();
}
