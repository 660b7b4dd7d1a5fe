#include "services/WakeOnLan.h"
#include "services/DeviceCache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/Process.h"

using namespace izuzez::services;
using izuzez::test::ReadFile;
using izuzez::test::TempDir;
using izuzez::test::WriteFile;

TEST(FindWakeTarget, AMacAnAddressOrANameAndWhatIsNeither)
{
    const std::vector<CachedDevice> cache = {{"Alpha", "00:1b:7a:0a:ff:10", "10.0.0.10", "10.0.0.1", 100},
                                             {"cafe-42", "00:1b:7a:0a:ff:10", "10.0.0.10", "10.0.0.1", 50}};
    const struct
    {
        const char *word;
        WakeProblem problem;
    } cases[] = {
        {"00:1b:7a:0A:ff:10", WakeProblem::None},
        {"00-1B-7A-0A-FF-10", WakeProblem::None},
        {"10.0.0.10", WakeProblem::None},
        {"Alpha", WakeProblem::None},
        {"cafe-42", WakeProblem::None},
        {"00:1b:7a:0a:ff", WakeProblem::BadMac},
        {"00:1b:7a:0a:ff:10:", WakeProblem::BadMac},
        {"00:1b-7a:0a:ff:10", WakeProblem::BadMac},
        {"0:1b:7a:0a:ff:100", WakeProblem::BadMac},
        {"00:1b:7a:0a:ff:1g", WakeProblem::Unknown},
        {"001b.7a0a.ff10", WakeProblem::Unknown},
        {"10.0.0.99", WakeProblem::Unknown},
        {"alpha", WakeProblem::Unknown},
    };
    for (const auto &c : cases)
    {
        const WakeTarget target = FindWakeTarget(c.word, cache);
        EXPECT_EQ(target.problem, c.problem) << c.word;
        if (c.problem == WakeProblem::None)
            EXPECT_EQ(MacText(target.mac), "00:1b:7a:0a:ff:10") << c.word;
        else
            EXPECT_NE(target.message.find(c.problem == WakeProblem::BadMac ? "aa:bb:cc:dd:ee:ff" : "MAC"),
                      std::string::npos)
                << c.word;
    }
}

TEST(DeviceCache, WrittenByRenameMergedByMacAndACorruptFileIgnoredWithAWarning)
{
    const CachedDevice alpha{"Alpha", "00:1b:7a:00:00:10", "10.0.0.10", "10.0.0.1", 100};
    const CachedDevice bravo{"Bravo", "00:1b:7a:00:00:20", "10.0.0.20", "10.0.0.1", 100};
    CachedDevice alphaMoved{"Alpha", "00-1B-7A-00-00-10", "10.0.0.11", "10.0.1.1", 200};
    const struct
    {
        const char *before; // nullptr: no file
        std::vector<CachedDevice> seen;
        std::vector<CachedDevice> after;
        bool warning;
    } cases[] = {
        {nullptr, {alpha}, {alpha}, false},
        {"", {alpha, bravo}, {alpha, bravo}, true},
        {"{\"devices\": [", {alpha}, {alpha}, true},
        {"[1, 2]", {alpha}, {alpha}, true},
        {"{\"devices\": [{\"name\": \"x\", \"mac\": \"no\"}, 7]}", {bravo}, {bravo}, false},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.before ? c.before : "(none)");
        TempDir dir;
        const std::string path = dir.file("izuzez/devices.json");
        std::filesystem::create_directories(dir.file("izuzez"));
        if (c.before)
            WriteFile(path, c.before);
        std::ifstream old(path); // a reader of the old file must keep the old file whole
        const std::string problem = RememberDevices(path, c.seen);
        EXPECT_EQ(!problem.empty(), c.warning) << problem;
        const DeviceCacheReading reading = ReadDeviceCache(path);
        EXPECT_EQ(reading.warning, "");
        EXPECT_EQ(reading.devices, c.after);
        if (c.before)
        {
            std::ostringstream seenByOld;
            seenByOld << old.rdbuf();
            EXPECT_EQ(seenByOld.str(), c.before);
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("izuzez")), {}), 1); // no temporary left
    }

    // The same device seen again at a new address replaces its entry, under its MAC as the cache writes it.
    TempDir dir;
    const std::string path = dir.file("devices.json");
    ASSERT_EQ(RememberDevices(path, {alpha, bravo}), "");
    ASSERT_EQ(RememberDevices(path, {alphaMoved}), "");
    alphaMoved.mac = alpha.mac;
    EXPECT_EQ(ReadDeviceCache(path).devices, (std::vector<CachedDevice>{alphaMoved, bravo}));
    EXPECT_EQ(FindWakeTarget("Alpha", ReadDeviceCache(path).devices).interfaceAddress, "10.0.1.1");
}

// Each search takes 300 ms of a clock that passes only when told, so the bound is exact: a search at once and one
// after each pause of at most a second, the last pause cut to the bound.
TEST(WaitForWokenDevice, SearchesUntilTheMacAnswersWithinTheBound)
{
    using namespace std::chrono_literals;
    const struct
    {
        int answersAt; // the search (from 1) whose answer holds the device; 0: never
        std::chrono::seconds wait;
        int searches;
        std::chrono::milliseconds elapsed;
    } cases[] = {{1, 5s, 1, 300ms}, {3, 5s, 3, 2900ms}, {0, 2s, 3, 2300ms}, {0, 0s, 1, 300ms}};
    std::vector<FoundDevice> both(2);
    both[0].mac = "00:1b:7a:00:00:01";
    both[1].mac = "00-1B-7A-00-00-99";
    for (const auto &c : cases)
    {
        auto now = std::chrono::steady_clock::time_point{};
        int searches = 0;
        const auto search = [&]
        {
            ++searches;
            now += 300ms;
            return searches == c.answersAt ? both : std::vector<FoundDevice>{both[0]};
        };
        const std::optional<FoundDevice> found =
            WaitForWokenDevice(*ParseMac("00:1b:7a:00:00:99"), c.wait, search,
                               {[&now] { return now; }, [&now](auto pause) { now += pause; }});
        EXPECT_EQ(found.value_or(both[0]).mac, both[c.answersAt != 0].mac) << c.answersAt;
        EXPECT_EQ(searches, c.searches) << c.answersAt;
        EXPECT_EQ(now - std::chrono::steady_clock::time_point{}, c.elapsed) << c.answersAt;
    }
}

// From the addresses given, else from where the device was last seen, else from every one but loopback; each to
// its network's broadcast address, a failed one told with its reason and the others still sent.
TEST(SendWakePackets, FromEachChosenAddressToItsBroadcast)
{
    const std::vector<LocalAddress> local = {{"127.0.0.1", true, "lo", 8},
                                             {"10.0.0.2", false, "eth0", 24},
                                             {"10.0.1.2", false, "eth1", 16},
                                             {"192.168.7.9", false, "wg0", -1}};
    const struct
    {
        std::vector<std::string> given;
        std::string lastSeen;
        std::string sends; // "from>to:problem" each
    } cases[] = {
        {{}, "", "10.0.0.2>10.0.0.255: 10.0.1.2>10.0.255.255:down 192.168.7.9>255.255.255.255: "},
        {{}, "10.0.0.2", "10.0.0.2>10.0.0.255: "},
        {{}, "10.9.9.9", "10.0.0.2>10.0.0.255: 10.0.1.2>10.0.255.255:down 192.168.7.9>255.255.255.255: "},
        {{"127.0.0.1", "10.0.1.2"}, "10.0.0.2", "127.0.0.1>127.255.255.255: 10.0.1.2>10.0.255.255:down "},
        {{"10.9.9.9"}, "10.0.0.2", ""},
    };
    WakeTarget target;
    target.mac = *ParseMac("00:1b:7a:00:00:10");
    const auto packet = MagicPacket(target.mac);
    for (const auto &c : cases)
    {
        target.interfaceAddress = c.lastSeen;
        std::string sends;
        const auto send =
            [&](const std::string &from, const std::string &, int port, const std::uint8_t *data, std::size_t size)
        {
            EXPECT_EQ(port, 9);
            EXPECT_TRUE(std::equal(data, data + size, packet.begin(), packet.end()));
            return std::string(from == "10.0.1.2" ? "down" : "");
        };
        for (const WakeSend &s : SendWakePackets(target, local, c.given, send))
            sends += s.from + ">" + s.to + ":" + s.problem + " ";
        EXPECT_EQ(sends, c.sends) << c.lastSeen;
    }
}
