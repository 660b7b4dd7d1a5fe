#include "app/LanRules.h"

using namespace izuzez::services;

LanCheckResult CheckLanInput(const StaticAddressInput &input)
{
    const StaticAddressPlan plan = CheckStaticAddress(input);
    LanCheckResult result;
    result.ok = plan.ok;
    result.message = plan.message;
    result.focusField = plan.focusField;
    result.focusOctet = plan.focusOctet;
    // The octet rules are the only messages with the information icon under the "Error" caption.
    result.pointsAtOctet =
        !plan.ok && plan.message.caption == lanmsg::kCaptionError && plan.message.icon == MessageIcon::Information;
    if (plan.ok)
    {
        result.newIp = plan.newIp;
        result.newNetmask = plan.newNetmask;
        result.newGateway = plan.newGateway;
        return result;
    }
    // The rules report only the end result; the stages before the failing one are worked out here.
    const bool ipPassed =
        !input.ipBlank && !input.netmaskBlank && input.ip[0] != 127 && ValidateOctets(OctetKind::Ip, input.ip).ok;
    if (ipPassed)
        result.newIp = DottedText(input.ip);
    if (ipPassed && ValidateOctets(OctetKind::Netmask, input.netmask).ok)
        result.newNetmask = DottedText(input.netmask);
    return result;
}
