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

    // When the device does not answer in time, says so and rereads.
    void OnOpenWebPage();

private:
    QWidget *m_owner;
    CSkinListCtrl *m_devices;
    std::function<void()> m_reread;
};
