#include "platform/linux/DetachedExec.h"

#include "platform/RunProcess.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include <sys/stat.h>
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

} // namespace

unsigned StartDetached(const std::vector<std::string> &argv)
{
    if (argv.empty())
        return kFileNotFound;
    std::string path;
    unsigned code = 0;
    if (!Resolve(argv[0], path, code))
        return code;
    const int error = StartProcess(argv, StartMode::Detached, path).error;
    return error == 0 ? kStarted : CodeOfErrno(error);
}

std::string FirstLineOf(const std::vector<std::string> &argv, std::chrono::milliseconds limit)
{
    const ProcessRun run = RunProcess(argv, RunOptions{limit, true, true, 4096});
    return run.out.substr(0, run.out.find('\n'));
}

} // namespace izuzez::platform
