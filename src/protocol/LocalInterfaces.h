#pragma once

#include <string>
#include <vector>

#include "protocol/ProtocolState.h"

// The local address table comes from getifaddrs: IPv4 addresses of interfaces that are up, loopback included,
// at most kInterfaceLimit. Order: non-loopback addresses first, then loopback ones, each group in the order
// getifaddrs lists them.

// Limits the table to the given dotted addresses (the command line's --interface). Call before OpenEndpoints;
// an empty list means every address. Addresses that are not local are left out; the table keeps getifaddrs
// order, not the order given here.
void SetInterfaceFilter(const std::vector<std::string> &addresses);
// The filter last set; empty when every address is used.
std::vector<std::string> InterfaceFilter();

struct LocalAddress
{
    std::string address; // dotted IPv4 text
    bool loopback = false;
    std::string name; // the interface's name
    int prefix = -1;  // the netmask's bits; -1 when the interface has none
};

// Every IPv4 address of an interface that is up, loopback included, in getifaddrs order: the one walk of the
// interface table that the rest of this file and the doctor use.
std::vector<LocalAddress> ListLocalAddresses();

// Orders, filters and caps a list of candidate addresses by the rules above. Pure; used by InitLocalInterfaces.
std::vector<std::string> SelectLocalAddresses(const std::vector<LocalAddress> &candidates,
                                              const std::vector<std::string> &filter);

// Fills interfaceAddress and interfaceCount of g_ProtocolState, then makes clientId. Called by OpenEndpoints.
void InitLocalInterfaces();

// Six bytes from the kernel's entropy source, then four zero bytes.
ClientId MakeClientId();

// Prefix length of the local interface address `address` (its netmask's bits), or -1 when no interface that is
// up has it.
int LocalPrefixLength(const std::string &address);
