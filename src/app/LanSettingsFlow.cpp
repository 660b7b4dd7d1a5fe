#include "app/LanSettingsFlow.h"

#include "app/AdminPassword.h"
#include "app/AppGlobals.h"
#include "app/ExchangeWait.h"
#include "app/MessageBox.h"
#include "protocol/FixedText.h"
#include "protocol/Ipv4Text.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "skin/CIpAddressCtrl.h"

#include <QComboBox>

using namespace izuzez::services;

namespace
{

// The dotted text as the 32-bit address it denotes, as the address fields take it.
std::uint32_t AddressOf(const QString &dotted)
{
    std::uint32_t address = 0xFFFFFFFFu;
    ParseIpv4(dotted.toStdString(), address);
    return address;
}

void ReadField(const CIpAddressCtrl *field, Octets &octets, bool &blank)
{
    std::uint32_t address = 0;
    field->GetAddress(address);
    for (int i = 0; i < 4; ++i)
        octets[static_cast<std::size_t>(i)] = static_cast<int>((address >> (24 - 8 * i)) & 0xFFu);
    blank = field->IsBlank();
}

} // namespace

LanSettingsFlow::LanSettingsFlow(QWidget *owner, const Controls &controls, const bool &ready, int &deviceSelected,
                                 std::function<void()> searchAgain)
    : m_owner(owner), m_controls(controls), m_ready(ready), m_deviceSelected(deviceSelected),
      m_searchAgain(std::move(searchAgain))
{
}

bool LanSettingsFlow::IsBound() const
{
    return m_controls.dhcp && m_controls.ip && m_controls.netmask && m_controls.gateway;
}

void LanSettingsFlow::OnApplyLanSettings()
{
    g_nLoginMode = kLoginModeAdmin;
    if (!m_ready)
        return;
    if (m_deviceSelected == 0)
    {
        ShowMessage(m_owner, lanmsg::kSelectDevice);
        return;
    }
    if (m_controls.dhcp->currentIndex() < 0)
        return;
    if (IsDhcpChoice(m_controls.dhcp->currentText().toStdString()))
        ApplyDhcp();
    else
        ApplyStaticAddress();
}

void LanSettingsFlow::ApplyDhcp()
{
    if (!ProveAdminPassword(nullptr))
    {
        ShowMessage(m_owner, lanmsg::kWrongPassword);
        return;
    }
    if (RunExchange(SetDhcp) == 0)
    {
        ShowMessage(m_owner, lanmsg::kDhcpFailed);
        return;
    }
    ShowMessage(m_owner, lanmsg::kDhcpEnabled);
    ClearAddressFields();
    SetAddressFieldsEnabled(true);
    m_deviceSelected = 0;
    m_searchAgain();
}

void LanSettingsFlow::ApplyStaticAddress()
{
    StaticAddressInput input;
    ReadField(m_controls.ip, input.ip, input.ipBlank);
    ReadField(m_controls.netmask, input.netmask, input.netmaskBlank);
    ReadField(m_controls.gateway, input.gateway, input.gatewayBlank);
    const StaticAddressPlan plan = CheckStaticAddress(input);
    // Each text is stored as its stage passes, so a later refusal keeps the earlier ones.
    if (plan.newIp)
        CopyText(g_ProtocolState.newIp, *plan.newIp);
    if (plan.newNetmask)
        CopyText(g_ProtocolState.newNetmask, *plan.newNetmask);
    if (!plan.ok)
    {
        ShowMessage(m_owner, plan.message);
        if (PointsAtOctet(plan))
        {
            CIpAddressCtrl *field = plan.focusField == AddressField::Ip        ? m_controls.ip
                                    : plan.focusField == AddressField::Netmask ? m_controls.netmask
                                                                               : m_controls.gateway;
            field->SetFieldFocus(plan.focusOctet);
        }
        return;
    }
    CopyText(g_ProtocolState.newGateway, plan.newGateway.value_or(std::string()));
    if (!ProveAdminPassword(nullptr))
    {
        ShowMessage(m_owner, lanmsg::kWrongPassword);
        return;
    }
    // Not reported either way: the search that follows shows where the device is.
    RunExchange(SetStaticAddress);
    ClearAddressFields();
    m_searchAgain();
}

void LanSettingsFlow::OnSelchangeDhcp()
{
    if (m_controls.dhcp->currentIndex() < 0)
        return;
    SetAddressFieldsEnabled(m_controls.dhcp->currentText() != QStringLiteral("Enable"));
}

void LanSettingsFlow::ShowAddresses(const QString &ip, const QString &netmask, const QString &gateway)
{
    m_controls.ip->SetAddress(AddressOf(ip));
    m_controls.netmask->SetAddress(AddressOf(netmask));
    if (gateway.isEmpty() || AddressOf(gateway) == 0)
        m_controls.gateway->ClearAddress();
    else
        m_controls.gateway->SetAddress(AddressOf(gateway));
}

void LanSettingsFlow::ShowDhcp(bool dhcp)
{
    m_controls.dhcp->setCurrentIndex(dhcp ? 1 : 0);
    SetAddressFieldsEnabled(!dhcp);
}

void LanSettingsFlow::SetAddressFieldsEnabled(bool enabled)
{
    for (CIpAddressCtrl *field : {m_controls.ip, m_controls.gateway, m_controls.netmask})
        field->setEnabled(enabled);
}

void LanSettingsFlow::ClearAddressFields()
{
    for (CIpAddressCtrl *field : {m_controls.ip, m_controls.netmask, m_controls.gateway})
        field->ClearAddress();
}
