#include "app/CRestartDlg.h"

#include "app/SkinnedDialog.h"
#include "services/InstallState.h"
#include "services/WaitClock.h"
#include "skin/CSkinProgressCtrl.h"

#include <QCloseEvent>
#include <QPointer>

#include <chrono>

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
    using namespace std::chrono_literals;
    m_bEnded = false;
    m_worker = std::thread([this] { Worker(); });
    m_timer.start(izuzez::services::CurrentWaitClock().Scaled(90000ms));
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
    {
        std::lock_guard lock(m_mutex);
        m_bEnded = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void CRestartDlg::Worker()
{
    using namespace std::chrono_literals;
    // The bar is only touched on the UI thread, and only while the dialog has not ended.
    QPointer<CSkinProgressCtrl> bar = m_progress;
    auto post = [this, bar](int step)
    {
        QMetaObject::invokeMethod(
            this,
            [this, bar, step]
            {
                if (m_bEnded || bar.isNull())
                    return;
                if (step == 0)
                {
                    bar->setRange(1, 100);
                    bar->setValue(1);
                }
                else
                    bar->setValue(qMin(bar->value() + 1, 100));
            },
            Qt::QueuedConnection);
    };
    post(0);
    for (int i = 0; i < 99; ++i)
    {
        std::unique_lock lock(m_mutex);
        if (m_bEnded)
            break;
        post(1);
        // An ended dialog wakes the worker, which then stops stepping and reports. Each step asks the clock,
        // so that a test clock sees every pause.
        m_wake.wait_for(lock, izuzez::services::CurrentWaitClock().Scaled(900ms), [this] { return m_bEnded.load(); });
    }
    g_nRestartStatus = 0;
    m_nWorkerExit = 1;
}
