#include "platform/linux/DefaultBrowser.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace izuzez::platform
{

namespace
{

std::string Environment(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string HomeDir(const char *variable, const char *fallback)
{
    const std::string value = Environment(variable);
    if (!value.empty() && value[0] == '/')
        return value;
    return Environment("HOME") + fallback;
}

std::vector<std::string> SplitList(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator))
    {
        if (!part.empty())
            parts.push_back(part);
    }
    return parts;
}

std::vector<std::string> DataDirs()
{
    std::vector<std::string> dirs = SplitList(Environment("XDG_DATA_DIRS"), ':');
    if (dirs.empty())
        dirs = {"/usr/local/share", "/usr/share"};
    return dirs;
}

// The value of a key in one group of a desktop-entry style file; empty when absent.
std::string GroupValue(const std::string &path, std::string_view group, std::string_view key)
{
    std::ifstream in(path);
    std::string line;
    bool inGroup = false;
    for (int i = 0; i < 10000 && std::getline(in, line); ++i)
    {
        if (!line.empty() && line[0] == '[')
        {
            inGroup = line == "[" + std::string(group) + "]";
            continue;
        }
        if (!inGroup || line.size() <= key.size() || line.compare(0, key.size(), key) != 0)
            continue;
        std::size_t pos = key.size();
        while (pos < line.size() && line[pos] == ' ')
            ++pos;
        if (pos < line.size() && line[pos] == '=')
        {
            std::string value = line.substr(pos + 1);
            value.erase(0, value.find_first_not_of(' '));
            return value;
        }
    }
    return {};
}

std::string FindDesktopEntry(std::string_view desktopId)
{
    if (desktopId.empty() || desktopId.find('/') != std::string_view::npos)
        return {};
    for (const std::string &dir : ApplicationDirectories())
    {
        const std::string path = dir + "/" + std::string(desktopId);
        if (access(path.c_str(), R_OK) == 0)
            return path;
    }
    return {};
}

} // namespace

std::vector<std::string> ApplicationDirectories()
{
    std::vector<std::string> dirs{HomeDir("XDG_DATA_HOME", "/.local/share") + "/applications"};
    for (const std::string &dir : DataDirs())
        dirs.push_back(dir + "/applications");
    return dirs;
}

std::string DefaultBrowserFromMimeApps()
{
    std::vector<std::string> lists{HomeDir("XDG_CONFIG_HOME", "/.config") + "/mimeapps.list"};
    std::vector<std::string> configDirs = SplitList(Environment("XDG_CONFIG_DIRS"), ':');
    if (configDirs.empty())
        configDirs = {"/etc/xdg"};
    for (const std::string &dir : configDirs)
        lists.push_back(dir + "/mimeapps.list");
    for (const std::string &dir : ApplicationDirectories())
        lists.push_back(dir + "/mimeapps.list");
    for (const std::string &list : lists)
    {
        for (const std::string &id : SplitList(GroupValue(list, "Default Applications", "x-scheme-handler/http"), ';'))
        {
            if (!FindDesktopEntry(id).empty())
                return id;
        }
    }
    return {};
}

std::string DesktopEntryCommand(std::string_view desktopId)
{
    const std::string path = FindDesktopEntry(desktopId);
    if (path.empty())
        return {};
    const std::string exec = GroupValue(path, "Desktop Entry", "Exec");
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

bool SplitCommandLine(std::string_view commandLine, std::vector<std::string> &words)
{
    words.clear();
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t i = 0; i < commandLine.size(); ++i)
    {
        const char c = commandLine[i];
        if (quoted)
        {
            if (c == '\\' && i + 1 < commandLine.size())
                word += commandLine[++i];
            else if (c == '"')
                quoted = false;
            else
                word += c;
        }
        else if (c == '"')
        {
            quoted = true;
            inWord = true;
        }
        else if (c == ' ' || c == '\t')
        {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        }
        else
        {
            word += c;
            inWord = true;
        }
    }
    if (quoted)
        return false;
    if (inWord)
        words.push_back(word);
    return true;
}

} // namespace izuzez::platform
