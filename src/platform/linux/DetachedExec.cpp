#include "platform/linux/DetachedExec.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace izuzez::platform
{

namespace
{

constexpr unsigned kStarted = 33;
constexpr unsigned kFileNotFound = 2;
constexpr unsigned kPathNotFound = 3;
constexpr unsigned kAccessDenied = 5;
constexpr unsigned kBadFormat = 11;

unsigned CodeOfErrno(int error)
{
    switch (error)
    {
    case ENOENT:
        return kFileNotFound;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
        return kPathNotFound;
    case ENOEXEC:
    case ELIBBAD:
    case EISDIR:
        return kBadFormat;
    case EACCES:
    case EPERM:
        return kAccessDenied;
    default:
        return 0;
    }
}

// The program's path: as given when it has a slash, else the first executable match in PATH.
bool Resolve(const std::string &program, std::string &path, unsigned &code)
{
    if (program.empty())
    {
        code = kFileNotFound;
        return false;
    }
    if (program.find('/') != std::string::npos)
    {
        struct stat st
        {
        };
        if (stat(program.c_str(), &st) != 0)
        {
            const int error = errno;
            const std::string parent = program.substr(0, program.rfind('/'));
            const bool parentThere = parent.empty() || stat(parent.c_str(), &st) == 0;
            code = error != ENOENT ? CodeOfErrno(error) : parentThere ? kFileNotFound : kPathNotFound;
            return false;
        }
        path = program;
        return true;
    }
    const char *env = std::getenv("PATH");
    std::stringstream dirs(env != nullptr ? env : "/usr/local/bin:/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
    {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0)
        {
            path = candidate;
            return true;
        }
    }
    code = kFileNotFound;
    return false;
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

} // namespace

unsigned StartDetached(const std::vector<std::string> &argv)
{
    if (argv.empty())
        return kFileNotFound;
    std::string path;
    unsigned code = 0;
    if (!Resolve(argv[0], path, code))
        return code;
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return 0;
    const pid_t child = fork();
    if (child < 0)
    {
        close(report[0]);
        close(report[1]);
        return 0;
    }
    if (child == 0)
    {
        // The grandchild belongs to init once we leave, so nobody has to wait for it.
        setsid();
        signal(SIGPIPE, SIG_DFL);
        if (fork() != 0)
            _exit(0);
        ToDevNull();
        execv(path.c_str(), args.data());
        const int error = errno;
        [[maybe_unused]] const ssize_t n = write(report[1], &error, sizeof error);
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR)
    {
    }
    int error = 0;
    ssize_t n = 0;
    do
        n = read(report[0], &error, sizeof error);
    while (n < 0 && errno == EINTR);
    close(report[0]);
    if (n == static_cast<ssize_t>(sizeof error))
        return CodeOfErrno(error);
    return kStarted;
}

std::string FirstLineOf(const std::vector<std::string> &argv, std::chrono::milliseconds limit)
{
    if (argv.empty())
        return {};
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return {};
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0)
    {
        ToDevNull();
        dup2(out[1], 1);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (child > 0 && text.find('\n') == std::string::npos && text.size() < 4096)
    {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd fd{out[0], POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[256];
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    if (child > 0)
    {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    text = text.substr(0, text.find('\n'));
    return text;
}

} // namespace izuzez::platform
