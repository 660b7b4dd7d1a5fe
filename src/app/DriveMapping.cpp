// The map and unmap buttons: a volume of the selected device to a drive letter and back.

#include "app/AppGlobals.h"
#include "app/CDriveLetterUsedDlg.h"
#include "app/CLoginDlg.h"
#include "app/CSearchUtilityDlg.h"
#include "app/DriveTable.h"
#include "app/ExchangeWait.h"
#include "app/MessageBox.h"
#include "app/WindowsVersion.h"
#include "platform/NetworkDrives.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
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
constexpr int kOldNtAttempts = 6;
constexpr std::size_t kUserBuffer = 260;

// A mount may take its whole bound (tens of seconds): it runs beside the window, which keeps repainting
// with the wait cursor.
bool Connect(const std::string &localName, const std::string &remoteName, const char *password, const char *user,
             unsigned flags)
{
    return RunExchange(
               [&] { return CurrentNetworkDrives().AddConnection(localName, remoteName, password, user, flags); }) ==
           NO_ERROR;
}

int Disconnect(const std::string &localName)
{
    return RunExchange([&]
                       { return CurrentNetworkDrives().CancelConnection(localName, CONNECT_UPDATE_PROFILE, true); });
}

// The Login dialog in share mode; true when it closed with OK.
bool AskShareLogin(QWidget *owner)
{
    g_nLoginMode = kLoginModeShare;
    CLoginDlg login(owner);
    login.DoModal();
    return login.Confirmed();
}

std::string WithDomain(const std::string &domain, const std::string &user)
{
    return domain.empty() ? user : domain + "\\" + user;
}

} // namespace

bool CSearchUtilityDlg::ConnectDrive(const std::string &localName, const std::string &remoteName,
                                     const std::string &version)
{
    ProtocolState &state = g_ProtocolState;
    if (version.find("NT") != std::string::npos)
    {
        AskShareLogin(this);
        for (int attempt = 0; attempt < kOldNtAttempts; ++attempt)
        {
            if (Connect(localName, remoteName, state.password, state.userName, CONNECT_UPDATE_PROFILE))
                return true;
        }
        return false;
    }

    CopyText(state.domainText, "");
    RunWithoutInput([] { QueryDomain(); });
    const std::string domain(FieldText(state.domainText));
    bool connected = false;
    if (!domain.empty())
    {
        std::string user;
        CurrentNetworkDrives().GetUser(user);
        if (user.size() >= kUserBuffer)
            user.resize(kUserBuffer - 1);
        connected = Connect(localName, remoteName, nullptr, WithDomain(domain, user).c_str(), CONNECT_UPDATE_PROFILE);
    }
    else
        connected = Connect(localName, remoteName, "", "", CONNECT_UPDATE_PROFILE);
    if (connected)
        return true;

    const bool vista = version.find("Vista") != std::string::npos;
    if (vista)
    {
        // The platform asks for credentials itself, from the mount's worker; the Login dialog is shown on the
        // window's thread.
        SetCredentialPrompt(
            [this](std::string_view) -> std::optional<Credentials>
            {
                std::optional<Credentials> typed;
                RunOnWindowThread(
                    [this, &typed]
                    {
                        if (AskShareLogin(this))
                            typed = Credentials{std::string(FieldText(g_ProtocolState.userName)),
                                                std::string(FieldText(g_ProtocolState.password))};
                    });
                return typed;
            });
        connected = Connect(localName, remoteName, "", "", CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE);
        SetCredentialPrompt(nullptr);
        return connected;
    }
    // How the dialog closed is not looked at: Cancel leaves both texts empty.
    AskShareLogin(this);
    const std::string user = WithDomain(domain, std::string(FieldText(state.userName)));
    return Connect(localName, remoteName, state.password, user.c_str(), CONNECT_UPDATE_PROFILE);
}

void CSearchUtilityDlg::OnMount()
{
    if (!m_bInitialised)
        return;
    const int deviceRow = FirstSelectedRow(m_lstDevices);
    if (deviceRow >= 0)
        CopyText(szDeviceIP, m_lstDevices->GetItemText(deviceRow, 1).toStdString());
    const int volumeRow = FirstSelectedRow(m_lstVolumes);
    // A volume row left selected without its device row has no address of its own: the last device's
    // address would map a share of another device, so it is refused as no selection.
    if (volumeRow < 0 || deviceRow < 0)
    {
        ShowMessage(this, kSelectVolume, kCaptionWarning, MessageIcon::Exclamation);
        return;
    }
    const std::string volume = m_lstVolumes->GetItemText(volumeRow, 0).toStdString();
    if (m_cboDriveLetters == nullptr || m_cboDriveLetters->currentIndex() < 0)
        return;
    const QString item = m_cboDriveLetters->currentText();
    const std::string localName = item.left(2).toStdString();
    const QString inUse = item.mid(4);

    ProtocolState &state = g_ProtocolState;
    CopyText(state.userName, "");
    CopyText(state.password, "");
    g_nLoginMode = kLoginModeShare;
    std::string version;
    GetWindowsVersionName(version);

    if (!inUse.isEmpty())
    {
        CDriveLetterUsedDlg used(this);
        used.DoModal();
        if (g_nDriveReuseAnswer == 0)
            return;
    }
    const std::string remoteName = "\\\\" + std::string(FieldText(szDeviceIP)) + "\\" + volume;
    // Drops whatever the letter held, also when it looked free.
    Disconnect(localName);
    if (!ConnectDrive(localName, remoteName, version))
    {
        ShowMessage(this, kMapFailed, kCaptionError, MessageIcon::Stop);
        return;
    }
    ShowMessage(this, kMapped, kCaptionConfirm, MessageIcon::Information);
    RefreshDriveTable();
    FillDriveLetterCombo(m_cboDriveLetters);
    FillVolumeList(m_lstDevices, m_lstVolumes, deviceRow, false);
}

void CSearchUtilityDlg::OnUnmount()
{
    if (!m_bInitialised)
        return;
    QString text;
    if (const int volumeRow = FirstSelectedRow(m_lstVolumes); volumeRow >= 0)
        text = m_lstVolumes->GetItemText(volumeRow, 1);
    else if (m_cboDriveLetters != nullptr && m_cboDriveLetters->currentIndex() >= 0)
        text = m_cboDriveLetters->currentText();
    else
        return;
    const std::string localName = text.left(2).toStdString();
    if (Disconnect(localName) != NO_ERROR)
    {
        ShowMessage(this, kUnmapFailed, kCaptionError, MessageIcon::Stop);
        return;
    }
    ShowMessage(this, kUnmapped, kCaptionConfirm, MessageIcon::Information);
    RefreshDriveTable();
    FillDriveLetterCombo(m_cboDriveLetters);
    FillVolumeList(m_lstDevices, m_lstVolumes, m_lstDevices->GetTopIndex(), true);
}
