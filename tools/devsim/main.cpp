#include "Config.h"
#include "Runner.h"

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

void onStopSignal(int)
{
    const char byte = 1;
    const ssize_t ignored = write(g_stopPipe[1], &byte, 1);
    (void)ignored;
}

const char kUsage[] = R"(Usage: izuzez-devsim [options]
Simulates devices that answer searches, queries and settings on UDP port 13579 (group 224.0.0.1).

  --config FILE            devices from a JSON file (default: three built-in devices on 127.0.0.1)
  --listen ADDR            local address or interface every device listens on; repeatable;
                           replaces the "listen" entries of the configuration
  --log FILE               write the log to FILE instead of stderr
  --quiet                  log only the ready line, warnings and errors
  --duration SECONDS       exit after this many seconds
  --print-default-config   print the built-in configuration and exit
  --help                   show this text
  --version                show the version

Writes "ready ..." to the log once its sockets are up. Exits 0 on SIGTERM or SIGINT.
)";

struct Options
{
    std::string configPath;
    std::vector<std::string> listen;
    std::string logPath;
    bool quiet = false;
    double durationSeconds = -1;
};

// Returns -1 to go on, otherwise the exit status.
int parseOptions(int argc, char **argv, Options &options)
{
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        std::string value;
        const bool takesValue = arg == "--config" || arg == "--listen" || arg == "--log" || arg == "--duration";
        if (const auto eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0)
        {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        }
        else if (takesValue)
        {
            if (i + 1 >= argc)
            {
                std::fprintf(stderr, "izuzez-devsim: %s needs a value\n", arg.c_str());
                return 2;
            }
            value = argv[++i];
        }
        if (arg == "--help" || arg == "-h")
        {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version")
        {
            std::printf("izuzez-devsim %s\n", IZUZEZ_VERSION);
            return 0;
        }
        if (arg == "--print-default-config")
        {
            std::fputs(defaultConfigText().c_str(), stdout);
            return 0;
        }
        if (arg == "--quiet")
            options.quiet = true;
        else if (arg == "--config")
            options.configPath = value;
        else if (arg == "--listen")
            options.listen.push_back(value);
        else if (arg == "--log")
            options.logPath = value;
        else if (arg == "--duration")
        {
            char *end = nullptr;
            options.durationSeconds = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !(options.durationSeconds >= 0) || options.durationSeconds > 1e7)
            {
                std::fprintf(stderr, "izuzez-devsim: --duration needs a number of seconds, not \"%s\"\n",
                             value.c_str());
                return 2;
            }
        }
        else
        {
            std::fprintf(stderr, "izuzez-devsim: unknown option \"%s\" (see --help)\n", arg.c_str());
            return 2;
        }
    }
    return -1;
}

bool installStopHandlers()
{
    if (pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action
    {
    };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (const int status = parseOptions(argc, argv, options); status >= 0)
        return status;

    ConfigResult config =
        options.configPath.empty() ? parseConfig(defaultConfigText()) : loadConfigFile(options.configPath);
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
    if (!installStopHandlers())
    {
        std::fprintf(stderr, "izuzez-devsim: cannot install signal handlers\n");
        return 1;
    }
    std::string error;
    std::unique_ptr<Runner> runner = Runner::create(std::move(*config.devices), error);
    if (!runner)
    {
        log.always("error " + error);
        if (log.out != stderr)
            std::fprintf(stderr, "izuzez-devsim: %s\n", error.c_str());
        return 1;
    }
    std::optional<std::chrono::milliseconds> duration;
    if (options.durationSeconds >= 0)
        duration = std::chrono::milliseconds(static_cast<long long>(options.durationSeconds * 1000));
    runner->run(log, g_stopPipe[0], duration);
    log.always("stopped");
    if (log.out != stderr)
        std::fclose(log.out);
    return 0;
}
