#include "protocol/protocol_state.h"

#include "protocol/device_list.h"
#include "protocol/endpoints.h"
#include "protocol/share_list.h"

ProtocolState g_ProtocolState;

void ResetProtocolState()
{
    CloseEndpoints();
    FreeDeviceList();
    FreeShareNameList();
    g_ProtocolState = ProtocolState{};
}
