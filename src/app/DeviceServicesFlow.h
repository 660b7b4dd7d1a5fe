#pragma once

#include <QString>

#include <functional>

class CSkinListCtrl;
class QWidget;

// The hidden services of the main window: code-page installation, BitTorrent helper installation and the
// widget launch.
class DeviceServicesFlow
{
public:
    // `model` is the clicked device's model; `reread` reads the drive letters and devices again after the
    // device restarted.
    DeviceServicesFlow(QWidget *owner, CSkinListCtrl *devices, const int &deviceSelected, const QString &model,
                       std::function<void()> reread);

    void OnLanguage();
    void OnBitTorrent();
    void OnWidget();

private:
    QWidget *m_owner;
    CSkinListCtrl *m_devices;
    const int &m_deviceSelected;
    const QString &m_model;
    std::function<void()> m_reread;
};
