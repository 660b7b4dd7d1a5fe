#pragma once

// A volume of the selected device mapped to a drive letter, as the command line does it: the letter asked for
// or the free one nearest Z:, never one that holds a mapping already, and the mapping kept for the next login.

#include "services/DeviceSession.h"

#include <functional>
#include <optional>
#include <string>

namespace izuzez::platform
{
class NetworkDrives;
}

namespace izuzez::services
{

struct VolumeMapping
{
    enum class Result
    {
        Mapped,
        NoVolumeList, // the device did not answer the volume query
        NoSuchVolume, // the device has no volume of that name (names are exact)
        NoFreeLetter, // none was asked for and every letter is taken
        LetterInUse,  // the letter holds `holder`, or a local drive when that is empty
        NotConnected, // the connection failed with `error`
    };
    Result result = Result::Mapped;
    std::string letter; // "Z:", once chosen
    std::string remote; // "\\server\share", once the letter is free
    std::string holder;
    int error = 0;
};

struct VolumeRequest
{
    std::string deviceIp;
    std::string deviceName; // the label of the file manager's place
    std::string volume;
    std::string letter; // "Z:"; empty: the free one nearest Z:
    std::string user;   // empty: as a guest, and nobody is asked
};

// The password of the request's user for the letter and share chosen; nothing stands for an empty one.
using VolumePasswordAsk =
    std::function<std::optional<std::string>(const std::string &letter, const std::string &remote)>;

// The volume list first, then the letter, then the password, the connection and the file manager's place.
VolumeMapping MapVolume(DeviceSession &session, platform::NetworkDrives &drives, const VolumeRequest &request,
                        const VolumePasswordAsk &askPassword);

} // namespace izuzez::services
