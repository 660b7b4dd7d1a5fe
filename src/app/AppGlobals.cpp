#include "app/AppGlobals.h"

int g_nLoginMode = kLoginModeShare;
char szDeviceIP[kDeviceIpSize] = {};
