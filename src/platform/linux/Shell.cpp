#include "platform/Shell.h"

#include "platform/RunProcess.h"
#include "platform/WinFiles.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace izuzez::platform
{

namespace
{
std::string Opener()
{
    const char *custom = std::getenv("IZUZEZ_OPENER");
    return custom != nullptr && *custom != '\0' ? custom : "xdg-open";
}
} // namespace

int ShellExecuteA(std::string_view verb, std::string_view file)
{
    if (verb != "open")
        return 5;
    const std::string local = LocalPathOf(file);
    struct stat st
    {
    };
    if (local.empty() || ::stat(local.c_str(), &st) != 0)
        return 2;
    // The opener hands the file on and ends; one that hangs is left running after 20 s and counts as a
    // failure (it may have become the program that shows the file).
    const ProcessRun run = RunProcess({Opener(), local}, RunOptions{std::chrono::seconds(20), false, false});
    if (!run.started || run.timedOut || run.status < 0)
        return 0;
    switch (run.status)
    {
    case 0:
        return 42;
    case 2:
        return 2;
    default:
        return 31; // xdg-open: 3 no tool for it, 4 the action failed
    }
}

int WinExec(std::string_view commandLine)
{
    constexpr std::string_view prefix = "explorer ";
    if (!commandLine.starts_with(prefix))
        return 11;
    const std::vector<std::string> argv = {Opener(), std::string(commandLine.substr(prefix.size()))};
    return StartProcess(argv, StartMode::Reaped).error == 0 ? 33 : 2;
}

} // namespace izuzez::platform
