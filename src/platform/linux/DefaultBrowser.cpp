#include "platform/linux/DefaultBrowser.h"

#include <algorithm>
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

// The value of a key in one group of a desktop-entry style text; empty when absent.
std::string GroupValue(std::string_view text, std::string_view group, std::string_view key)
{
    bool inGroup = false;
    for (std::size_t start = 0; start < text.size();)
    {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line[0] == '[')
        {
            inGroup = line.size() == group.size() + 2 && line.back() == ']' && line.substr(1, group.size()) == group;
            continue;
        }
        if (!inGroup || line.size() <= key.size() || line.substr(0, key.size()) != key)
            continue;
        std::size_t pos = key.size();
        while (pos < line.size() && line[pos] == ' ')
            ++pos;
        if (pos < line.size() && line[pos] == '=')
        {
            std::string_view value = line.substr(pos + 1);
            while (!value.empty() && value.front() == ' ')
                value.remove_prefix(1);
            return std::string(value);
        }
    }
    return {};
}

// The start of a file, as far as any of these is worth reading.
std::string FileHead(const std::string &path)
{
    constexpr std::size_t kLimit = 1 << 20;
    std::ifstream in(path, std::ios::binary);
    std::string text(kLimit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(kLimit));
    text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return text;
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
        for (const std::string &id : MimeAppsHttpHandlers(FileHead(list)))
        {
            if (!FindDesktopEntry(id).empty())
                return id;
        }
    }
    return {};
}

std::vector<std::string> MimeAppsHttpHandlers(std::string_view listText)
{
    return SplitList(GroupValue(listText, "Default Applications", "x-scheme-handler/http"), ';');
}

std::string DesktopEntryCommand(std::string_view desktopId)
{
    const std::string path = FindDesktopEntry(desktopId);
    return path.empty() ? std::string() : DesktopEntryExecCommand(FileHead(path));
}

std::string DesktopEntryExecCommand(std::string_view entryText)
{
    const std::string exec = GroupValue(entryText, "Desktop Entry", "Exec");
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
