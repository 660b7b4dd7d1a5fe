#include "protocol/ProtocolState.h"

#include "protocol/DeviceList.h"
#include "protocol/Endpoints.h"
#include "protocol/ShareList.h"

ProtocolState g_ProtocolState;

void ResetProtocolState()
{
    CloseEndpoints();
    FreeDeviceList();
    FreeShareNameList();
    g_ProtocolState = ProtocolState{};
}
