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
    // The rules fill each text as soon as its stage passes, so a later refusal keeps the earlier ones.
    result.newIp = plan.newIp;
    result.newNetmask = plan.newNetmask;
    if (plan.ok)
        result.newGateway = plan.newGateway.value_or(std::string());
    return result;
}
