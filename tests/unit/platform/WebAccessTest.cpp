// The Linux web layer: the reachability check and the probe before a mount on loopback, the default browser from the
// freedesktop files, and WinExec's codes for programs that are missing, broken or fine.

#include "platform/WebAccess.h"
#include "platform/FileManager.h"
#include "platform/linux/DefaultBrowser.h"
#include "platform/linux/DetachedExec.h"
#include "platform/linux/TcpProbe.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace izuzez::platform;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace
{

void Write(const fs::path &path, const std::string &text, bool executable = false)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
    if (executable)
        chmod(path.c_str(), 0755);
}

// A program that records its first argument as a line in `marker`.
std::string RecordingScript(const fs::path &marker)
{
    return "#!/bin/sh\necho \"$1\" > '" + marker.string() + "'\n";
}

// The line a detached RecordingScript wrote, waited for generously, since a loaded machine starts it late and
// the file is there, empty, before its line is: empty when no whole line came.
std::string RecordedLine(const fs::path &marker)
{
    for (int i = 0; i < 1000; ++i)
    {
        std::ifstream in(marker);
        std::string line;
        if (std::getline(in, line) && !in.eof())
            return line;
        std::this_thread::sleep_for(10ms);
    }
    return "";
}

// A listening socket on 127.0.0.1 that never accepts; with `fill`, its one queue place is taken, so that the
// kernel drops further connection requests unanswered, as an absent host leaves them.
class Listener
{
public:
    explicit Listener(bool fill = false)
    {
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
        listen(m_fd, 0);
        socklen_t length = sizeof address;
        getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
        if (fill)
        {
            m_filler = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            connect(m_filler, reinterpret_cast<sockaddr *>(&address), sizeof address);
        }
    }
    ~Listener()
    {
        if (m_filler >= 0)
            close(m_filler);
        close(m_fd);
    }
    std::uint16_t port() const { return m_port; }

private:
    int m_fd = -1;
    int m_filler = -1;
    std::uint16_t m_port = 0;
};

// A port nothing listens on: one that a listener had a moment ago.
std::uint16_t ClosedPort()
{
    return Listener().port();
}

// The probe before a mount and the web check share the timed connect.
TEST(TcpProbeTest, TellsAnsweredRefusedSilentAndNames)
{
    const Listener open;
    const Listener full(true);
    const std::uint16_t closed = ClosedPort();
    const struct
    {
        const char *name;
        std::string host;
        std::vector<std::uint16_t> ports;
        ProbeResult result;
        std::chrono::milliseconds atMost;
    } cases[] = {
        {"one port of two answers", "127.0.0.1", {closed, open.port()}, ProbeResult::Answered, 1000ms},
        {"every port refuses", "127.0.0.1", {closed}, ProbeResult::Refused, 1000ms},
        {"IPv6 loopback, closed", "::1", {closed}, ProbeResult::Refused, 1000ms},
        {"a full queue stays silent", "127.0.0.1", {full.port()}, ProbeResult::NoAnswer, 2000ms},
        {"a name", "nas.invalid", {445}, ProbeResult::NotAnAddress, 100ms},
        {"no ports", "127.0.0.1", {}, ProbeResult::NotAnAddress, 100ms},
    };
    for (const auto &c : cases)
    {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ProbeTcp(c.host, c.ports, 600ms), c.result) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, c.atMost) << c.name;
    }
}

TEST(WebAccessTest, TheCheckConnectsToTheAddressesPort)
{
    const auto web = CreateWebAccess();
    const Listener listener;
    EXPECT_TRUE(web->InternetCheckConnection("http://127.0.0.1:" + std::to_string(listener.port()) + "/"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(web->InternetCheckConnection("http://127.0.0.1:" + std::to_string(ClosedPort())));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "a refusal fails at once";
    for (const char *bad : {"", "127.0.0.1", "http://", "http://:80", "http://no-such-host.invalid/"})
        EXPECT_FALSE(web->InternetCheckConnection(bad)) << bad;
}

TEST(WebAccessTest, CommandLinesSplitIntoWords)
{
    const struct
    {
        const char *line;
        bool ok;
        std::vector<std::string> words;
    } cases[] = {
        {"firefox http://1.2.3.4", true, {"firefox", "http://1.2.3.4"}},
        {"\"/opt/my browser/run\"  --x  http://a", true, {"/opt/my browser/run", "--x", "http://a"}},
        {"\"a\\\"b\" c", true, {"a\"b", "c"}},
        {" http://a", true, {"http://a"}},
        {"\"\" x", true, {"", "x"}},
        {"\"open", false, {}},
    };
    for (const auto &c : cases)
    {
        std::vector<std::string> words;
        EXPECT_EQ(SplitCommandLine(c.line, words), c.ok) << c.line;
        if (c.ok)
        {
            EXPECT_EQ(words, c.words) << c.line;
        }
    }
}

class BrowserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS", "PATH"})
        {
            const char *value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("XDG_CONFIG_HOME", m_dir.file("config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", m_dir.file("etc").c_str(), 1);
        setenv("XDG_DATA_HOME", m_dir.file("data").c_str(), 1);
        setenv("XDG_DATA_DIRS", m_dir.file("share").c_str(), 1);
    }
    void TearDown() override
    {
        for (const auto &[name, value] : m_saved)
        {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

    izuzez::test::TempDir m_dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// GIO reads these folders once per process: this is the one case that looks a browser or file manager up.
TEST_F(BrowserTest, TheRegistryKeysAndTheFileManagerAnswerFromMimeAppsAndTheDesktopEntry)
{
    // GIO passes over entries whose program is missing; these run a script in a folder with a space.
    const std::string program = m_dir.file("web browser/web");
    Write(program, "#!/bin/sh\n", true);
    Write(m_dir.file("share/applications/web.desktop"), "[Desktop Entry]\nType=Application\nName=Web\nExec=\"" +
                                                            program +
                                                            "\" --new-window %u %%s\n"
                                                            "[Desktop Action x]\nExec=wrong\n");
    Write(m_dir.file("data/applications/other.desktop"), "[Desktop Entry]\nType=Application\nName=O\nExec=true %U\n");
    const fs::path opened = m_dir.file("opened");
    Write(m_dir.file("bin/files"), RecordingScript(opened), true);
    Write(m_dir.file("data/applications/files.desktop"),
          "[Desktop Entry]\nType=Application\nName=Files\nExec=" + m_dir.file("bin/files") + " %U\n");
    Write(m_dir.file("config/mimeapps.list"),
          "[Added Associations]\nx-scheme-handler/http=other.desktop;\n"
          "[Default Applications]\nx-scheme-handler/http=gone.desktop;web.desktop;\n"
          "inode/directory=files.desktop;\n");

    const auto web = CreateWebAccess();
    std::string value;
    ASSERT_TRUE(web->ReadRegistryString("Software\\Clients\\StartMenuInternet", value));
    EXPECT_EQ(value, "web.desktop");
    ASSERT_TRUE(
        web->ReadRegistryString("Software\\Clients\\StartMenuInternet\\web.desktop\\shell\\open\\command", value));
    EXPECT_EQ(value, "\"" + program + "\" --new-window %s");
    ASSERT_TRUE(
        web->ReadRegistryString("Software\\Clients\\StartMenuInternet\\other.desktop\\shell\\open\\command", value));
    EXPECT_EQ(value, "true");
    EXPECT_FALSE(
        web->ReadRegistryString("Software\\Clients\\StartMenuInternet\\gone.desktop\\shell\\open\\command", value));
    EXPECT_FALSE(web->ReadRegistryString("Software\\Clients\\StartMenuInternet\\..\\x\\shell\\open\\command", value));
    EXPECT_FALSE(web->ReadRegistryString("Software\\Other", value));

    EXPECT_GT(OpenInFileManager("/run/a share"), 31u);
    EXPECT_EQ(RecordedLine(opened), "/run/a share");
}

TEST_F(BrowserTest, WinExecAnswersWithTheOriginalCodes)
{
    Write(m_dir.file("bin/garbage"),
          "\x7f"
          "ELF not really",
          true);
    Write(m_dir.file("bin/plain"), "not executable");
    const fs::path marker = m_dir.file("started");
    Write(m_dir.file("bin/starter"), RecordingScript(marker), true);
    const fs::path opened = m_dir.file("opened");
    Write(m_dir.file("bin/xdg-open"), RecordingScript(opened), true);
    setenv("PATH", m_dir.file("bin").c_str(), 1);
    const auto web = CreateWebAccess();
    const struct
    {
        std::string command;
        unsigned code;
    } cases[] = {
        {"no-such-program http://a", 2},
        {m_dir.file("bin/missing") + " x", 2},
        {m_dir.file("no-folder/prog") + " x", 3},
        {m_dir.file("bin/garbage") + " x", 11},
        {m_dir.file("bin/plain") + " x", 5},
        {" http://a", 3}, // "http:" is no folder
        {"", 2},
        {"\"unterminated", 2},
    };
    for (const auto &c : cases)
        EXPECT_EQ(web->WinExec(c.command, 0), c.code) << c.command;

    EXPECT_GT(web->WinExec("starter http://10.0.0.1", 0), 31u);
    EXPECT_EQ(RecordedLine(marker), "http://10.0.0.1");
    // The explorer opens addresses with the desktop's opener.
    EXPECT_GT(web->WinExec("explorer https://10.0.0.2", 0), 31u);
    EXPECT_EQ(RecordedLine(opened), "https://10.0.0.2");
}

} // namespace
