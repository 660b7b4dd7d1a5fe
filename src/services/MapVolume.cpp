#include "services/MapVolume.h"

#include "platform/NetworkDrives.h"
#include "platform/RemoteName.h"
#include "services/DriveLetters.h"
#include "services/FilePlaces.h"

#include <algorithm>
#include <vector>

namespace izuzez::services
{

VolumeMapping MapVolume(DeviceSession &session, platform::NetworkDrives &drives, const VolumeRequest &request,
                        const VolumePasswordAsk &askPassword)
{
    using Result = VolumeMapping::Result;
    VolumeMapping mapping;
    std::vector<std::string> volumes;
    if (!session.Query(QueryKind::Shares, volumes))
        mapping.result = Result::NoVolumeList;
    else if (std::find(volumes.begin(), volumes.end(), request.volume) == volumes.end())
        mapping.result = Result::NoSuchVolume;
    if (mapping.result != Result::Mapped)
        return mapping;
    const MapLetter choice = ChooseMapLetter(drives, request.letter);
    mapping.letter = choice.letter;
    mapping.holder = choice.holder;
    // Scripts must not lose a mapping by accident; the window asks, here the person unmaps first.
    if (choice.refusal != MapLetter::Refusal::None)
    {
        mapping.result = choice.refusal == MapLetter::Refusal::NoneFree ? Result::NoFreeLetter : Result::LetterInUse;
        return mapping;
    }
    mapping.remote = platform::JoinRemoteName(request.deviceIp, request.volume);
    std::string password;
    if (!request.user.empty() && askPassword)
        password = askPassword(mapping.letter, mapping.remote).value_or("");
    mapping.error = drives.AddConnection(mapping.letter, mapping.remote, password.c_str(), request.user.c_str(),
                                         platform::CONNECT_UPDATE_PROFILE);
    if (mapping.error != platform::NO_ERROR)
    {
        mapping.result = Result::NotConnected;
        return mapping;
    }
    PlaceMappedLetter(mapping.letter, mapping.remote, request.deviceName);
    return mapping;
}

} // namespace izuzez::services
