#pragma once

#include <cstdint>

#include "protocol/Packets.h"
#include "protocol/ProtocolState.h"

// The device list of g_ProtocolState.

// A zero-filled record, or null when memory is exhausted.
DeviceRecord *NewDeviceRecord();

bool IsDeviceListEmpty();

// True when a record's server_ip equals ipText exactly.
bool FindDeviceByIp(const char *ipText);

// The first record whose server_ip equals ipText, or null.
DeviceRecord *FindDeviceRecord(const char *ipText);

// The record of g_ProtocolState.selectedIp, or null.
DeviceRecord *FindSelectedDevice();

// Append a record at the tail; texts are cut to their fields. Return it, or null when memory is exhausted.
// They do not check for duplicates: the search does that first.
DeviceRecord *AppendDevice(const char *name, const char *ip, const char *mask, const char *gateway,
                           const std::uint8_t *uuid, char dhcp, int interfaceIndex);
// From a full search reply: also takes model, MAC and version texts.
DeviceRecord *AppendFullDevice(const SearchReply &reply, const char *name, const char *ip, char dhcp,
                               int interfaceIndex);

// Frees every record and leaves the list empty.
void FreeDeviceList();
