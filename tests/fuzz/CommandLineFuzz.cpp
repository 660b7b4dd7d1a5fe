// The command line's argument parser: the input's NUL bytes separate the arguments.
#include "CliOptions.h"
#include "FuzzInput.h"

using namespace izuzez::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::vector<std::string> args = izuzez::fuzz::Pieces(izuzez::fuzz::AsText(data, size), '\0');
    const ParseResult result = ParseCommandLine(args);
    if (result.ok)
        AddressInputFromOptions(result.options);
    return 0;
}
