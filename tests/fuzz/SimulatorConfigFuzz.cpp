// The simulator's configuration file reader.
#include "Config.h"
#include "FuzzInput.h"
#include "Simulator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    izuzez::devsim::ConfigResult result = izuzez::devsim::ParseConfig(izuzez::fuzz::AsText(data, size));
    if (result.devices)
        izuzez::devsim::Simulator simulator(std::move(*result.devices));
    return 0;
}
