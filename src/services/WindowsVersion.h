#pragma once

#include "platform/SystemInfo.h"

#include <string>

namespace izuzez::services
{

inline constexpr char kUnknownWindowsVersion[] = "unknown Windows version";

// The name of a version as the table of known releases has it, or kUnknownWindowsVersion.
std::string WindowsVersionName(const platform::OsVersionInfo &info);

// The running version's name; false (and kUnknownWindowsVersion) when the version cannot be read,
// which is always the case on Linux.
bool GetWindowsVersionName(std::string &name);

} // namespace izuzez::services
