#include "platform/FileManager.h"

#include "platform/linux/DefaultBrowser.h"
#include "platform/linux/DetachedExec.h"

#include <vector>

namespace izuzez::platform
{

unsigned OpenInFileManager(const std::string &folder)
{
    // The handler's Exec line with the folder appended, as the browser gets its address; without one the
    // desktop's opener chooses.
    std::vector<std::string> argv;
    const std::string id = DefaultFileManagerId();
    if (id.empty() || !SplitCommandLine(DesktopEntryCommand(id), argv) || argv.empty())
        argv = {"xdg-open"};
    argv.push_back(folder);
    return StartDetached(argv);
}

} // namespace izuzez::platform
