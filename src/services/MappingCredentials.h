#pragma once

// The order in which a mapping tries credentials, shared so that it can be tested without a window.

#include "platform/NetworkDrives.h"

#include <functional>
#include <optional>
#include <string>

namespace izuzez::services
{

struct MappingSteps
{
    std::string version; // the Windows version name; "NT" and "Vista" change the order
    // The device's domain, asked only when the version needs it; empty when it has none.
    std::function<std::string()> domain;
    std::function<std::string()> localUser;
    // The share login; nullopt when it was cancelled. Also asked from the connection's own thread.
    std::function<std::optional<platform::Credentials>()> prompt;
    // One connection attempt (password may be null: the current logon's); true when connected.
    std::function<bool(const char *password, const char *user, unsigned flags)> connect;
};

// NT: the login, then up to six attempts with what was typed. Otherwise the domain account (domain\local
// user, no password) or an anonymous attempt; when that fails, Vista lets the connection ask through the
// prompt, older versions ask first and try once with domain\typed user.
bool ConnectWithCredentials(const MappingSteps &steps);

} // namespace izuzez::services
