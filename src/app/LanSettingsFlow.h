#pragma once

#include <QString>

#include <functional>

class CIpAddressCtrl;
class QComboBox;
class QWidget;

// The LAN settings of the clicked device: the "Receive DHCP" choice, or a static address from the three
// address fields.
class LanSettingsFlow
{
public:
    struct Controls
    {
        QComboBox *dhcp = nullptr;
        CIpAddressCtrl *ip = nullptr;
        CIpAddressCtrl *netmask = nullptr;
        CIpAddressCtrl *gateway = nullptr;
    };

    // `searchAgain` lists the devices again after a change, keeping the detail statics and the DHCP choice.
    // Applying does nothing until the window's lists are set up (`ready`).
    LanSettingsFlow(QWidget *owner, const Controls &controls, const bool &ready, int &deviceSelected,
                    std::function<void()> searchAgain);

    bool IsBound() const;
    void OnApplyLanSettings();
    void OnSelchangeDhcp();
    // The clicked device's addresses; an empty or 0.0.0.0 gateway leaves its field blank.
    void ShowAddresses(const QString &ip, const QString &netmask, const QString &gateway);
    void ShowDhcp(bool dhcp);
    void ClearAddressFields();

private:
    void ApplyDhcp();
    void ApplyStaticAddress();
    void SetAddressFieldsEnabled(bool enabled);

    QWidget *m_owner;
    Controls m_controls;
    const bool &m_ready;
    int &m_deviceSelected;
    std::function<void()> m_searchAgain;
};
