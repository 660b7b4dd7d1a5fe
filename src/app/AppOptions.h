#pragma once

#include <string>
#include <vector>

// The options of izuzez-utility, after Qt has taken its own.
struct AppOptions
{
    bool help = false;
    bool version = false;
    bool verbose = false;
    std::vector<std::string> interfaces; // empty: every local interface
};

struct AppOptionsResult
{
    bool ok = false;
    std::string error;
    AppOptions options;
};

AppOptionsResult ParseAppOptions(const std::vector<std::string> &args);

// True when --help or --version is among the arguments: answered before any window system is needed.
bool WantsTextOnly(const std::vector<std::string> &args);

std::string AppUsageText();
std::string AppVersionText();
