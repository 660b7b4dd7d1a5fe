#pragma once

class CSkinListCtrl;
class QComboBox;
class QWidget;

// The map and unmap buttons: a volume of the selected device to a drive letter and back.
class DriveMappingFlow
{
public:
    // Both buttons do nothing until the window's lists are set up (`ready`).
    DriveMappingFlow(QWidget *owner, CSkinListCtrl *devices, CSkinListCtrl *volumes, QComboBox *letters,
                     const bool &ready);

    void OnMount();
    void OnUnmount();
    // A volume row opened (double-click, Enter): a mapped one shows in the file manager.
    void OnOpenVolume(int row);
    // The drive letters read again and listed.
    void RefreshLetters();

private:
    QWidget *m_owner;
    CSkinListCtrl *m_devices;
    CSkinListCtrl *m_volumes;
    QComboBox *m_letters;
    const bool &m_ready;
};
