#include "platform/StopSignals.h"

#include <algorithm>
#include <atomic>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

namespace izuzez::platform
{
namespace
{

int g_stopPipe[2] = {-1, -1};
volatile std::sig_atomic_t g_stopStatus = 0;
// Outside the wait a stop ends the program at once: a write that a full pipe or a stopped terminal holds
// would never come back to look at the pipe.
std::atomic<bool> g_stopAtOnce{true};
static_assert(std::atomic<bool>::is_always_lock_free, "read in a signal handler");

void OnStopSignal(int)
{
    if (g_stopAtOnce.load())
        _exit(g_stopStatus);
    const char byte = 1;
    const ssize_t ignored = write(g_stopPipe[1], &byte, 1);
    (void)ignored;
}

} // namespace

bool InstallStopHandlers(int status)
{
    g_stopStatus = status;
    if (pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action
    {
    };
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

bool WaitOrStop(std::chrono::milliseconds interval)
{
    pollfd fds[2] = {{g_stopPipe[0], POLLIN, 0}, {STDOUT_FILENO, 0, 0}};
    const auto end = std::chrono::steady_clock::now() + interval;
    g_stopAtOnce = false;
    bool stop = false;
    for (;;)
    {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        const int ready = poll(fds, 2, static_cast<int>(std::max<long long>(left, 0)));
        if (ready == 0)
            break;
        if (ready < 0)
            continue;
        if (fds[1].revents & POLLNVAL)
            fds[1].fd = -1; // no output at all: its writes say so
        if ((fds[0].revents & POLLIN) || (fds[1].revents & (POLLERR | POLLHUP)))
        {
            stop = true;
            break;
        }
    }
    g_stopAtOnce = true;
    // A signal that came between the poll and the line above is in the pipe.
    pollfd late{g_stopPipe[0], POLLIN, 0};
    return stop || poll(&late, 1, 0) > 0;
}

} // namespace izuzez::platform
