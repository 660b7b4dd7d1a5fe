#include "protocol/Search.h"

#include <algorithm>
#include <cstdio>

#include "protocol/DeviceList.h"
#include "protocol/Diagnostics.h"
#include "protocol/Endpoints.h"
#include "protocol/Exchange.h"
#include "protocol/FixedText.h"
#include "protocol/Packets.h"
#include "protocol/SearchTally.h"

namespace
{
constexpr int kSearchPolls = 100;
constexpr std::chrono::microseconds kSearchPollWait{500};
constexpr std::chrono::milliseconds kSearchSettle{50};
// Three times the nominal 100 polls of 500 us plus slack for timer granularity.
constexpr std::chrono::milliseconds kSearchPollCap{300};

void TraceFullRecord(const DeviceRecord &record)
{
    if (!DiagnosticsEnabled())
        return;
    char uuid[kUuidSize * 2 + 1] = {};
    for (int i = 0; i < kUuidSize; ++i)
        std::snprintf(uuid + 2 * i, 3, "%02x", record.server_uuid[i]);
    DiagnosticPrint("\n");
    DiagnosticText("server_ip = %s\n", FieldText(record.server_ip));
    DiagnosticText("server_name = %s\n", FieldText(record.server_name));
    DiagnosticText("server_mask = %s\n", FieldText(record.server_mask));
    DiagnosticText("server_gateway = %s\n", FieldText(record.server_gateway));
    DiagnosticPrint("server_uuid = %s\n", uuid);
    DiagnosticText("server_MODEL = %s\n", FieldText(record.server_MODEL));
    DiagnosticText("server_mac = %s\n", FieldText(record.server_mac));
    DiagnosticText("server_HW_version = %s\n", FieldText(record.server_HW_version));
    DiagnosticText("server_SW_version = %s\n", FieldText(record.server_SW_version));
    DiagnosticPrint("\n");
}
} // namespace

bool HandleSearchDatagram(const std::uint8_t *datagram, std::size_t length, int classFilter, int typeFilter,
                          int interfaceIndex)
{
    SearchReply reply;
    if (ClassifySearchDatagram(datagram, length, classFilter, typeFilter, false, &reply) != SearchDatagram::Accepted)
        return false;
    // The first accepted reply of a device wins.
    if (FindDeviceByIp(reply.ip))
        return false;
    if (reply.opcode == kOpFullSearchReply)
    {
        const DeviceRecord *record = AppendFullDevice(reply, reply.name, reply.ip, reply.dhcp, interfaceIndex);
        if (record != nullptr)
            TraceFullRecord(*record);
        return record != nullptr;
    }
    return AppendDevice(reply.name, reply.ip, reply.mask, reply.gateway, reply.uuid, reply.dhcp, interfaceIndex) !=
           nullptr;
}

namespace
{
// An interface whose polls read a reply in their last 20 ms (about 40 polls) had not gone quiet yet.
constexpr std::chrono::milliseconds kBusyTail{20};

// Takes one datagram into the device list; Repeated for a reply that would have been added but for its
// address being listed already.
SearchDatagram TakeSearchDatagram(const std::uint8_t *datagram, std::size_t length, int classFilter, int typeFilter,
                                  int interfaceIndex)
{
    if (HandleSearchDatagram(datagram, length, classFilter, typeFilter, interfaceIndex))
        return SearchDatagram::Accepted;
    return ClassifySearchDatagram(datagram, length, classFilter, typeFilter, true);
}

bool IsReply(SearchDatagram kind)
{
    return kind == SearchDatagram::Accepted || kind == SearchDatagram::Repeated;
}

// Reads until no reply of this instance came for `quiet` since `lastReply`, or `deadline`.
void ListenUntilQuiet(DatagramSource &source, int interfaceIndex, int classFilter, int typeFilter,
                      std::chrono::milliseconds quiet, std::chrono::steady_clock::time_point lastReply,
                      std::chrono::steady_clock::time_point deadline, SearchTally *tally)
{
    std::uint8_t buffer[kPacketBufferSize + 1];
    // Each turn either waits (bounded by the quiet time) or takes a datagram; the clock bounds both.
    for (auto now = source.Now(); now < deadline && now - lastReply < quiet; now = source.Now())
    {
        const auto left = std::min<std::chrono::steady_clock::duration>(deadline - now, quiet - (now - lastReply));
        if (!source.WaitReadable(std::chrono::duration_cast<std::chrono::microseconds>(left)))
            continue;
        const long length = source.Receive(buffer);
        if (length == kOversizeDatagram && tally != nullptr)
            tally->Count(SearchDatagram::Oversize);
        if (length < 0)
            continue;
        const SearchDatagram kind =
            TakeSearchDatagram(buffer, static_cast<std::size_t>(length), classFilter, typeFilter, interfaceIndex);
        if (IsReply(kind))
            lastReply = source.Now();
        if (tally == nullptr)
            continue;
        tally->Count(kind);
        if (kind == SearchDatagram::Accepted)
            tally->acceptedFrom.emplace_back(FieldText(g_ProtocolState.deviceList.tail->server_ip));
    }
}

// What is left of `cap` for interface i of `count` once the ones before it used `used`: a busy interface
// must not leave nothing for the ones after it.
std::chrono::milliseconds ShareOfCap(std::chrono::milliseconds cap, std::chrono::steady_clock::duration used, int i,
                                     int count)
{
    const auto left = std::max<std::chrono::steady_clock::duration>(cap - used, {});
    return std::chrono::duration_cast<std::chrono::milliseconds>(left / (count - i));
}

struct QuietListening
{
    std::chrono::milliseconds quiet;
    std::chrono::milliseconds cap;
};

// The search of every interface in turn; with `busy`, an interface still busy when its polls end is listened
// on until quiet.
void SearchEveryInterface(int classFilter, int typeFilter, const QuietListening *busy)
{
    FreeDeviceList();
    ProtocolState &state = g_ProtocolState;
    if (!state.endpointsOpen)
        return;
    std::uint8_t request[kPacketBufferSize];
    const int requestLength = BuildSearchRequest(request);
    std::uint8_t buffer[kPacketBufferSize + 1];
    std::chrono::steady_clock::duration listenedOn{};
    for (int i = 0; i < state.interfaceCount; ++i)
    {
        const std::unique_ptr<DatagramSource> source = OpenDatagramSource(i);
        source->Send(request, static_cast<std::size_t>(requestLength));
        auto lastReply = source->Now();
        source->Pause(kSearchSettle);
        const auto deadline = source->Now() + kSearchPollCap;
        int datagrams = 0;
        PollSearchReplies(*source, kSearchPolls, kSearchPollWait, deadline, buffer,
                          [&](const std::uint8_t *datagram, std::size_t length)
                          {
                              ++datagrams;
                              if (IsReply(TakeSearchDatagram(datagram, length, classFilter, typeFilter, i)))
                                  lastReply = source->Now();
                          });
        const auto polled = source->Now();
        if (busy == nullptr || (datagrams < kSearchPolls && polled - lastReply >= kBusyTail))
            continue;
        const auto budget = ShareOfCap(busy->cap, listenedOn, i, state.interfaceCount);
        ListenUntilQuiet(*source, i, classFilter, typeFilter, busy->quiet, lastReply, polled + budget, nullptr);
        listenedOn += source->Now() - polled;
    }
}
} // namespace

void SearchDevices(int classFilter, int typeFilter)
{
    SearchEveryInterface(classFilter, typeFilter, nullptr);
}

void SearchDevicesListeningWhileBusy(int classFilter, int typeFilter, std::chrono::milliseconds quiet,
                                     std::chrono::milliseconds cap)
{
    const QuietListening busy{quiet, cap};
    SearchEveryInterface(classFilter, typeFilter, &busy);
}

std::chrono::steady_clock::duration SearchInterfaceUntilQuiet(int interfaceIndex, int classFilter, int typeFilter,
                                                              std::chrono::milliseconds quiet,
                                                              std::chrono::milliseconds budget, SearchTally *tally)
{
    if (!g_ProtocolState.endpointsOpen || interfaceIndex < 0 || interfaceIndex >= g_ProtocolState.interfaceCount)
        return {};
    std::uint8_t request[kPacketBufferSize];
    const int requestLength = BuildSearchRequest(request);
    const std::unique_ptr<DatagramSource> source = OpenDatagramSource(interfaceIndex);
    source->Send(request, static_cast<std::size_t>(requestLength));
    const auto start = source->Now();
    ListenUntilQuiet(*source, interfaceIndex, classFilter, typeFilter, quiet, start, start + budget, tally);
    return source->Now() - start;
}

void SearchDevicesUntilQuiet(int classFilter, int typeFilter, std::chrono::milliseconds quiet,
                             std::chrono::milliseconds cap, std::vector<SearchTally> *tallies)
{
    FreeDeviceList();
    const int count = g_ProtocolState.endpointsOpen ? g_ProtocolState.interfaceCount : 0;
    if (tallies != nullptr)
        tallies->assign(static_cast<std::size_t>(count), SearchTally{});
    std::chrono::steady_clock::duration used{};
    for (int i = 0; i < count; ++i)
    {
        const auto budget = ShareOfCap(cap, used, i, count);
        used += SearchInterfaceUntilQuiet(i, classFilter, typeFilter, quiet, budget,
                                          tallies != nullptr ? &(*tallies)[static_cast<std::size_t>(i)] : nullptr);
    }
}
