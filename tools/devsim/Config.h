#pragma once

#include "Device.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace izuzez::devsim
{

struct ConfigResult
{
    std::optional<std::vector<DeviceConfig>> devices;
    std::string error; // "devices[1].address: ..." when devices is empty
};

// How deep objects and lists may nest in a configuration.
inline constexpr int kConfigDepthLimit = 32;

ConfigResult ParseConfig(std::string_view jsonText);
ConfigResult LoadConfigFile(const std::string &path);

// Three devices on loopback: a storage box, a video recorder and one that serves its page over https.
const std::string &DefaultConfigText();

} // namespace izuzez::devsim
