// Runs the simulator's sockets on 127.0.0.1 and talks to them from a plain UDP socket.
#include "Config.h"
#include "RequestLog.h"
#include "Runner.h"

#include "support/LoopbackSockets.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include <unistd.h>

using namespace izuzez::devsim;
using namespace izuzez::test;

namespace
{

// The uuid prefix and ClientId are random so that other simulators or programs on this host's
// loopback cannot be mistaken for ours.
struct Identity
{
    Bytes clientId;
    std::string uuidHex;
};

Identity RandomIdentity()
{
    std::random_device random;
    Identity identity;
    for (int i = 0; i < 6; ++i)
        identity.clientId.push_back(static_cast<std::uint8_t>(random()));
    identity.clientId.resize(10, 0);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x%02x%02x", 0x02, random() & 0xff, random() & 0xff, random() & 0xff,
                  random() & 0xff, random() & 0xff);
    identity.uuidHex = hex;
    return identity;
}

// Replies that carry our ClientId and uuid prefix (other simulators on this host answer our searches
// too), collected for at most `budget`.
std::vector<Bytes> CollectReplies(int fd, const Bytes &clientId, const Bytes &uuidPrefix, std::size_t wanted,
                                  std::chrono::milliseconds budget)
{
    std::vector<Bytes> replies;
    const auto deadline = std::chrono::steady_clock::now() + budget;
    for (int round = 0; round < 1000 && replies.size() < wanted; ++round)
    {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        const std::optional<Bytes> reply = Receive(fd, left);
        if (!reply)
            break;
        const Bytes &r = *reply;
        if (r.size() >= 21 && r[0] != 1 && r[0] != 3 && r[0] != 5 &&
            std::equal(clientId.begin(), clientId.begin() + 6, r.begin() + 1) &&
            std::equal(uuidPrefix.begin(), uuidPrefix.end(), r.begin() + 11))
            replies.push_back(r);
    }
    return replies;
}

TEST(DevsimLoopback, AnswersASearchAndAQueryOverTheGroup)
{
    const Identity identity = RandomIdentity();
    ConfigResult config = ParseConfig(R"({"devices": [{"name": "loop-a", "address": "127.77.0.2", "uuid": ")" +
                                      identity.uuidHex + R"(", "admin_password": "pw"}]})");
    ASSERT_TRUE(config.devices) << config.error;
    const Bytes prefix((*config.devices)[0].uuidPrefix.begin(), (*config.devices)[0].uuidPrefix.end());

    std::string error;
    std::unique_ptr<Runner> runner = Runner::Create(std::move(*config.devices), error);
    ASSERT_TRUE(runner) << error;
    const int receiver = JoinGroupOnLoopback();
    ASSERT_GE(receiver, 0);
    const int sender = LoopbackSender();
    ASSERT_GE(sender, 0);
    int stop[2];
    ASSERT_EQ(pipe(stop), 0);
    std::FILE *logFile = std::tmpfile();
    ASSERT_NE(logFile, nullptr);
    std::thread serving([&] { runner->Run(LogSink{logFile, false}, stop[0], std::chrono::seconds(20)); });

    EXPECT_TRUE(SendToGroup(sender, SearchRequest(identity.clientId)));
    const std::vector<Bytes> found = CollectReplies(receiver, identity.clientId, prefix, 1, std::chrono::seconds(3));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0][0], kFullSearchReply);
    EXPECT_EQ(Slice(found[0], 17, 4), (Bytes{127, 77, 0, 2}));

    EXPECT_TRUE(SendToGroup(
        sender, QueryRequest(identity.clientId, Slice(found[0], 11, 10), 4, std::string("admin\x55\xaa") + "pw")));
    const std::vector<Bytes> verdict = CollectReplies(receiver, identity.clientId, prefix, 1, std::chrono::seconds(3));
    ASSERT_EQ(verdict.size(), 1u);
    ASSERT_EQ(verdict[0].size(), 29u);
    EXPECT_EQ(verdict[0][28], 1);

    const char byte = 1;
    ASSERT_EQ(write(stop[1], &byte, 1), 1);
    serving.join();
    close(receiver);
    close(sender);
    close(stop[0]);
    close(stop[1]);

    std::rewind(logFile);
    std::string log;
    char line[4096];
    while (std::fgets(line, sizeof line, logFile))
        log += line;
    std::fclose(logFile);
    EXPECT_NE(log.find("ready port=13579"), std::string::npos);
    // What a request line holds is DevsimRequestLog's, in WireTest.
    EXPECT_NE(log.find("op=3 sub=4 cid=" + ToHex(Bytes(identity.clientId))), std::string::npos) << log;
}

} // namespace
