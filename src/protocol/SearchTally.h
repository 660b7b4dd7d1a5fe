#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What reached one interface during a search, for the doctor command. Nothing here changes the device list.

enum class SearchDatagram
{
    Accepted,      // a reply of this instance from an address not listed yet
    Repeated,      // a reply of this instance from an address already listed
    Filtered,      // a reply of this instance whose class or type bytes the search does not ask for
    ForeignClient, // a search reply that carries another ClientId: another instance asked
    OtherKind,     // any other opcode
    Malformed,     // a search reply too short to hold its fixed part
    Oversize,      // longer than the receive buffer; discarded unread
};

struct SearchTally
{
    int accepted = 0;
    int repeated = 0;
    int filtered = 0;
    int foreignClient = 0;
    int otherKind = 0;
    int malformed = 0;
    int oversize = 0;
    std::vector<std::string> acceptedFrom; // address texts of the accepted replies, in arrival order

    void Count(SearchDatagram kind);
    int Total() const;
};

struct SearchReply;

// Sorts one received datagram. `alreadyListed` says whether the reply's address is in the device list. The one
// rule of which replies the search takes: `parsed`, when given, receives the reply it read.
SearchDatagram ClassifySearchDatagram(const std::uint8_t *datagram, std::size_t length, int classFilter, int typeFilter,
                                      bool alreadyListed, SearchReply *parsed = nullptr);

// What ReceiveDatagram returns for a datagram longer than the receive buffer (any other failure is -1).
inline constexpr long kOversizeDatagram = -2;

// True when both addresses lie in the same network of `prefix` bits (0 to 32).
bool InSameSubnet(std::uint32_t a, std::uint32_t b, int prefix);

// "10.0.0.0/24" for an address and prefix.
std::string NetworkText(std::uint32_t address, int prefix);
