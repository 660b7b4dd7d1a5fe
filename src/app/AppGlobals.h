#pragma once

// State that the window's flows share across dialogs, kept under the names the other flows know.

// Mode of the Login dialog, set by its caller before it opens.
inline constexpr int kLoginModeShare = 0;
inline constexpr int kLoginModeAdmin = 1;
extern int g_nLoginMode;

// The dotted IP text of the selected device, for the flows that build network paths.
inline constexpr int kDeviceIpSize = 64;
extern char szDeviceIP[kDeviceIpSize];
