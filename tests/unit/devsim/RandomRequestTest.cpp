// The simulator answers whatever a stranger on the group sends without reading past the datagram and
// without giving up: each datagram sits in a heap block of exactly its length for the sanitizer build.

#include "Config.h"
#include "Simulator.h"

#include <cstring>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "support/Wire.h"

namespace izuzez::devsim
{
namespace
{
using izuzez::test::ExactDatagram;

TEST(DevsimRandomRequests, AnyDatagramIsDecodedOrRefusedWithinItsBytes)
{
    const ConfigResult config = ParseConfig(DefaultConfigText());
    ASSERT_TRUE(config.devices) << config.error;
    Simulator sim(*config.devices);
    const std::vector<std::string> listen{"127.0.0.1"};

    std::mt19937 random(1208); // fixed, so that a failure can be replayed
    int answered = 0;
    for (int i = 0; i < 20000; ++i)
    {
        const std::size_t length = random() % 8 == 0 ? random() % 4097 : random() % 120;
        Bytes bytes(length);
        for (std::uint8_t &b : bytes)
            b = static_cast<std::uint8_t>(random());
        if (length > 0)
            bytes[0] = static_cast<std::uint8_t>(1 + 2 * (random() % 3)); // a request opcode: 1, 3 or 5
        if (length > 21 && random() % 2 == 0)
        {
            // Address a real device, so that queries and settings reach its answers.
            const auto &devices = sim.Devices();
            const Uuid uuid = devices[random() % devices.size()].CurrentUuid();
            std::memcpy(bytes.data() + 11, uuid.data(), uuid.size());
        }
        if (length >= 28 && random() % 2 == 0)
        {
            static constexpr std::uint32_t kLengths[] = {0, 4, 16, 4096, 0xffffffff};
            const std::uint32_t n = kLengths[random() % 5];
            std::memcpy(bytes.data() + (bytes[0] == 5 && length >= 60 ? 56 : 24), &n, 4);
        }
        const ExactDatagram exact(bytes);
        for (const Outgoing &reply : sim.Handle(exact.span(), {127, 0, 0, 9}, listen))
        {
            ASSERT_FALSE(reply.bytes.empty());
            ASSERT_LE(reply.bytes.size(), 4096u) << "a reply never outgrows the program's receive buffer";
            ++answered;
        }
    }
    EXPECT_GT(answered, 1000) << "the generator should reach the answering paths";
}

} // namespace
} // namespace izuzez::devsim
