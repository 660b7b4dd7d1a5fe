#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace izuzez::test
{

// Directory of the built programs (IZUZEZ_BIN_DIR, set by ctest).
std::string BinDir();

// A temporary directory removed with everything in it when the object goes.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    std::string file(const std::string &name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

void WriteFile(const std::string &path, const std::string &text);
std::string ReadFile(const std::string &path);

struct RunResult
{
    int status = -1; // exit status; -1 when it had to be killed or did not start
    std::string out;
    std::string err;
    std::chrono::milliseconds elapsed{0};
    bool timedOut = false;
};

// Runs argv to its end, at most `limit`, with `input` on standard input. A run that overstays is killed.
RunResult RunProgram(const std::vector<std::string> &argv, std::chrono::milliseconds limit,
                     const std::string &input = "");

// A program left running in the background, its output in files; stopped (by its pid) when the object goes.
class Background
{
public:
    Background(const std::vector<std::string> &argv, const std::string &outFile, const std::string &errFile);
    ~Background();
    Background(const Background &) = delete;
    Background &operator=(const Background &) = delete;

    bool running();
    // Waits, bounded, until `file` (its output, a log it writes) holds `text`. False when the text did not
    // come in time or the program ended first.
    bool WaitForText(const std::string &file, const std::string &text, std::chrono::milliseconds limit);
    void Stop();

private:
    pid_t m_pid = -1;
};

// Starts a child (stdio to the given files or /dev/null) and returns its pid, or -1.
pid_t Spawn(const std::vector<std::string> &argv, const std::string &inFile, const std::string &outFile,
            const std::string &errFile);
// Waits for the child until `limit`; kills it after that. Exit status or -1.
int WaitOrKill(pid_t pid, std::chrono::milliseconds limit, bool &timedOut);

// For what a library reads once per process (GLib the XDG environment): true in a fresh run of this program
// made for the running case alone, where the case goes on; false in the first run, which has just run the
// case there and reported its failure as its own.
bool InFreshProcess();

// Runs work in a forked copy of this process and returns its answer (a few lines at most); empty when the
// child failed or overstayed. What the parent has read once stays read: pair it with InFreshProcess.
std::string InChild(const std::function<std::string()> &work, std::chrono::milliseconds limit);

} // namespace izuzez::test
