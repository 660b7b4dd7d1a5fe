#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

struct SearchTally;

// Empties the device list and searches every local interface in turn: one search request to the group, a
// 50 ms pause, then 100 polls of 500 us. Replies kinds 7 and 8 must carry classFilter at byte 56 and
// typeFilter at byte 57 (0 accepts any). Each interface's polling is also capped at 300 ms of wall
// time, so a flood of failed receives cannot hold it.
void SearchDevices(int classFilter, int typeFilter);

// SearchDevices, but an interface still busy when its polls end (they read 100 datagrams, or a reply in their
// last 20 ms) is listened on, without a second request, until no reply came for `quiet`; that listening
// takes `cap` at most in all, shared as in SearchDevicesUntilQuiet. An interface that went quiet within its
// polls takes exactly SearchDevices' time.
void SearchDevicesListeningWhileBusy(int classFilter, int typeFilter, std::chrono::milliseconds quiet,
                                     std::chrono::milliseconds cap);

// Handles one received datagram of a search on interface i: appends a record when it is a valid reply of
// this instance to a new address. Returns true when a record was added.
bool HandleSearchDatagram(const std::uint8_t *datagram, std::size_t length, int classFilter, int typeFilter,
                          int interfaceIndex);

// Sends one search request on interface i and reads until no reply of this instance came for `quiet`, or
// `budget` ran out. Unlike SearchDevices it has no datagram limit, so every device of a large network is
// listed. Appends to the device list; every datagram is counted in `tally` when one is given. Returns the
// time it listened.
std::chrono::steady_clock::duration SearchInterfaceUntilQuiet(int interfaceIndex, int classFilter, int typeFilter,
                                                              std::chrono::milliseconds quiet,
                                                              std::chrono::milliseconds budget, SearchTally *tally);

// Empties the device list and searches every interface in turn until quiet; the whole search ends after
// `cap`, shared fairly among the interfaces still to search. `tallies`, when given, gets one entry per
// interface.
void SearchDevicesUntilQuiet(int classFilter, int typeFilter, std::chrono::milliseconds quiet,
                             std::chrono::milliseconds cap, std::vector<SearchTally> *tallies = nullptr);
