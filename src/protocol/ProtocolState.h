#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include <netinet/in.h>

// The one process-wide state record of the protocol layer. Nothing here is locked: one thread at a time uses
// it. In the window that is the worker of an exchange while the window's thread waits for it (and the window's
// thread between exchanges); in the command line and the simulator it is the main thread.

inline constexpr int kProtocolPort = 13579;
inline constexpr char kMulticastGroup[] = "224.0.0.1";
inline constexpr int kInterfaceLimit = 8;
inline constexpr int kAddressSlot = 16;
inline constexpr int kPacketBufferSize = 4096;
inline constexpr int kClientIdSize = 10;
inline constexpr int kUuidSize = 10;
inline constexpr int kNameCapacity = 255;    // longest device or share name kept
inline constexpr int kCredentialLength = 16; // longest user name or password sent

// Marks every request of this instance: 6 random bytes, then 4 zero bytes. Only bytes 0..5 are compared.
using ClientId = std::array<std::uint8_t, kClientIdSize>;

// One discovered device. Texts are NUL-terminated and zero-padded within their fields.
struct DeviceRecord
{
    char server_name[256];
    char server_ip[16];
    char server_mask[16];
    char server_gateway[16];
    char dhcp[8];
    std::uint8_t server_uuid[kUuidSize]; // last four bytes: the IPv4 address, first octet first
    char server_MODEL[64];
    char server_mac[64];
    char server_HW_version[64];
    char server_SW_version[64];
    std::int32_t interfaceIndex;
    DeviceRecord *next;
};

// Singly linked, in order of arrival, unique by server_ip; owns its records.
struct DeviceList
{
    std::int32_t count = 0;
    DeviceRecord *head = nullptr;
    DeviceRecord *tail = nullptr;
};

struct ShareNameEntry
{
    char name[256]; // bytes as the device sent them (UTF-8 to readers), at most 255
    ShareNameEntry *next;
};

struct ShareNameList
{
    std::int32_t count = 0;
    ShareNameEntry *head = nullptr;
    ShareNameEntry *tail = nullptr;
};

// Replies for interface i arrive on two sockets, both at port 13579: `unicastFd` is bound to the interface's
// own address, `groupFd` to 224.0.0.1 with the group joined on that interface only (IP_MULTICAST_ALL off),
// so together they see exactly the datagrams that reach this interface. -1 when not open.
struct ReceiverSocket
{
    int unicastFd = -1;
    int groupFd = -1;
};

class DatagramSource;
// Makes the datagram source of interface i (see Exchange.h); null or empty: the interface's sockets.
using DatagramSourceFactory = std::function<std::unique_ptr<DatagramSource>(int interfaceIndex)>;

// Why the receiver sockets of an interface could not be set up: an errno value, 0 when the socket is open.
struct ReceiverFault
{
    int unicastError = 0;
    int groupError = 0;
};

struct ProtocolState
{
    // Network endpoints.
    std::int32_t interfaceCount = 0;
    char interfaceAddress[kInterfaceLimit][kAddressSlot] = {};
    int senderSocket[kInterfaceLimit] = {-1, -1, -1, -1, -1, -1, -1, -1};
    ReceiverSocket receiverSocket[kInterfaceLimit] = {};
    ReceiverFault receiverFault[kInterfaceLimit] = {};
    sockaddr_in groupAddress = {};
    ClientId clientId = {};
    bool endpointsOpen = false;
    DatagramSourceFactory sourceFactory; // only tests set it

    // Result of the last search.
    DeviceList deviceList;

    // Inputs and results of the device operations.
    char selectedIp[16] = {};
    char newIp[16] = {};
    char newNetmask[16] = {};
    char newGateway[16] = {};
    // A full entry plus its terminator; the terminator never reaches the wire.
    char userName[kCredentialLength + 1] = {};
    char password[kCredentialLength + 1] = {};
    char workgroupText[32] = {};
    char codepageText[76] = {};
    char sslText[8] = {};
    char shareNameText[32] = {};
    char ideokText[8] = {};
    char btFirmwareText[8] = {};
    char domainText[128] = {};
    char accessModeText[8] = {};
    char stopText[8] = {};
    char installedText[8] = {};
    char setting5Text[32] = {};
    ShareNameList shareNameList;
};

extern ProtocolState g_ProtocolState;

// Closes any open sockets, frees both lists and returns every field to its start value (for tests). The
// interface filter and the diagnostics switch are kept.
void ResetProtocolState();
