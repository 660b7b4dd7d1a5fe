#include "Config.h"
#include "Runner.h"

#include <CLI/CLI.hpp>

#include <algorithm>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace izuzez::devsim;

namespace
{

int g_stopPipe[2] = {-1, -1};

void OnStopSignal(int)
{
    const char byte = 1;
    const ssize_t ignored = write(g_stopPipe[1], &byte, 1);
    (void)ignored;
}

struct Options
{
    std::string configPath;
    std::vector<std::string> listen;
    std::string logPath;
    bool quiet = false;
    std::string duration;
    double durationSeconds = -1;
    bool help = false;
    bool version = false;
    bool printDefaultConfig = false;
};

// The one declaration of the options; the usage text is made from it.
void Declare(CLI::App &app, Options &o)
{
    app.name("izuzez-devsim");
    app.description("Simulates devices that answer searches, queries and settings on UDP port 13579 (group "
                    "224.0.0.1).");
    app.set_help_flag();
    app.add_option("--config", o.configPath,
                   "devices from a JSON file (default: three built-in devices on "
                   "127.0.0.1)")
        ->type_name("FILE");
    app.add_option("--listen", o.listen,
                   "local address or interface every device listens on; repeatable;\n"
                   "replaces the \"listen\" entries of the configuration")
        ->type_name("ADDR");
    app.add_option("--log", o.logPath, "write the log to FILE instead of stderr")->type_name("FILE");
    app.add_flag("--quiet", o.quiet, "log only the ready line, warnings and errors");
    app.add_option("--duration", o.duration, "exit after this many seconds")->type_name("SECONDS");
    app.add_flag("--print-default-config", o.printDefaultConfig, "print the built-in configuration and exit");
    app.add_flag("--help,-h", o.help, "show this text");
    app.add_flag("--version", o.version, "show the version");
    app.footer("Writes \"ready ...\" to the log once its sockets are up. Exits 0 on SIGTERM or SIGINT.");
}

std::string UsageText(const CLI::App &app)
{
    constexpr std::size_t kIndent = 27;
    std::string out = "Usage: izuzez-devsim [options]\n" + app.get_description() + "\n\n";
    for (const CLI::Option *option : app.get_options())
    {
        std::string head = "  --" + option->get_lnames().front();
        if (option->get_expected_max() > 0)
            head += " " + option->get_type_name();
        std::string description = option->get_description();
        for (std::size_t at = 0; (at = description.find('\n', at)) != std::string::npos; at += kIndent + 1)
            description.insert(at + 1, std::string(kIndent, ' '));
        out += head + std::string(kIndent - std::min(head.size() + 1, kIndent) + 1, ' ') + description + "\n";
    }
    return out + "\n" + app.get_footer() + "\n";
}

// Returns -1 to go on, otherwise the exit status.
int ParseOptions(int argc, char **argv, Options &options)
{
    CLI::App app;
    Declare(app, options);
    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::ArgumentMismatch &e)
    {
        const std::string what = e.what();
        std::fprintf(stderr, "izuzez-devsim: %s needs a value\n", what.substr(0, what.find(':')).c_str());
        return 2;
    }
    catch (const CLI::ExtrasError &)
    {
        const std::vector<std::string> extras = app.remaining();
        std::fprintf(stderr, "izuzez-devsim: unknown option \"%s\" (see --help)\n",
                     extras.empty() ? "" : extras.front().c_str());
        return 2;
    }
    catch (const CLI::ParseError &e)
    {
        std::fprintf(stderr, "izuzez-devsim: %s (see --help)\n", e.what());
        return 2;
    }
    if (options.help)
    {
        std::fputs(UsageText(app).c_str(), stdout);
        return 0;
    }
    if (options.version)
    {
        std::printf("izuzez-devsim %s\n", IZUZEZ_VERSION);
        return 0;
    }
    if (options.printDefaultConfig)
    {
        std::fputs(DefaultConfigText().c_str(), stdout);
        return 0;
    }
    if (app.count("--duration") > 0)
    {
        const std::string &value = options.duration;
        char *end = nullptr;
        options.durationSeconds = std::strtod(value.c_str(), &end);
        if (value.empty() || *end != '\0' || !(options.durationSeconds >= 0) || options.durationSeconds > 1e7)
        {
            std::fprintf(stderr, "izuzez-devsim: --duration needs a number of seconds, not \"%s\"\n", value.c_str());
            return 2;
        }
    }
    return -1;
}

bool InstallStopHandlers()
{
    if (pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action
    {
    };
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (const int status = ParseOptions(argc, argv, options); status >= 0)
        return status;

    ConfigResult config =
        options.configPath.empty() ? ParseConfig(DefaultConfigText()) : LoadConfigFile(options.configPath);
    if (!config.devices)
    {
        std::fprintf(stderr, "izuzez-devsim: %s\n", config.error.c_str());
        return 2;
    }
    if (!options.listen.empty())
        for (DeviceConfig &device : *config.devices)
            device.listen = options.listen;

    LogSink log;
    log.quiet = options.quiet;
    if (!options.logPath.empty())
    {
        log.out = std::fopen(options.logPath.c_str(), "w");
        if (!log.out)
        {
            std::fprintf(stderr, "izuzez-devsim: cannot write the log %s\n", options.logPath.c_str());
            return 2;
        }
    }
    if (!InstallStopHandlers())
    {
        std::fprintf(stderr, "izuzez-devsim: cannot install signal handlers\n");
        return 1;
    }
    std::string error;
    std::unique_ptr<Runner> runner = Runner::Create(std::move(*config.devices), error);
    if (!runner)
    {
        log.Always("error " + error);
        if (log.out != stderr)
            std::fprintf(stderr, "izuzez-devsim: %s\n", error.c_str());
        return 1;
    }
    std::optional<std::chrono::milliseconds> duration;
    if (options.durationSeconds >= 0)
        duration = std::chrono::milliseconds(static_cast<long long>(options.durationSeconds * 1000));
    runner->Run(log, g_stopPipe[0], duration);
    log.Always("stopped");
    if (log.out != stderr)
        std::fclose(log.out);
    return 0;
}
