// The web page launch through the command line: web ports in the device's namespace, a refusing and a silent
// address, the http/https choice and the browser with its fallback.

#include <gtest/gtest.h>

#include "support/LabSuite.h"

#include <filesystem>
#include <memory>
#include <thread>

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

// Port 80 of the given addresses in a namespace. The kernel completes a connection into the backlog without
// an accept, which is all the program's check needs; the backlog has room for every run of the suite.
struct WebPorts
{
    std::vector<int> fds;
    WebPorts(const std::string &netns, const std::vector<std::string> &addresses)
    {
        for (const std::string &address : addresses)
            if (const int fd = ListenInNamespace(netns, address, 80); fd >= 0)
                fds.push_back(fd);
    }
    ~WebPorts()
    {
        for (int fd : fds)
            close(fd);
    }
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
        s_web = std::make_unique<WebPorts>(s_lab->lan(), std::vector<std::string>{"10.71.1.2", "10.71.2.2"});
        if (s_web->fds.size() != 2)
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

    static inline std::unique_ptr<WebPorts> s_web;
    TempDir m_dir;
};

// The address follows the device's ssl answer once its web port answers; a refusal ends the wait at once,
// silence after two seconds.
TEST_F(WebPageTest, TheAddressOnceTheWebPortAnswers)
{
    const struct
    {
        const char *ip;
        int status;
        const char *out;
    } cases[] = {{"10.71.1.2", 0, "https://10.71.1.2\n"},
                 {"10.71.2.2", 0, "http://10.71.2.2\n"},
                 {"10.71.1.4", 1, ""},
                 {"10.71.1.3", 1, ""}};
    std::vector<RunResult> runs;
    for (const auto &c : cases)
    {
        runs.push_back(Open({c.ip, "--print-url"}));
        EXPECT_EQ(runs.back().status, c.status) << c.ip << ": " << runs.back().err;
        EXPECT_EQ(runs.back().out, c.out) << c.ip;
    }
    EXPECT_NE(runs[2].err.find("no longer available"), std::string::npos) << runs[2].err;
    EXPECT_GE(runs[3].elapsed, 1900ms);
    EXPECT_LT(runs[3].elapsed, 6s);
    EXPECT_LT(runs[2].elapsed + 500ms, runs[3].elapsed);
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
}

} // namespace
