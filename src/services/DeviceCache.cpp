#include "services/DeviceCache.h"

#include "services/WakeOnLan.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include <nlohmann/json.hpp>

namespace izuzez::services
{
namespace
{

// A cache of kDeviceCacheLimit entries is far below this; anything larger is not ours.
constexpr std::uintmax_t kFileLimit = 4 * 1024 * 1024;

std::string Text(const nlohmann::json &object, const char *key)
{
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

} // namespace

std::string DeviceCachePath()
{
    const char *cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/')
        return std::string(cache) + "/izuzez/devices.json";
    const char *home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.cache/izuzez/devices.json";
    return {};
}

DeviceCacheReading ReadDeviceCache(const std::string &path)
{
    DeviceCacheReading reading;
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(path, ec))
        return reading;
    const std::string corrupt = "ignoring the device cache " + path + ": it is not a list of devices";
    if (std::filesystem::file_size(path, ec) > kFileLimit || ec)
    {
        reading.warning = corrupt;
        return reading;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const nlohmann::json root = nlohmann::json::parse(text.str(), nullptr, false);
    if (!root.is_object() || !root.contains("devices") || !root["devices"].is_array())
    {
        reading.warning = corrupt;
        return reading;
    }
    for (const nlohmann::json &entry : root["devices"])
    {
        if (!entry.is_object())
            continue;
        CachedDevice d{Text(entry, "name"), Text(entry, "mac"), Text(entry, "ip"), Text(entry, "interface"), 0};
        if (const auto seen = entry.find("seen"); seen != entry.end() && seen->is_number_integer())
            d.seen = seen->get<std::int64_t>();
        if (ParseMac(d.mac))
            reading.devices.push_back(std::move(d));
    }
    return reading;
}

std::vector<CachedDevice> MergeDevices(std::vector<CachedDevice> known, const std::vector<CachedDevice> &seen)
{
    for (CachedDevice device : seen)
    {
        const auto mac = ParseMac(device.mac);
        if (!mac)
            continue;
        device.mac = MacText(*mac);
        const auto same =
            std::find_if(known.begin(), known.end(), [&](const CachedDevice &k) { return ParseMac(k.mac) == mac; });
        if (same != known.end())
            *same = std::move(device);
        else
            known.push_back(std::move(device));
    }
    if (known.size() > kDeviceCacheLimit)
    {
        std::stable_sort(known.begin(), known.end(),
                         [](const CachedDevice &a, const CachedDevice &b) { return a.seen > b.seen; });
        known.resize(kDeviceCacheLimit);
    }
    return known;
}

std::string WriteDeviceCache(const std::string &path, const std::vector<CachedDevice> &devices)
{
    if (path.empty())
        return "no cache folder: neither XDG_CACHE_HOME nor HOME is set";
    nlohmann::json list = nlohmann::json::array();
    for (const CachedDevice &d : devices)
        list.push_back(
            {{"name", d.name}, {"mac", d.mac}, {"ip", d.ip}, {"interface", d.interfaceAddress}, {"seen", d.seen}});
    // Names are the device's bytes, UTF-8 or not.
    const std::string text =
        nlohmann::json{{"devices", list}}.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    const std::filesystem::path target(path);
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    // One temporary name a process, so that two searches at once never write into each other's file.
    const std::string temporary = path + ".tmp." + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out)
        {
            std::filesystem::remove(temporary, ec);
            return "cannot write " + temporary;
        }
    }
    std::filesystem::rename(temporary, target, ec);
    if (ec)
    {
        std::filesystem::remove(temporary, ec);
        return "cannot replace " + path;
    }
    return {};
}

std::string RememberDevices(const std::string &path, const std::vector<CachedDevice> &seen)
{
    DeviceCacheReading reading = ReadDeviceCache(path);
    const std::string problem = WriteDeviceCache(path, MergeDevices(std::move(reading.devices), seen));
    if (reading.warning.empty())
        return problem;
    return problem.empty() ? reading.warning : reading.warning + "; " + problem;
}

} // namespace izuzez::services
