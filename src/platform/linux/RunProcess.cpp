#include "platform/RunProcess.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace izuzez::platform
{
namespace
{

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point end)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(left) + 1;
}

// Reaps the child when it has ended; the exit status, or -1 for a signal.
bool Reaped(pid_t pid, ProcessRun &run)
{
    int status = 0;
    pid_t got = 0;
    do
        got = waitpid(pid, &status, WNOHANG);
    while (got < 0 && errno == EINTR);
    if (got != pid)
        return false;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

// Reads what is there; false at the end of the stream.
bool Drain(int fd, std::string &sink, std::size_t cap)
{
    char chunk[4096];
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0)
        return errno == EINTR || errno == EAGAIN;
    if (n == 0)
        return false;
    if (sink.size() < cap)
        sink.append(chunk, std::min(static_cast<std::size_t>(n), cap - sink.size()));
    return true;
}

} // namespace

ProcessRun RunProcess(const std::vector<std::string> &argv, std::chrono::milliseconds limit, std::size_t outputCap)
{
    ProcessRun run;
    if (argv.empty())
        return run;
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0)
        return run;
    if (pipe2(errPipe, O_CLOEXEC) != 0)
    {
        close(outPipe[0]);
        close(outPipe[1]);
        return run;
    }
    // Only our ends: a program whose output would not block sees write errors instead.
    fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
    fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    if (spawned != 0)
    {
        close(outPipe[0]);
        close(errPipe[0]);
        return run;
    }
    run.started = true;
    const Clock::time_point end = Clock::now() + limit;
    // A pidfd tells of the exit even while a grandchild still holds the pipes; without one, the pipes' end
    // and then short naps stand in for it.
    const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    pollfd fds[3] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}, {pidFd, POLLIN, 0}};
    std::string *sinks[2] = {&run.out, &run.err};
    bool exited = false;
    while (!exited)
    {
        const int timeout = MillisecondsLeft(end);
        if (timeout == 0)
            break;
        const bool pipesOpen = fds[0].fd >= 0 || fds[1].fd >= 0;
        if (!pipesOpen && pidFd < 0)
        {
            exited = Reaped(pid, run);
            if (!exited)
                usleep(static_cast<useconds_t>(std::min(timeout, 10)) * 1000);
            continue;
        }
        if (poll(fds, 3, timeout) <= 0)
            continue;
        for (int i = 0; i < 2; ++i)
            if (fds[i].fd >= 0 && fds[i].revents != 0 && !Drain(fds[i].fd, *sinks[i], outputCap))
                fds[i].fd = -1;
        if (fds[2].fd >= 0 && fds[2].revents != 0)
            exited = Reaped(pid, run);
    }
    if (exited)
    {
        // What it wrote before it ended is in the pipes; take it without waiting for anyone holding them.
        for (int i = 0; i < 2; ++i)
            while (fds[i].fd >= 0 && Drain(fds[i].fd, *sinks[i], outputCap))
            {
                pollfd ready{fds[i].fd, POLLIN, 0};
                if (poll(&ready, 1, 0) <= 0)
                    break;
            }
    }
    else
    {
        run.timedOut = true;
        run.status = -1;
        kill(pid, SIGKILL);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR)
        {
        }
    }
    if (pidFd >= 0)
        close(pidFd);
    close(outPipe[0]);
    close(errPipe[0]);
    return run;
}

} // namespace izuzez::platform
