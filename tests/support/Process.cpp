#include "support/Process.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace izuzez::test
{

std::string BinDir()
{
    const char *dir = std::getenv("IZUZEZ_BIN_DIR");
    return dir ? dir : ".";
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "izuzez-e2e-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
}

void WriteFile(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

pid_t Spawn(const std::vector<std::string> &argv, const std::string &inFile, const std::string &outFile,
            const std::string &errFile)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inFile.empty() ? "/dev/null" : inFile.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.empty() ? "/dev/null" : outFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.empty() ? "/dev/null" : errFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // Its own process group, so that it never reads the terminal that runs the tests.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);

    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ) != 0)
        pid = -1;
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int WaitOrKill(pid_t pid, std::chrono::milliseconds limit, bool &timedOut)
{
    timedOut = false;
    if (pid <= 0)
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (true)
    {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0 && errno != EINTR)
            return -1;
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    timedOut = true;
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

bool InFreshProcess()
{
    constexpr const char *kMark = "IZUZEZ_FRESH_TEST";
    if (std::getenv(kMark) != nullptr)
        return true;
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::error_code ec;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    const RunResult run = RunProgram({"env", std::string(kMark) + "=1", self,
                                      std::string("--gtest_filter=") + info->test_suite_name() + "." + info->name()},
                                     std::chrono::seconds(60));
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    return false;
}

std::string InChild(const std::function<std::string()> &work, std::chrono::milliseconds limit)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0)
    {
        close(fds[0]);
        const std::string answer = work();
        const bool written = write(fds[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size());
        _exit(written ? 0 : 1);
    }
    close(fds[1]);
    bool timedOut = false;
    const int status = WaitOrKill(pid, limit, timedOut);
    // The child has ended: what it wrote waits in the pipe, and the read ends at its end.
    std::string answer;
    char buffer[4096];
    for (ssize_t n = 0; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(n));
    close(fds[0]);
    return status == 0 ? answer : std::string();
}

RunResult RunProgram(const std::vector<std::string> &argv, std::chrono::milliseconds limit, const std::string &input)
{
    TempDir dir;
    const std::string in = dir.file("in");
    WriteFile(in, input);
    RunResult result;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = Spawn(argv, in, dir.file("out"), dir.file("err"));
    result.status = WaitOrKill(pid, limit, result.timedOut);
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    result.out = ReadFile(dir.file("out"));
    result.err = ReadFile(dir.file("err"));
    return result;
}

Background::Background(const std::vector<std::string> &argv, const std::string &outFile, const std::string &errFile)
    : m_pid(Spawn(argv, "", outFile, errFile))
{
}

Background::~Background()
{
    Stop();
}

bool Background::running()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid)
    {
        m_pid = -1;
        return false;
    }
    return true;
}

bool Background::WaitForText(const std::string &file, const std::string &text, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true)
    {
        if (ReadFile(file).find(text) != std::string::npos)
            return true;
        if (!running() || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Background::Stop()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    bool timedOut = false;
    WaitOrKill(m_pid, std::chrono::milliseconds(2000), timedOut);
    m_pid = -1;
}

} // namespace izuzez::test
