#include "platform/RunProcess.h"

#include <algorithm>
#include <cerrno>
#include <thread>

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

void CloseFd(int &fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

void WaitFor(pid_t pid)
{
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR)
    {
    }
}

// For a child that may outlive the call: it is reaped when it ends, so it leaves no zombie.
void ReapLater(pid_t pid)
{
    std::thread([pid] { WaitFor(pid); }).detach();
}

bool OpenPipes(int outPipe[2], int errPipe[2])
{
    if (pipe2(outPipe, O_CLOEXEC) != 0)
        return false;
    if (pipe2(errPipe, O_CLOEXEC) != 0)
    {
        CloseFd(outPipe[0]);
        CloseFd(outPipe[1]);
        return false;
    }
    // Only our ends: a program whose output would not block sees write errors instead.
    fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
    fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
    return true;
}

std::vector<char *> ArgumentVector(const std::vector<std::string> &argv)
{
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    return args;
}

// Standard input on /dev/null; output and error to the given descriptors, or ours for -1. 0 or an errno.
int Spawn(const std::vector<std::string> &argv, const std::string &file, int out, int err, pid_t &pid)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    if (err >= 0)
        posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
    std::vector<char *> args = ArgumentVector(argv);
    const int spawned = posix_spawnp(&pid, file.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned;
}

void ToDevNull()
{
    const int null = open("/dev/null", O_RDWR);
    if (null < 0)
        return;
    for (int fd = 0; fd <= 2; ++fd)
        dup2(null, fd);
    if (null > 2)
        close(null);
}

// A middle process in a new session starts the program and leaves at once, so the program belongs to init and
// nobody has to wait for it; the exec's errno comes back through a pipe. 0 or an errno.
int StartDetached(const std::vector<std::string> &argv, const std::string &file)
{
    std::vector<char *> args = ArgumentVector(argv);
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return errno;
    const pid_t child = fork();
    if (child < 0)
    {
        const int error = errno;
        close(report[0]);
        close(report[1]);
        return error;
    }
    if (child == 0)
    {
        setsid();
        signal(SIGPIPE, SIG_DFL);
        const pid_t program = fork();
        if (program < 0)
        {
            const int error = errno;
            [[maybe_unused]] const ssize_t n = write(report[1], &error, sizeof error);
            _exit(127);
        }
        if (program > 0)
            _exit(0);
        ToDevNull();
        // execvp would hand a file the kernel cannot run to the shell; a path runs as it is or not at all.
        if (file.find('/') != std::string::npos)
            execv(file.c_str(), args.data());
        else
            execvp(file.c_str(), args.data());
        const int error = errno;
        [[maybe_unused]] const ssize_t n = write(report[1], &error, sizeof error);
        _exit(127);
    }
    close(report[1]);
    WaitFor(child);
    int error = 0;
    ssize_t n = 0;
    do
        n = read(report[0], &error, sizeof error);
    while (n < 0 && errno == EINTR);
    close(report[0]);
    return n == static_cast<ssize_t>(sizeof error) ? error : 0;
}

} // namespace

ProcessRun RunProcess(const std::vector<std::string> &argv, std::chrono::milliseconds limit, std::size_t outputCap)
{
    return RunProcess(argv, RunOptions{limit, true, true, outputCap});
}

ProcessRun RunProcess(const std::vector<std::string> &argv, const RunOptions &options)
{
    ProcessRun run;
    if (argv.empty())
        return run;
    int outPipe[2] = {-1, -1}, errPipe[2] = {-1, -1};
    if (options.capture && !OpenPipes(outPipe, errPipe))
        return run;
    pid_t pid = -1;
    const int spawned = Spawn(argv, argv[0], outPipe[1], errPipe[1], pid);
    CloseFd(outPipe[1]);
    CloseFd(errPipe[1]);
    if (spawned != 0)
    {
        CloseFd(outPipe[0]);
        CloseFd(errPipe[0]);
        return run;
    }
    run.started = true;
    const std::size_t outputCap = options.outputCap;
    const Clock::time_point end = Clock::now() + options.limit;
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
        // What it wrote before it ended is in the pipes; take it without waiting for anyone holding them, and
        // within the limit, since one that holds them may go on writing.
        for (int i = 0; i < 2; ++i)
            while (fds[i].fd >= 0 && MillisecondsLeft(end) > 0 && Drain(fds[i].fd, *sinks[i], outputCap))
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
        if (options.killWhenLate)
        {
            kill(pid, SIGKILL);
            WaitFor(pid);
        }
        else
            ReapLater(pid);
    }
    if (pidFd >= 0)
        close(pidFd);
    CloseFd(outPipe[0]);
    CloseFd(errPipe[0]);
    return run;
}

ProcessStart StartProcess(const std::vector<std::string> &argv, StartMode mode, const std::string &program)
{
    ProcessStart start;
    if (argv.empty())
    {
        start.error = ENOENT;
        return start;
    }
    const std::string &file = program.empty() ? argv[0] : program;
    if (mode == StartMode::Detached)
    {
        start.error = StartDetached(argv, file);
        return start;
    }
    pid_t pid = -1;
    start.error = Spawn(argv, file, -1, -1, pid);
    if (start.error != 0)
        return start;
    if (mode == StartMode::Kept)
        start.pid = pid;
    else
        ReapLater(pid);
    return start;
}

void StopProcess(int pid, std::chrono::milliseconds grace)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    const Clock::time_point end = Clock::now() + grace;
    ProcessRun ignored;
    while (!Reaped(pid, ignored))
    {
        if (Clock::now() >= end)
        {
            kill(pid, SIGKILL);
            WaitFor(pid);
            return;
        }
        usleep(10000);
    }
}

} // namespace izuzez::platform
