// izuzez watch against the simulator: devices moved, stopped and started while it runs, and how it ends. Which
// changes are reported is NextWatchStep's (DeviceChangesTest), their JSON ChangeJson's (WatchCommandTest).

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/LabSuite.h"

using namespace izuzez::test;
using namespace std::chrono_literals;
using nlohmann::json;

namespace
{

const char *const kWatchedDevices = R"({
  "devices": [
    {"name": "Mover", "address": "10.71.1.20", "netmask": "255.255.255.0", "gateway": "10.71.1.1",
     "mac": "00:1B:7A:00:00:20", "listen": ["10.71.1.2"]}
  ]
})";

// A device of its own simulator on the second network, so that it can be stopped and started alone.
std::string OneDevice(const std::string &name, const std::string &address, const std::string &mac)
{
    return R"({"devices": [{"name": ")" + name + R"(", "address": ")" + address +
           R"(", "netmask": "255.255.255.0", "gateway": "10.71.2.1", "mac": ")" + mac +
           R"(", "listen": ["10.71.2.2"]}]})";
}

using WatchTest = LabSuite<kWatchedDevices>;

// The JSON lines written so far.
std::vector<json> Events(const std::string &file)
{
    std::vector<json> events;
    std::istringstream in(ReadFile(file));
    for (std::string line; std::getline(in, line);)
        events.push_back(json::parse(line, nullptr, false));
    return events;
}

// Waits, bounded, for an event of this kind about this MAC; returns it, or null when none came in time.
json WaitForEvent(const std::string &file, const std::string &event, const std::string &mac,
                  std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end)
    {
        for (const json &e : Events(file))
            if (e.is_object() && e.value("event", "") == event && e.value("mac", "") == mac)
                return e;
        std::this_thread::sleep_for(200ms);
    }
    return nullptr;
}

std::unique_ptr<Background> StartOne(const Lab &lab, const TempDir &dir, const std::string &config)
{
    WriteFile(dir.file("devices.json"), config);
    std::string problem;
    auto simulator =
        StartSimulator({"ip", "netns", "exec", lab.lan()}, {"--config", dir.file("devices.json")}, dir, problem);
    EXPECT_NE(simulator, nullptr) << problem;
    return simulator;
}

TEST_F(WatchTest, MovedStoppedAndStartedDevicesAreReported)
{
    TempDir leaverDir;
    auto leaver = StartOne(*s_lab, leaverDir, OneDevice("Leaver", "10.71.2.30", "00:1B:7A:00:00:30"));
    ASSERT_NE(leaver, nullptr);

    TempDir dir;
    const std::string out = dir.file("watch.out");
    const pid_t watch = Spawn(s_lab->InHost({BinDir() + "/izuzez", "watch", "--json", "--interval", "2"}), "", out,
                              dir.file("watch.err"));
    ASSERT_GT(watch, 0);

    for (const char *mac : {"00:1B:7A:00:00:20", "00:1B:7A:00:00:30"})
        EXPECT_FALSE(WaitForEvent(out, "appeared", mac, 15s).is_null()) << mac << "\n" << ReadFile(out);

    const RunResult moved = s_lab->Izuzez(
        {"set-address", "10.71.1.20", "--ip", "10.71.1.40", "--netmask", "255.255.255.0", "--gateway", "10.71.1.1"});
    ASSERT_EQ(moved.status, 0) << moved.err;
    const json move = WaitForEvent(out, "changed", "00:1B:7A:00:00:20", 15s);
    ASSERT_FALSE(move.is_null()) << ReadFile(out);
    EXPECT_EQ(move["ip"], "10.71.1.40");
    EXPECT_EQ(move["old"], (json{{"ip", "10.71.1.20"}}));

    leaver.reset(); // stops it
    EXPECT_FALSE(WaitForEvent(out, "gone", "00:1B:7A:00:00:30", 20s).is_null()) << ReadFile(out);

    TempDir newcomerDir;
    auto newcomer = StartOne(*s_lab, newcomerDir, OneDevice("Newcomer", "10.71.2.31", "00:1B:7A:00:00:31"));
    ASSERT_NE(newcomer, nullptr);
    EXPECT_FALSE(WaitForEvent(out, "appeared", "00:1B:7A:00:00:31", 15s).is_null()) << ReadFile(out);

    // Nothing else happened: the device that stayed was never reported gone.
    for (const json &e : Events(out))
    {
        ASSERT_TRUE(e.is_object()) << ReadFile(out);
        EXPECT_FALSE(e["event"] == "gone" && e["mac"] != "00:1B:7A:00:00:30") << e;
    }

    kill(watch, SIGINT);
    bool timedOut = false;
    EXPECT_EQ(WaitOrKill(watch, 5s, timedOut), 0) << ReadFile(dir.file("watch.err"));
    EXPECT_FALSE(timedOut);
}

TEST_F(WatchTest, TerminateEndsItCleanlyAndThePlainFormIsForPeople)
{
    TempDir dir;
    const std::string out = dir.file("watch.out");
    const pid_t watch =
        Spawn(s_lab->InHost({BinDir() + "/izuzez", "watch", "--interval", "3600"}), "", out, dir.file("watch.err"));
    ASSERT_GT(watch, 0);
    const auto end = std::chrono::steady_clock::now() + 15s;
    while (ReadFile(out).find("appeared") == std::string::npos && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(200ms);
    EXPECT_NE(ReadFile(out).find(" appeared\tMover\t10.71.1."), std::string::npos) << ReadFile(out);
    kill(watch, SIGTERM);
    bool timedOut = false;
    EXPECT_EQ(WaitOrKill(watch, 5s, timedOut), 0) << ReadFile(dir.file("watch.err"));
    EXPECT_FALSE(timedOut);
}

// Its standard output is a FIFO of one page, whose read end the test holds: `reader` -1 when it cannot be made.
struct OutputPipe
{
    std::string path;
    int reader = -1;
    explicit OutputPipe(const TempDir &dir) : path(dir.file("out.fifo"))
    {
        if (mkfifo(path.c_str(), 0600) == 0)
            reader = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (reader >= 0)
            fcntl(reader, F_SETPIPE_SZ, 4096);
    }
    ~OutputPipe()
    {
        if (reader >= 0)
            close(reader);
    }
};

TEST_F(WatchTest, AReaderThatGoesAwayEndsIt)
{
    TempDir dir;
    OutputPipe out(dir);
    ASSERT_GE(out.reader, 0);
    // As under a parent that ignores SIGPIPE: a write to the gone reader fails instead of killing it.
    const pid_t watch = Spawn(s_lab->InHost({"sh", "-c", "trap '' PIPE; exec \"$@\"", "sh", BinDir() + "/izuzez",
                                             "watch", "--interval", "2"}),
                              "", out.path, dir.file("watch.err"));
    ASSERT_GT(watch, 0);
    pollfd ready{out.reader, POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 15000), 1) << ReadFile(dir.file("watch.err"));
    close(out.reader); // as `head -1` does after its line
    out.reader = -1;
    bool timedOut = false;
    EXPECT_EQ(WaitOrKill(watch, 10s, timedOut), 0) << ReadFile(dir.file("watch.err"));
    EXPECT_FALSE(timedOut);
}

TEST_F(WatchTest, TerminateEndsItWhileItsWriteIsBlocked)
{
    TempDir dir;
    OutputPipe out(dir);
    ASSERT_GE(out.reader, 0);
    {
        const int filler = open(out.path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(filler, 0);
        const std::string page(4096, '\n');
        for (int i = 0; i < 64 && write(filler, page.data(), page.size()) > 0; ++i)
        {
        }
        close(filler);
    }
    const pid_t watch =
        Spawn(s_lab->InHost({BinDir() + "/izuzez", "watch", "--interval", "2"}), "", out.path, dir.file("watch.err"));
    ASSERT_GT(watch, 0);
    const std::string wchan = "/proc/" + std::to_string(watch) + "/wchan";
    const auto end = std::chrono::steady_clock::now() + 15s;
    // The kernel's name of where it sleeps: "pipe_write", or "anon_pipe_write" on newer kernels.
    while (ReadFile(wchan).find("pipe_write") == std::string::npos && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(50ms);
    EXPECT_NE(ReadFile(wchan).find("pipe_write"), std::string::npos) << ReadFile(wchan);
    kill(watch, SIGTERM);
    bool timedOut = false;
    EXPECT_EQ(WaitOrKill(watch, 5s, timedOut), 0) << ReadFile(dir.file("watch.err"));
    EXPECT_FALSE(timedOut);
}

} // namespace
