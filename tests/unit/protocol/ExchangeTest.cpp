#include <gtest/gtest.h>

#include <vector>

#include "ScriptedSource.h"
#include "StateFixture.h"
#include "protocol/Exchange.h"
#include "protocol/Packets.h"

namespace
{
using namespace izuzez::test;
using namespace std::chrono_literals;

const ClientId kId = {1, 2, 3, 4, 5, 6, 0, 0, 0, 0};

// The wait for one reply, and what fails before the endpoints are open, are tested through every operation
// in OperationBudgetTest; here the search's polls.
class ExchangeTest : public ProtocolStateTest<kId>
{
protected:
    std::uint8_t buffer[kPacketBufferSize + 1];
};

TEST_F(ExchangeTest, SearchPollsCountDatagramsButNotFailedReceives)
{
    Script script;
    for (int i = 0; i < 5; ++i)
    {
        script.waiting.push_back(std::nullopt);
        script.waiting.push_back(std::vector<std::uint8_t>{2});
    }
    int handled = 0;
    ScriptedSource source(script);
    PollSearchReplies(source, 100, 500us, script.now + 300ms, buffer,
                      [&](const std::uint8_t *, std::size_t) { ++handled; });
    EXPECT_EQ(handled, 5);
    EXPECT_EQ(script.waits, 105); // 5 failed receives + 5 datagrams + 95 empty polls
}

TEST_F(ExchangeTest, SearchPollsStopAtTheCap)
{
    Script script;
    script.flood = [] { return std::nullopt; };
    script.readyCost = 10us;
    ScriptedSource source(script);
    PollSearchReplies(source, 100, 500us, script.now + 300ms, buffer, [](const std::uint8_t *, std::size_t) {});
    EXPECT_GE(script.now - Clock::time_point{}, 300ms);
    EXPECT_LT(script.now - Clock::time_point{}, 301ms);
}
} // namespace
