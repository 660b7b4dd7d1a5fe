#pragma once

// The reconnect of remembered letters, for a run in a terminal and for the login's autostart entry alike.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/NetworkDrives.h"

namespace izuzez::services
{

// The reconnect at login ends within this, however many of the devices are absent.
inline constexpr auto kUnattendedReconnectLimit = std::chrono::seconds(15);

enum class ReconnectStatus
{
    Back,
    WaitsForPassword, // unattended, made with a user name: left for a run where someone is asked
    Failed,
};

struct ReconnectOutcome
{
    platform::RememberedDrive drive;
    ReconnectStatus status = ReconnectStatus::Back;
    int error = 0; // Failed: the platform's code
};

struct ReconnectHooks
{
    // The password of a letter made with a user name; nothing stands for an empty one. Not asked unattended.
    std::function<std::optional<std::string>(const platform::RememberedDrive &drive)> askPassword;
    // Each letter's outcome as soon as it is known, so that a terminal shows it before the next question.
    std::function<void(const ReconnectOutcome &outcome)> reported;
};

// The remembered letters whose share went with the last session, mapped again, in the order the drives list
// them. Unattended, nobody is asked and the whole of it ends within kUnattendedReconnectLimit.
std::vector<ReconnectOutcome> ReconnectRemembered(platform::NetworkDrives &drives, bool unattended,
                                                  const ReconnectHooks &hooks);

// True when no letter of the outcomes is left disconnected.
bool AllBack(const std::vector<ReconnectOutcome> &outcomes);

} // namespace izuzez::services
