#pragma once

#include "platform/NetworkDrives.h"
#include "skin/CSkinDialog.h"

#include <QTimer>

#include <functional>

// "Loading.....": on screen while the installation writes to the device. Its first timer tick (after 2 s)
// runs the engine once; the engine's end ends the dialog. Enter, Escape and the close box do nothing.
class CLoadingDlg : public CSkinDialog
{
    Q_OBJECT

public:
    // The engine gets the timer id (1 code pages, 2 BitTorrent) and says whether it succeeded.
    using Engine = std::function<bool(int timerId)>;

    explicit CLoadingDlg(QWidget *parent = nullptr, Engine engine = {});

    // What the engine asks when a share refuses guests: the Login dialog in share mode, shown on the
    // window's thread while the engine's worker waits. The protocol state's names stay as they were.
    static izuzez::platform::CredentialPrompt ShareLogin(QWidget *owner);

    int DoModal();
    bool OnInitDialog();
    void OnTimer();
    void OnOK() override {}
    void reject() override {}

    int TimerId() const { return m_timerId; }
    bool TimerActive() const { return m_timer.isActive(); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Engine m_engine;
    QTimer m_timer;
    int m_timerId = 0;
};
