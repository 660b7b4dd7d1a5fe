#include "platform/TerminalPassword.h"

#include <csignal>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace izuzez::platform
{
namespace
{

void WriteAll(int fd, const char *text)
{
    std::size_t left = std::strlen(text);
    while (left > 0)
    {
        const ssize_t n = write(fd, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= static_cast<std::size_t>(n);
    }
}

// Reads up to the line end, a byte at a time so that nothing after it is consumed. A long line is read to its
// end (so that it does not reach the shell) but only limit + 2 bytes are kept; the caller refuses it by length.
std::string ReadLine(int fd, std::size_t limit)
{
    std::string line;
    bool cut = false;
    char c = 0;
    while (read(fd, &c, 1) == 1 && c != '\n')
    {
        if (line.size() < limit + 2)
            line += c;
        else
            cut = true;
    }
    if (!cut && !line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

// The terminal state to put back if the user interrupts the prompt; echo must not stay off.
int g_ttyFd = -1;
termios g_savedTty{};

void RestoreAndDie(int signal)
{
    if (g_ttyFd >= 0)
        tcsetattr(g_ttyFd, TCSAFLUSH, &g_savedTty);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

std::string PasswordFromLine(std::istream &in, std::size_t limit)
{
    std::string line;
    bool ended = false;
    // Room for the password, a '\r' and one byte more, which tells "too long" apart from "just fits".
    while (line.size() < limit + 2)
    {
        const int c = in.get();
        if (c == std::char_traits<char>::eof() || c == '\n')
        {
            ended = true;
            break;
        }
        line += static_cast<char>(c);
    }
    if (ended && !line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::optional<std::string> PasswordFromTerminal(const char *prompt, std::size_t limit)
{
    const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    termios saved{};
    const bool isTerminal = tcgetattr(fd, &saved) == 0;
    if (isTerminal)
    {
        g_savedTty = saved;
        g_ttyFd = fd;
        std::signal(SIGINT, RestoreAndDie);
        std::signal(SIGTERM, RestoreAndDie);
        std::signal(SIGHUP, RestoreAndDie);
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    WriteAll(fd, prompt);
    std::string password = ReadLine(fd, limit);
    if (isTerminal)
    {
        tcsetattr(fd, TCSAFLUSH, &saved);
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGHUP, SIG_DFL);
        g_ttyFd = -1;
    }
    close(fd);
    return password;
}

} // namespace izuzez::platform
