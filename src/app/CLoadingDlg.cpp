#include "app/CLoadingDlg.h"

#include "app/AppGlobals.h"
#include "app/ExchangeWait.h"
#include "app/MessageBox.h"
#include "services/CodepageInstall.h"
#include "services/InstallState.h"
#include "services/WaitClock.h"
#include "skin/DialogTemplateBuilder.h"

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
    if (form.Load(kTemplate) && form.Build(this))
        form.ApplySkin(this);
    if (!m_engine)
        m_engine = [](int timerId)
        { return RunExchange([timerId] { return izuzez::services::RunInstallEngine(timerId, szDeviceIP); }); };
    m_timer.setSingleShot(false);
    connect(&m_timer, &QTimer::timeout, this, &CLoadingDlg::OnTimer);
}

int CLoadingDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

bool CLoadingDlg::OnInitDialog()
{
    m_nTimerId = g_nInstallKind == kInstallBitTorrent ? 2 : 1;
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
    const bool installed = m_engine(m_nTimerId);
    QDialog::reject();
    if (!installed)
        ShowMessage(parentWidget(), izuzez::services::kCheckDisks, "", MessageIcon::None);
}

void CLoadingDlg::closeEvent(QCloseEvent *event)
{
    event->ignore();
}
