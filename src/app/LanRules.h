#pragma once

#include "services/LanSettingsRules.h"

#include <optional>
#include <string>

// The one place where the window meets the shared LAN-settings rules.
struct LanCheckResult
{
    bool ok = false;
    izuzez::services::LanMessage message;
    izuzez::services::AddressField focusField = izuzez::services::AddressField::None;
    int focusOctet = -1;
    bool pointsAtOctet = false; // an octet rule failed: the window puts the focus on that octet
    // Each text is there as soon as its stage has passed, also when a later stage fails.
    std::optional<std::string> newIp;
    std::optional<std::string> newNetmask;
    std::string newGateway; // only meaningful when ok
};

LanCheckResult CheckLanInput(const izuzez::services::StaticAddressInput &input);
