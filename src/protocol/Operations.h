#pragma once

// Request/reply exchanges with the selected device (g_ProtocolState.selectedIp), over the interface it was
// found on. Inputs and results are text fields of g_ProtocolState; results are cut to their fields and keep
// their old contents on failure. Each returns 1 on success and 0 on failure (also before OpenEndpoints or
// when the selected device is not listed); CheckAdminPassword returns the device's verdict byte.
//
// Failed receives and datagrams of other opcodes do not use up the failed-poll budget, but every exchange
// also ends at a hard deadline of three times its nominal duration.

int CheckAdminPassword();
int QueryShareList();
int QueryWorkgroup();
int QueryCodepage();
int QueryIdeok();
int QueryShareName();
int QueryBtFirmware();
int QueryDomain();
int QuerySsl();
int SetStaticAddress();
int SetDhcp();
int SendSetting5();
int SetWorkgroup();
int SetCodepage();
int SetAccessMode();
int SendStopCommand();
int NotifyInstalled();
