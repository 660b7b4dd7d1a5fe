#pragma once

namespace izuzez::platform
{

// Result codes of the network provider calls, with the original platform's numbers, so that flows and
// scripts that look at them keep their meaning.
enum WinError : int
{
    NO_ERROR = 0,
    ERROR_ACCESS_DENIED = 5,
    ERROR_NOT_SUPPORTED = 50,
    ERROR_BAD_NETPATH = 53,
    ERROR_BAD_NET_NAME = 67,
    ERROR_ALREADY_ASSIGNED = 85,
    ERROR_INVALID_PASSWORD = 86,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_BAD_DEVICE = 1200,
    ERROR_CONNECTION_UNAVAIL = 1201,
    ERROR_EXTENDED_ERROR = 1208,
    ERROR_NO_NETWORK = 1222,
    ERROR_CANCELLED = 1223,
    ERROR_LOGON_FAILURE = 1326,
    ERROR_NOT_CONNECTED = 2250,
    ERROR_OPEN_FILES = 2401,
};

// Flags of WNetAddConnection2A / WNetCancelConnection2A.
inline constexpr unsigned CONNECT_UPDATE_PROFILE = 0x1;
inline constexpr unsigned CONNECT_INTERACTIVE = 0x8;

} // namespace izuzez::platform
