#include "app/CRestartDlg.h"

#include "app/InstallState.h"
#include "app/SkinnedDialog.h"
#include "services/CodepageInstall.h"
#include "services/WaitClock.h"
#include "skin/CSkinProgressCtrl.h"

#include <QCloseEvent>
#include <QPointer>

namespace
{
constexpr int kTemplate = 141;
constexpr int kProgressId = 1023;
} // namespace

CRestartDlg::CRestartDlg(QWidget *parent) : CSkinDialog(parent)
{
    setObjectName(QStringLiteral("RestartDialog"));
    DialogTemplateBuilder form;
    BuildSkinnedDialog(form, kTemplate, this);
    m_progress = form.control<CSkinProgressCtrl>(kProgressId);
    m_timer.setSingleShot(false);
    // A coarse timer may end up to 5 % early: 4.5 s less for the device to come back.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CRestartDlg::OnTimer);
}

CRestartDlg::~CRestartDlg()
{
    StopWorker();
}

int CRestartDlg::DoModal()
{
    OnInitDialog();
    const int result = exec();
    StopWorker();
    return result;
}

bool CRestartDlg::OnInitDialog()
{
    m_ended = false;
    m_worker = std::jthread([this](std::stop_token stop) { Worker(stop); });
    m_timer.start(izuzez::services::CurrentWaitClock().Scaled(izuzez::services::kRestartWait));
    return true;
}

void CRestartDlg::OnTimer()
{
    m_timer.stop();
    QDialog::reject();
}

void CRestartDlg::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

void CRestartDlg::StopWorker()
{
    m_ended = true;
    m_worker.request_stop();
    if (m_worker.joinable())
        m_worker.join();
}

void CRestartDlg::Worker(std::stop_token stop)
{
    // The bar is only touched on the UI thread, and only while the dialog has not ended.
    QPointer<CSkinProgressCtrl> bar = m_progress;
    auto post = [this, bar](int percent)
    {
        QMetaObject::invokeMethod(
            this,
            [this, bar, percent]
            {
                if (m_ended || bar.isNull())
                    return;
                if (percent == 0)
                    bar->setRange(1, 100);
                bar->setValue(qMin(percent + 1, 100));
            },
            Qt::QueuedConnection);
    };
    post(0);
    // An ended dialog stops the wait, which then steps no more.
    izuzez::services::WaitForRestart(post, stop);
    g_nRestartStatus = 0;
    m_workerExit = 1;
}
