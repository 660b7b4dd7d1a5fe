// The "\\server\share\path" and "C:\" path readers.
#include <cstdlib>

#include "FuzzInput.h"
#include "platform/WinFiles.h"

using namespace izuzez::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view path = izuzez::fuzz::AsText(data, size);
    const PathKind kind = KindOfPath(path);
    const std::string url = SmbUrlOf(path);
    // A path must never act on another one: a URL only for a share path, never with a NUL cut in it.
    if (!url.empty() && (kind != PathKind::Unc || url.find('\0') != std::string::npos))
        std::abort();
    if (kind != PathKind::Unc)
    {
        const std::string local = LocalPathOf(path);
        if (local.find('\0') != std::string::npos)
            std::abort();
    }
    return 0;
}
