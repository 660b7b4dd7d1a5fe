#pragma once

#include <atomic>

// The flags the installation flows hand between their dialogs, under the names the flows know.

inline constexpr int kInstallCodepage = 0;
inline constexpr int kInstallBitTorrent = 1;

extern int g_nCodepageIndex;              // 0..8, the chosen language
extern int g_bExtraCodepages;             // 1: the firmware carries 865, 852 and 857
extern int g_bInstallFailed;              // 1: the code-page engine failed
extern std::atomic<int> g_nRestartStatus; // 0 after a finished restart wait, -1 when nothing was installed
extern int g_nInstallKind;                // kInstallCodepage or kInstallBitTorrent
extern int g_bBtInstalled;                // 1 after both helpers are on the device
