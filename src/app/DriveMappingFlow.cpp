#include "app/DriveMappingFlow.h"

#include "app/AppGlobals.h"
#include "app/CDriveLetterUsedDlg.h"
#include "app/CLoginDlg.h"
#include "app/DriveTable.h"
#include "app/ExchangeWait.h"
#include "app/MessageBox.h"
#include "app/SelectedRow.h"
#include "platform/FileManager.h"
#include "platform/NetworkDrives.h"
#include "platform/RemoteName.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "services/FilePlaces.h"
#include "services/MappingCredentials.h"
#include "services/WindowsVersion.h"
#include "skin/CSkinListCtrl.h"

#include <QComboBox>

using namespace izuzez::platform;

namespace
{

constexpr char kSelectVolume[] = "Please select a device in the above section.";
constexpr char kMapFailed[] = "Failed to map drive.";
constexpr char kMapped[] = "Successfully mapped drive.";
constexpr char kUnmapFailed[] =
    "Unable to disconnect this drive.\nPlease select a drive to disconnect and verify that the drive is not being "
    "accessed.";
constexpr char kUnmapped[] = "Successfully unmapped drive.";

int Disconnect(const std::string &localName)
{
    return RunExchange(
        [&]
        {
            return izuzez::services::CancelConnectionAndPlace(CurrentNetworkDrives(), localName, CONNECT_UPDATE_PROFILE,
                                                              true);
        });
}

// The mapping's steps over the window: the Login dialog in share mode on the window's thread (the
// connection may ask from its worker), and each attempt beside the window, which keeps repainting with the
// wait cursor while a mount takes its bound.
izuzez::services::MappingSteps WindowSteps(QWidget *owner, const std::string &localName, const std::string &remoteName)
{
    izuzez::services::MappingSteps steps;
    izuzez::services::GetWindowsVersionName(steps.version);
    steps.domain = []
    {
        CopyText(g_ProtocolState.domainText, "");
        RunWithoutInput([] { QueryDomain(); });
        return std::string(FieldText(g_ProtocolState.domainText));
    };
    steps.localUser = []
    {
        std::string user;
        CurrentNetworkDrives().GetUser(user);
        return user;
    };
    steps.prompt = [owner]
    {
        std::optional<Credentials> typed;
        RunOnWindowThread(
            [owner, &typed]
            {
                g_nLoginMode = kLoginModeShare;
                CLoginDlg login(owner);
                login.DoModal();
                if (login.Confirmed())
                    typed = Credentials{std::string(FieldText(g_ProtocolState.userName)),
                                        std::string(FieldText(g_ProtocolState.password))};
            });
        return typed;
    };
    steps.connect = [localName, remoteName](const char *password, const char *user, unsigned flags)
    {
        return RunExchange(
                   [&] {
                       return CurrentNetworkDrives().AddConnection(localName, remoteName, password, user, flags);
                   }) == NO_ERROR;
    };
    return steps;
}

} // namespace

DriveMappingFlow::DriveMappingFlow(QWidget *owner, CSkinListCtrl *devices, CSkinListCtrl *volumes, QComboBox *letters,
                                   const bool &ready)
    : m_owner(owner), m_devices(devices), m_volumes(volumes), m_letters(letters), m_ready(ready)
{
}

void DriveMappingFlow::RefreshLetters()
{
    RefreshDriveTable();
    FillDriveLetterCombo(m_letters);
}

void DriveMappingFlow::OnMount()
{
    if (!m_ready)
        return;
    const int deviceRow = FirstSelectedRow(m_devices);
    if (deviceRow >= 0)
        CopyText(szDeviceIP, m_devices->GetItemText(deviceRow, 1).toStdString());
    const int volumeRow = FirstSelectedRow(m_volumes);
    // A volume row left selected without its device row has no address of its own: the last device's
    // address would map a share of another device, so it is refused as no selection.
    if (volumeRow < 0 || deviceRow < 0)
    {
        ShowMessage(m_owner, kSelectVolume, kCaptionWarning, MessageIcon::Exclamation);
        return;
    }
    const std::string volume = m_volumes->GetItemText(volumeRow, 0).toStdString();
    if (m_letters == nullptr || m_letters->currentIndex() < 0)
        return;
    const QString item = m_letters->currentText();
    const std::string localName = item.left(2).toStdString();
    CopyText(g_ProtocolState.userName, "");
    CopyText(g_ProtocolState.password, "");
    g_nLoginMode = kLoginModeShare;
    if (!item.mid(4).isEmpty())
    {
        CDriveLetterUsedDlg used(m_owner);
        used.DoModal();
        if (g_nDriveReuseAnswer == 0)
            return;
    }
    const std::string remoteName = izuzez::platform::JoinRemoteName(FieldText(szDeviceIP), volume);
    // Drops whatever the letter held, also when it looked free.
    Disconnect(localName);
    if (!izuzez::services::ConnectWithCredentials(WindowSteps(m_owner, localName, remoteName)))
    {
        ShowMessage(m_owner, kMapFailed, kCaptionError, MessageIcon::Stop);
        return;
    }
    izuzez::services::PlaceMappedLetter(localName, remoteName, m_devices->GetItemText(deviceRow, 0).toStdString());
    ShowMessage(m_owner, kMapped, kCaptionConfirm, MessageIcon::Information);
    RefreshLetters();
    FillVolumeList(m_devices, m_volumes, deviceRow, false);
}

void DriveMappingFlow::OnUnmount()
{
    if (!m_ready)
        return;
    QString text;
    if (const int volumeRow = FirstSelectedRow(m_volumes); volumeRow >= 0)
        text = m_volumes->GetItemText(volumeRow, 1);
    else if (m_letters != nullptr && m_letters->currentIndex() >= 0)
        text = m_letters->currentText();
    else
        return;
    const std::string localName = text.left(2).toStdString();
    if (Disconnect(localName) != NO_ERROR)
    {
        ShowMessage(m_owner, kUnmapFailed, kCaptionError, MessageIcon::Stop);
        return;
    }
    ShowMessage(m_owner, kUnmapped, kCaptionConfirm, MessageIcon::Information);
    RefreshLetters();
    FillVolumeList(m_devices, m_volumes, m_devices->GetTopIndex(), true);
}

void DriveMappingFlow::OnOpenVolume(int row)
{
    if (!m_ready || row < 0)
        return;
    const std::string localName = m_volumes->GetItemText(row, 1).toStdString();
    if (localName.empty())
        return;
    const std::string folder = CurrentNetworkDrives().LocalPath(localName);
    if (!folder.empty())
        OpenInFileManager(folder);
}
