#include "ShareCommands.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace izuzez::cli
{

namespace
{

constexpr const char *kHelper = "izuzez-shares";

// Beside the program in a build tree; under libexec once installed (/usr/bin/izuzez and
// /usr/libexec/izuzez/izuzez-shares).
std::string HelperPath()
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return std::string("/usr/libexec/izuzez/") + kHelper;
    const std::filesystem::path beside = self.parent_path() / kHelper;
    if (access(beside.c_str(), X_OK) == 0)
        return beside.string();
    return (self.parent_path().parent_path() / "libexec" / "izuzez" / kHelper).string();
}

} // namespace

std::optional<int> HandOverShareCommand(char **argv)
{
    const std::string helper = HelperPath();
    execv(helper.c_str(), argv);
    std::cerr << "izuzez: cannot run " << helper << ": " << std::strerror(errno) << "\n";
    return kExitDevice;
}

int RunCommand(const Options &options, DeviceSession &session, Console &console)
{
    return RunDeviceCommand(options, session, console);
}

} // namespace izuzez::cli
