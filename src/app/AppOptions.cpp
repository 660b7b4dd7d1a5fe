#include "app/AppOptions.h"

#include "version.h"

#include <arpa/inet.h>

namespace
{

bool IsDotted(const std::string &text)
{
    in_addr address{};
    return inet_pton(AF_INET, text.c_str(), &address) == 1;
}

} // namespace

AppOptionsResult ParseAppOptions(const std::vector<std::string> &args)
{
    AppOptionsResult result;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string &arg = args[i];
        if (arg == "--help" || arg == "-h")
            result.options.help = true;
        else if (arg == "--version")
            result.options.version = true;
        else if (arg == "--verbose")
            result.options.verbose = true;
        else if (arg == "--interface" || arg.rfind("--interface=", 0) == 0)
        {
            std::string address;
            if (arg == "--interface")
            {
                if (i + 1 >= args.size())
                {
                    result.error = "--interface needs a local IPv4 address";
                    return result;
                }
                address = args[++i];
            }
            else
            {
                address = arg.substr(std::string("--interface=").size());
            }
            if (!IsDotted(address))
            {
                result.error = "--interface: '" + address + "' is not an IPv4 address";
                return result;
            }
            result.options.interfaces.push_back(address);
        }
        else
        {
            result.error = "unknown argument '" + arg + "'";
            return result;
        }
    }
    result.ok = true;
    return result;
}

bool WantsTextOnly(const std::vector<std::string> &args)
{
    for (const std::string &arg : args)
    {
        if (arg == "--help" || arg == "-h" || arg == "--version")
            return true;
    }
    return false;
}

std::string AppUsageText()
{
    return "Usage: izuzez-utility [--interface ADDR]... [--verbose]\n"
           "       izuzez-utility --version | --help\n"
           "\n"
           "Opens the window that finds the devices on the local network and manages the one you pick.\n"
           "  --interface ADDR  search only from this local IPv4 address (repeatable; default: every interface)\n"
           "  --verbose         print the protocol's diagnostic lines on standard error\n"
           "  --version         print the version and exit\n";
}

std::string AppVersionText()
{
    return std::string("izuzez-utility ") + izuzez::kVersionText + "\n";
}
