#include "platform/Shell.h"

#include "platform/WinFiles.h"

#include <chrono>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace izuzez::platform
{

namespace
{
std::string Opener()
{
    const char *custom = std::getenv("IZUZEZ_OPENER");
    return custom != nullptr && *custom != '\0' ? custom : "xdg-open";
}

pid_t Start(const std::string &argument)
{
    const std::string opener = Opener();
    char *argv[] = {const_cast<char *>(opener.c_str()), const_cast<char *>(argument.c_str()), nullptr};
    pid_t pid = -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", 0, 0);
    const int failed = posix_spawnp(&pid, opener.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
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
    const pid_t pid = Start(local);
    if (pid < 0)
        return 0;
    // The opener hands the file on and ends; one that hangs is left after 20 s and counts as a failure.
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (::waitpid(pid, &status, WNOHANG) == 0)
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!WIFEXITED(status))
        return 0;
    switch (WEXITSTATUS(status))
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
    const pid_t pid = Start(std::string(commandLine.substr(prefix.size())));
    if (pid < 0)
        return 2;
    std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
    return 33;
}

} // namespace izuzez::platform
