// The web page launch through the command line: a small HTTP listener in the device's namespace, a
// refusing and a silent address, the http/https choice and the browser with its fallback.

#include <gtest/gtest.h>

#include "support/LabSuite.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace izuzez::test;
using namespace std::chrono_literals;

namespace
{

const char *const kDevices = R"({"devices": [
    {"name": "Secure", "address": "10.71.1.2", "ssl": "1", "listen": ["10.71.1.2"]},
    {"name": "Plain", "address": "10.71.2.2", "ssl": "0", "listen": ["10.71.2.2"]},
    {"name": "Refusing", "address": "10.71.1.4", "ssl": "0", "listen": ["10.71.1.2"]},
    {"name": "Silent", "address": "10.71.1.3", "ssl": "0", "listen": ["10.71.1.2"]}
]})";

// Accepts and closes connections on port 80 of the given addresses inside a namespace; counts them.
class WebListener
{
public:
    WebListener(const std::string &netns, const std::vector<std::string> &addresses)
    {
        for (const std::string &address : addresses)
            if (const int fd = ListenInNamespace(netns, address, 80); fd >= 0)
                m_fds.push_back(fd);
        m_thread = std::thread([this] { Serve(); });
    }
    ~WebListener()
    {
        m_stop = true;
        m_thread.join();
        for (int fd : m_fds)
            close(fd);
    }
    bool ready() const { return !m_fds.empty(); }
    int accepted() const { return m_accepted; }

private:
    void Serve()
    {
        std::vector<pollfd> fds;
        for (int fd : m_fds)
            fds.push_back({fd, POLLIN, 0});
        while (!m_stop)
        {
            if (poll(fds.data(), fds.size(), 50) <= 0)
                continue;
            for (const pollfd &p : fds)
            {
                if ((p.revents & POLLIN) == 0)
                    continue;
                const int client = accept(p.fd, nullptr, nullptr);
                if (client < 0)
                    continue;
                ++m_accepted;
                const char reply[] = "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n";
                [[maybe_unused]] const ssize_t n = write(client, reply, sizeof reply - 1);
                close(client);
            }
        }
    }

    std::vector<int> m_fds;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_accepted{0};
    std::thread m_thread;
};

class WebPageTest : public LabSuite<kDevices>
{
protected:
    static void SetUpTestSuite()
    {
        LabSuite::SetUpTestSuite();
        if (!s_lab)
            return;
        // A third address that nothing listens on: connections to it are refused at once.
        if (!s_lab->AddLanAddress("10.71.1.4"))
            s_failure = "cannot add 10.71.1.4 to the lan namespace";
        s_web = std::make_unique<WebListener>(s_lab->lan(), std::vector<std::string>{"10.71.1.2", "10.71.2.2"});
        if (!s_web->ready())
            s_failure = "the web listener could not bind in the device's namespace";
    }
    static void TearDownTestSuite()
    {
        s_web.reset();
        LabSuite::TearDownTestSuite();
    }
    void SetUp() override
    {
        LabSuite::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        std::filesystem::create_directories(m_dir.file("bin"));
        std::filesystem::create_directories(m_dir.file("share/applications"));
        std::filesystem::create_directories(m_dir.file("config"));
        // The desktop's opener, standing in for xdg-open.
        Script("xdg-open", "opened");
    }

    void Script(const std::string &name, const std::string &marker)
    {
        const std::string path = m_dir.file("bin/" + name);
        WriteFile(path, "#!/bin/sh\necho \"$1\" > '" + m_dir.file(marker) + "'\n");
        chmod(path.c_str(), 0755);
    }
    void Browser(const std::string &exec)
    {
        WriteFile(m_dir.file("share/applications/test-browser.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Test\nExec=" + exec + "\n");
        WriteFile(m_dir.file("config/mimeapps.list"),
                  "[Default Applications]\nx-scheme-handler/http=test-browser.desktop;\n");
    }
    RunResult Open(const std::vector<std::string> &args)
    {
        std::vector<std::string> argv{"env",
                                      "PATH=" + m_dir.file("bin") + ":/usr/bin:/bin",
                                      "XDG_CONFIG_HOME=" + m_dir.file("config"),
                                      "XDG_CONFIG_DIRS=" + m_dir.file("none"),
                                      "XDG_DATA_HOME=" + m_dir.file("none"),
                                      "XDG_DATA_DIRS=" + m_dir.file("share"),
                                      BinDir() + "/izuzez",
                                      "open"};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProgram(s_lab->InHost(argv), 20s);
    }
    // What a started script wrote, waiting a little for the detached process.
    std::string Marker(const std::string &name)
    {
        for (int i = 0; i < 300 && !std::filesystem::exists(m_dir.file(name)); ++i)
            std::this_thread::sleep_for(10ms);
        std::this_thread::sleep_for(20ms);
        return ReadFile(m_dir.file(name));
    }

    static inline std::unique_ptr<WebListener> s_web;
    TempDir m_dir;
};

TEST_F(WebPageTest, TheAddressFollowsTheDevicesSslAnswer)
{
    const int before = s_web->accepted();
    const std::pair<const char *, const char *> table[] = {
        {"10.71.1.2", "https://10.71.1.2\n"},
        {"10.71.2.2", "http://10.71.2.2\n"},
    };
    for (const auto &[ip, url] : table)
    {
        const RunResult run = Open({ip, "--print-url"});
        EXPECT_EQ(run.status, 0) << ip << ": " << run.err;
        EXPECT_EQ(run.out, url);
    }
    EXPECT_EQ(s_web->accepted(), before + 2) << "each run checks the web port once";
}

TEST_F(WebPageTest, ARefusalIsReportedAtOnceASilentDeviceAfterTwoSeconds)
{
    const RunResult refused = Open({"10.71.1.4", "--print-url"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("no longer available"), std::string::npos) << refused.err;
    const RunResult silent = Open({"10.71.1.3", "--print-url"});
    EXPECT_EQ(silent.status, 1);
    EXPECT_GE(silent.elapsed, 1900ms);
    EXPECT_LT(silent.elapsed, 6s);
    EXPECT_LT(refused.elapsed + 500ms, silent.elapsed);
}

TEST_F(WebPageTest, TheDefaultBrowserOpensTheAddressAndAMissingOneFallsBack)
{
    Script("test-browser", "browsed");
    Browser(m_dir.file("bin/test-browser") + " %u");
    RunResult run = Open({"10.71.1.2"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Marker("browsed"), "https://10.71.1.2\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("opened")));

    Browser(m_dir.file("no-such-folder/browser") + " %u");
    run = Open({"10.71.2.2"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Marker("opened"), "http://10.71.2.2\n");

    // No browser registered at all: the address alone fails to start, and the opener takes it.
    std::filesystem::remove(m_dir.file("opened"));
    std::filesystem::remove(m_dir.file("config/mimeapps.list"));
    run = Open({"10.71.2.2"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Marker("opened"), "http://10.71.2.2\n");
}

} // namespace
