// Figures of the search and of one exchange, against the device simulator on 127.0.0.1.
// Run as root it moves into a private network namespace first, so that nothing else on the loopback
// interface answers; otherwise it uses the machine's loopback interface as it is.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "protocol/Endpoints.h"
#include "protocol/FixedText.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/Operations.h"
#include "protocol/ProtocolState.h"
#include "protocol/Search.h"

extern char **environ;

#include "BenchSimulator.h"

namespace
{

using namespace std::chrono_literals;
using bench::DrainReplies;
using bench::Simulator;

struct Endpoints
{
    Endpoints()
    {
        SetInterfaceFilter({"127.0.0.1"});
        OpenEndpoints();
    }
    ~Endpoints() { CloseEndpoints(); }
};

// Whole searches against range(0) simulated devices; "listed" is what one search lists on average.
void BM_SearchDuration(benchmark::State &state)
{
    Simulator simulator(static_cast<int>(state.range(0)));
    Endpoints endpoints;
    double listed = 0;
    for (auto _ : state)
    {
        SearchDevices(1, 8);
        state.PauseTiming();
        listed += g_ProtocolState.deviceList.count;
        DrainReplies();
        state.ResumeTiming();
    }
    state.counters["listed"] = benchmark::Counter(listed, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SearchDuration)
    ->ArgName("devices")
    ->Arg(0)
    ->Arg(1)
    ->Arg(100)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

void BM_SearchListsOfN(benchmark::State &state)
{
    BM_SearchDuration(state); // the same searches, read for how many of the devices were listed
    state.counters["of"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_SearchListsOfN)
    ->ArgName("devices")
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// The command line's search --wait 500: listens until no reply came for 500 ms, so "listed" should equal "of".
void BM_WaitSearchListsOfN(benchmark::State &state)
{
    Simulator simulator(static_cast<int>(state.range(0)));
    Endpoints endpoints;
    double listed = 0;
    for (auto _ : state)
    {
        SearchDevicesUntilQuiet(1, 8, 500ms, 5000ms);
        state.PauseTiming();
        listed += g_ProtocolState.deviceList.count;
        DrainReplies();
        state.ResumeTiming();
    }
    state.counters["listed"] = benchmark::Counter(listed, benchmark::Counter::kAvgIterations);
    state.counters["of"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_WaitSearchListsOfN)->ArgName("devices")->Arg(100)->Arg(1000)->Iterations(5)->Unit(benchmark::kMillisecond);

// One query to a device that answers at once. QuerySsl first drains 11 times 10 ms; the password check
// drains nothing, so it shows the bare round trip.
template <int (*Exchange)()> void BM_RoundTrip(benchmark::State &state)
{
    Simulator simulator(1);
    Endpoints endpoints;
    SearchDevices(1, 8);
    CopyText(g_ProtocolState.selectedIp, "127.1.0.1");
    CopyText(g_ProtocolState.userName, "admin");
    CopyText(g_ProtocolState.password, "");
    int failures = 0;
    for (auto _ : state)
        failures += Exchange() == 0;
    state.counters["failed"] = failures;
}
BENCHMARK(BM_RoundTrip<QuerySsl>)->Name("BM_QueryRoundTrip/ssl")->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTrip<CheckAdminPassword>)
    ->Name("BM_QueryRoundTrip/password_check")
    ->Iterations(50)
    ->Unit(benchmark::kMicrosecond);

// As root, a namespace of our own with only the loopback interface (unshare needs no named namespace).
void IsolateLoopback()
{
    if (geteuid() != 0 || unshare(CLONE_NEWNET) != 0)
        return;
    std::system("ip link set lo up");
    std::fprintf(stderr, "izuzez-bench: running in a private network namespace\n");
}

} // namespace

int main(int argc, char **argv)
{
    IsolateLoopback();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
