#include "app/InstallState.h"

int g_nCodepageIndex = 0;
int g_bExtraCodepages = 0;
int g_bInstallFailed = 0;
std::atomic<int> g_nRestartStatus{0};
int g_nInstallKind = kInstallCodepage;
int g_bBtInstalled = 0;
