// The default-browser readers: the input read as mimeapps.list and as a desktop entry, whose command is then
// split into words as it would be run.
#include "FuzzInput.h"
#include "platform/linux/DefaultBrowser.h"

using namespace izuzez::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text = izuzez::fuzz::AsText(data, size);
    MimeAppsHttpHandlers(text);
    std::vector<std::string> words;
    SplitCommandLine(DesktopEntryExecCommand(text), words);
    SplitCommandLine(text, words);
    return 0;
}
