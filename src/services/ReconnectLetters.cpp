#include "services/ReconnectLetters.h"

#include "services/FilePlaces.h"

#include <algorithm>

namespace izuzez::services
{

using namespace platform;

namespace
{

// The last part of the bound is for unmounting the shares that came up after their wait ended.
constexpr auto kLateWorkShare = std::chrono::seconds(3);

ReconnectOutcome ReconnectOne(NetworkDrives &drives, const RememberedDrive &remembered, bool unattended,
                              const ReconnectHooks &hooks)
{
    if (unattended && !remembered.userName.empty())
        return {remembered, ReconnectStatus::WaitsForPassword, 0};
    std::string password;
    if (!remembered.userName.empty() && hooks.askPassword)
        password = hooks.askPassword(remembered).value_or("");
    // The stale link goes first; the note stays, as the profile flag is not given.
    drives.CancelConnection(remembered.localName, 0, true);
    const int result = drives.AddConnection(remembered.localName, remembered.remoteName, password.c_str(),
                                            remembered.userName.c_str(), CONNECT_UPDATE_PROFILE);
    if (result != NO_ERROR)
        return {remembered, ReconnectStatus::Failed, result};
    // Its place comes back with it, should it be missing.
    PlaceMappedLetter(remembered.localName, remembered.remoteName, {});
    return {remembered, ReconnectStatus::Back, 0};
}

} // namespace

std::vector<ReconnectOutcome> ReconnectRemembered(NetworkDrives &drives, bool unattended, const ReconnectHooks &hooks)
{
    const std::vector<RememberedDrive> waiting = drives.DisconnectedRemembered();
    std::vector<ReconnectOutcome> outcomes;
    if (waiting.empty())
        return outcomes;
    const auto end = std::chrono::steady_clock::now() + kUnattendedReconnectLimit;
    if (unattended)
        SetConnectDeadline(end - kLateWorkShare);
    for (const RememberedDrive &remembered : waiting)
    {
        outcomes.push_back(ReconnectOne(drives, remembered, unattended, hooks));
        if (hooks.reported)
            hooks.reported(outcomes.back());
    }
    if (unattended)
        drives.FinishLateWork(end);
    SetConnectDeadline(std::nullopt);
    return outcomes;
}

bool AllBack(const std::vector<ReconnectOutcome> &outcomes)
{
    return std::all_of(outcomes.begin(), outcomes.end(),
                       [](const ReconnectOutcome &o) { return o.status == ReconnectStatus::Back; });
}

} // namespace izuzez::services
