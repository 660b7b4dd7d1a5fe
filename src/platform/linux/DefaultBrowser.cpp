#include "platform/linux/DefaultBrowser.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

namespace izuzez::platform
{

namespace
{

std::string WithoutFieldCodes(std::string_view exec)
{
    std::string command;
    for (std::size_t i = 0; i < exec.size(); ++i)
    {
        if (exec[i] != '%' || i + 1 >= exec.size())
        {
            command += exec[i];
            continue;
        }
        if (exec[i + 1] == '%')
            command += '%';
        // Every other field code stands for what we append ourselves, or for nothing; a code that is a
        // word of its own goes with the space before it.
        else if (!command.empty() && command.back() == ' ' && (i + 2 >= exec.size() || exec[i + 2] == ' '))
            command.pop_back();
        ++i;
    }
    while (!command.empty() && command.back() == ' ')
        command.pop_back();
    return command;
}

// The desktop entry id of a handler GIO found, which it gives up.
std::string IdOf(GAppInfo *info)
{
    if (info == nullptr)
        return {};
    const char *id = g_app_info_get_id(info);
    std::string value = id != nullptr ? id : "";
    g_object_unref(info);
    return value;
}

} // namespace

std::string DefaultBrowserId()
{
    return IdOf(g_app_info_get_default_for_uri_scheme("http"));
}

std::string DefaultFileManagerId()
{
    return IdOf(g_app_info_get_default_for_type("inode/directory", FALSE));
}

std::string DesktopEntryCommand(std::string_view desktopId)
{
    // An id names an entry inside the folders, never a path.
    if (desktopId.empty() || desktopId.find('/') != std::string_view::npos)
        return {};
    const std::string id(desktopId);
    GDesktopAppInfo *info = g_desktop_app_info_new(id.c_str());
    if (info == nullptr)
        return {};
    const char *exec = g_app_info_get_commandline(G_APP_INFO(info));
    std::string command = exec != nullptr ? WithoutFieldCodes(exec) : "";
    g_object_unref(info);
    return command;
}

bool SplitCommandLine(std::string_view commandLine, std::vector<std::string> &words)
{
    words.clear();
    if (commandLine.find('\0') != std::string_view::npos)
        return false;
    const std::string line(commandLine);
    char **argv = nullptr;
    if (!g_shell_parse_argv(line.c_str(), nullptr, &argv, nullptr))
        return false;
    for (char **word = argv; *word != nullptr; ++word)
        words.emplace_back(*word);
    g_strfreev(argv);
    return true;
}

} // namespace izuzez::platform
