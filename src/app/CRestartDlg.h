#pragma once

#include "skin/CSkinDialog.h"

#include <QTimer>

#include <atomic>
#include <stop_token>
#include <thread>

class CSkinProgressCtrl;

// "The system is restarting": fills its bar from the restart wait on a worker and ends on its own 90-second
// timer. The dialog's end stops the worker from touching the bar and waits for it, so the worker has set
// g_nRestartStatus by the time DoModal returns.
class CRestartDlg : public CSkinDialog
{
    Q_OBJECT

public:
    explicit CRestartDlg(QWidget *parent = nullptr);
    ~CRestartDlg() override;

    int DoModal();
    bool OnInitDialog();
    void OnTimer();
    void OnOK() override {}
    void reject() override {}

    CSkinProgressCtrl *Progress() const { return m_progress; }
    int WorkerExitCode() const { return m_workerExit.load(); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Worker(std::stop_token stop);
    void StopWorker();

    CSkinProgressCtrl *m_progress = nullptr;
    QTimer m_timer;
    std::jthread m_worker;
    std::atomic<bool> m_ended{false};
    std::atomic<int> m_workerExit{0};
};
