// The LAN settings of the main window: static address or DHCP for the clicked device.

#include "app/AppGlobals.h"
#include "app/CLoginDlg.h"
#include "app/CSearchUtilityDlg.h"
#include "app/ExchangeWait.h"
#include "app/LanRules.h"
#include "app/MessageBox.h"
#include "protocol/FixedText.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "skin/CIpAddressCtrl.h"
#include "skin/CSkinListCtrl.h"

#include <QComboBox>

using namespace izuzez::services;

namespace
{

void ReadField(const CIpAddressCtrl *field, Octets &octets, bool &blank)
{
    std::uint32_t address = 0;
    field->GetAddress(address);
    for (int i = 0; i < 4; ++i)
        octets[static_cast<std::size_t>(i)] = static_cast<int>((address >> (24 - 8 * i)) & 0xFFu);
    blank = field->IsBlank();
}

} // namespace

StaticAddressInput CSearchUtilityDlg::ReadAddressInput() const
{
    StaticAddressInput input;
    ReadField(m_ipAddress, input.ip, input.ipBlank);
    ReadField(m_ipNetmask, input.netmask, input.netmaskBlank);
    ReadField(m_ipGateway, input.gateway, input.gatewayBlank);
    return input;
}

void CSearchUtilityDlg::OnApplyLanSettings()
{
    g_nLoginMode = kLoginModeAdmin;
    if (!m_bInitialised)
        return;
    if (m_bDeviceSelected == 0)
    {
        ShowMessage(this, lanmsg::kSelectDevice);
        return;
    }
    if (m_cboDhcp->currentIndex() < 0)
        return;
    if (IsDhcpChoice(m_cboDhcp->currentText().toStdString()))
        ApplyDhcp();
    else
        ApplyStaticAddress();
}

void CSearchUtilityDlg::ApplyDhcp()
{
    if (!ProveAdminPassword())
        return;
    if (RunExchange(SetDhcp) == 0)
    {
        ShowMessage(this, lanmsg::kDhcpFailed);
        return;
    }
    ShowMessage(this, lanmsg::kDhcpEnabled);
    ClearAddressFields();
    SetAddressFieldsEnabled(true);
    m_bDeviceSelected = 0;
    SearchAgain();
}

void CSearchUtilityDlg::ApplyStaticAddress()
{
    const LanCheckResult check = CheckLanInput(ReadAddressInput());
    if (check.newIp)
        CopyText(g_ProtocolState.newIp, *check.newIp);
    if (check.newNetmask)
        CopyText(g_ProtocolState.newNetmask, *check.newNetmask);
    if (!check.ok)
    {
        ShowMessage(this, check.message);
        if (check.pointsAtOctet)
        {
            CIpAddressCtrl *field = check.focusField == AddressField::Ip        ? m_ipAddress
                                    : check.focusField == AddressField::Netmask ? m_ipNetmask
                                    : check.focusField == AddressField::Gateway ? m_ipGateway
                                                                                : nullptr;
            if (field && check.focusOctet >= 0 && check.focusOctet < 4)
                field->SetFieldFocus(check.focusOctet);
        }
        return;
    }
    CopyText(g_ProtocolState.newGateway, check.newGateway);
    if (!ProveAdminPassword())
        return;
    // Not reported either way: the search that follows shows where the device is.
    RunExchange(SetStaticAddress);
    ClearAddressFields();
    SearchAgain();
}

bool CSearchUtilityDlg::ProveAdminPassword()
{
    CopyText(g_ProtocolState.userName, kAdminUserName);
    CopyText(g_ProtocolState.password, "");
    if (RunExchange(CheckAdminPassword) != 0)
        return true;
    {
        CLoginDlg login;
        login.DoModal();
    }
    if (RunExchange(CheckAdminPassword) != 0)
        return true;
    ShowMessage(this, lanmsg::kWrongPassword);
    return false;
}

void CSearchUtilityDlg::SearchAgain()
{
    m_lstDevices->DeleteAllItems();
    m_lstVolumes->DeleteAllItems();
    SearchAndList();
}
