// The simulator's request reader: a datagram as it arrives on the socket, decoded, logged and answered by the
// built-in devices. The devices keep their state between inputs, as a running simulator does.
#include <cstdlib>
#include <memory>

#include "Config.h"
#include "RequestLog.h"
#include "Simulator.h"

using namespace izuzez::devsim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static Simulator *simulator = []
    {
        ConfigResult config = ParseConfig(DefaultConfigText());
        if (!config.devices)
            std::abort();
        return new Simulator(std::move(*config.devices));
    }();
    const std::span<const std::uint8_t> datagram(data, size);
    FormatRequestLine("t", {127, 0, 0, 1}, 40000, "127.0.0.1", datagram);
    for (const Outgoing &outgoing : simulator->Handle(datagram, {127, 0, 0, 1}, {"127.0.0.1"}))
        FormatSendLine("t", outgoing, 13579);
    return 0;
}
