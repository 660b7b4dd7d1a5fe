// Figures of the window: from the start of the program (QApplication included) to the device list filled by
// the first search, against the simulator on 127.0.0.1, and the resident memory then. Runs offscreen; as
// root in a private network namespace.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "BenchSimulator.h"
#include "app/CSearchUtilityDlg.h"
#include "protocol/Endpoints.h"
#include "protocol/LocalInterfaces.h"
#include "skin/CSkinListCtrl.h"
#include "skin/SkinControlId.h"

extern char **environ;

namespace
{

using namespace std::chrono_literals;

using bench::Simulator;

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"), or 0.
double StatusKiB(const std::string &key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
    {
        if (line.rfind(key + ":", 0) == 0)
            return std::atof(line.c_str() + key.size() + 1);
    }
    return 0;
}

std::chrono::steady_clock::time_point g_start;
double g_applicationMs = 0;

// The main window's construction and initialisation, first search included, until its rows are there.
void BM_WindowToFilledList(benchmark::State &state)
{
    Simulator simulator(static_cast<int>(state.range(0)));
    SetInterfaceFilter({"127.0.0.1"});
    OpenEndpoints();
    double rows = 0;
    static bool first = true; // only the process's first window counts from its start
    for (auto _ : state)
    {
        CSearchUtilityDlg dlg;
        dlg.OnInitDialog();
        rows += qobject_cast<CSkinListCtrl *>(GetDlgItem(&dlg, 1000))->GetItemCount();
        if (first)
        {
            state.counters["first_from_start_ms"] =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - g_start).count();
            first = false;
        }
        state.PauseTiming();
        std::this_thread::sleep_for(200ms); // late replies of this search must not count for the next
        state.ResumeTiming();
    }
    CloseEndpoints();
    state.counters["rows"] = benchmark::Counter(rows, benchmark::Counter::kAvgIterations);
    state.counters["qapplication_ms"] = g_applicationMs;
    state.counters["rss_mib"] = StatusKiB("VmRSS") / 1024.0;
    state.counters["peak_rss_mib"] = StatusKiB("VmHWM") / 1024.0;
}
BENCHMARK(BM_WindowToFilledList)->ArgName("devices")->Arg(3)->Arg(100)->Iterations(5)->Unit(benchmark::kMillisecond);

// A click on Search on a large network whose replies come over 300 ms: the time until the list is filled,
// how many of the devices it lists, and the peak resident memory.
void BM_WindowBusyNetwork(benchmark::State &state)
{
    constexpr int kSpreadMs = 300;
    Simulator simulator(static_cast<int>(state.range(0)), kSpreadMs);
    SetInterfaceFilter({"127.0.0.1"});
    OpenEndpoints();
    CSearchUtilityDlg dlg;
    dlg.OnInitDialog();
    auto *list = qobject_cast<CSkinListCtrl *>(GetDlgItem(&dlg, 1000));
    double rows = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        bench::DrainReplies(std::chrono::milliseconds(kSpreadMs + 200));
        state.ResumeTiming();
        dlg.OnSearch();
        rows += list->GetItemCount();
    }
    CloseEndpoints();
    state.counters["rows"] = benchmark::Counter(rows, benchmark::Counter::kAvgIterations);
    state.counters["of"] = static_cast<double>(state.range(0));
    state.counters["peak_rss_mib"] = StatusKiB("VmHWM") / 1024.0;
}
BENCHMARK(BM_WindowBusyNetwork)->ArgName("devices")->Arg(300)->Arg(1000)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    g_start = std::chrono::steady_clock::now();
    if (geteuid() == 0 && unshare(CLONE_NEWNET) == 0)
        std::system("ip link set lo up");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The devices the searches list are remembered here, not in the person's cache.
    const std::filesystem::path cache =
        std::filesystem::temp_directory_path() / ("izuzez-window-bench-" + std::to_string(getpid()));
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    QApplication app(argc, argv);
    g_applicationMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - g_start).count();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(cache, ec);
    return 0;
}
