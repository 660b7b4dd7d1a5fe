#pragma once

#include <functional>

class CSkinListCtrl;
class QWidget;

// The web page button: a reachability check on a worker, then the default browser.
class WebPageFlow
{
public:
    // `reread` reads the drive letters and devices again when the device went away.
    WebPageFlow(QWidget *owner, CSkinListCtrl *devices, std::function<void()> reread);

    void OnOpenWebPage();
    // Polls the reachability check of the web page launch for about 2 seconds; 0 (reported) when the
    // device did not answer in time.
    int CheckDeviceAvailable();

private:
    QWidget *m_owner;
    CSkinListCtrl *m_devices;
    std::function<void()> m_reread;
};
