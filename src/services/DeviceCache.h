#pragma once

// The devices that searches saw, kept between runs so that a sleeping one can be woken by its name or
// address: one JSON file, merged by MAC address.

#include <cstdint>
#include <string>
#include <vector>

namespace izuzez::services
{

struct CachedDevice
{
    std::string name;
    std::string mac; // lowercase aa:bb:cc:dd:ee:ff
    std::string ip;
    std::string interfaceAddress; // the local address it answered on
    std::int64_t seen = 0;        // seconds since the epoch

    bool operator==(const CachedDevice &) const = default;
};

// $XDG_CACHE_HOME/izuzez/devices.json, or ~/.cache/izuzez/devices.json; empty when neither is set.
std::string DeviceCachePath();

struct DeviceCacheReading
{
    std::vector<CachedDevice> devices;
    std::string warning; // set when a file was there but could not be read; its contents are then ignored
};
DeviceCacheReading ReadDeviceCache(const std::string &path);

// `seen` replaces the entries of the same MAC and the rest is kept; entries without a readable MAC are
// left out. At most kDeviceCacheLimit entries, the latest seen.
inline constexpr std::size_t kDeviceCacheLimit = 4096;
std::vector<CachedDevice> MergeDevices(std::vector<CachedDevice> known, const std::vector<CachedDevice> &seen);

// Writes through a temporary file and a rename, so that a reader never sees half a file. Empty on success,
// otherwise the reason.
std::string WriteDeviceCache(const std::string &path, const std::vector<CachedDevice> &devices);

// Reads, merges and writes back. A corrupt file is replaced; its warning is returned with any write error.
std::string RememberDevices(const std::string &path, const std::vector<CachedDevice> &seen);

} // namespace izuzez::services
