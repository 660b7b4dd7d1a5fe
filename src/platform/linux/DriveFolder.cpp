#include "platform/linux/DriveFolder.h"

#include <cstdlib>
#include <string>

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace izuzez::platform
{

namespace
{

std::string DataHome()
{
    if (const char *xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/')
        return xdg;
    const char *home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share";
}

std::string FromEnvironment(const char *name, const char *fallback)
{
    if (const char *value = std::getenv(name); value != nullptr && value[0] != '\0')
        return value;
    return DataHome() + "/izuzez/" + fallback;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// GVfs escapes reserved characters of key values as %XX; a broken escape is kept as it stands.
std::string Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0)
        {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

// The target of a symbolic link, or empty when the entry is none or cannot be read.
std::string LinkTarget(const std::string &path)
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer)
        return {};
    return std::string(buffer, static_cast<std::size_t>(n));
}

bool IsDirectory(const std::string &path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

DriveFolder::DriveFolder(std::string drivesDir, std::string cDrive)
    : m_drivesDir(std::move(drivesDir)), m_cDrive(std::move(cDrive))
{
}

std::string DriveFolder::EntryPath(std::string_view localName) const
{
    const char letter = DriveLetterOf(localName);
    if (letter == 0)
        return {};
    return m_drivesDir + "/" + letter;
}

int DriveFolder::GetDriveType(std::string_view rootPath) const
{
    const char letter = DriveLetterOf(rootPath);
    if (letter == 0)
        return DRIVE_NO_ROOT_DIR;
    if (letter == 'C')
        return DRIVE_FIXED;
    const std::string entry = EntryPath(rootPath);
    struct stat st
    {
    };
    if (lstat(entry.c_str(), &st) != 0)
        return DRIVE_NO_ROOT_DIR;
    if (S_ISLNK(st.st_mode))
    {
        // A link whose mount has gone is a letter without a root, as a disconnected share.
        const std::string target = LinkTarget(entry);
        if (!IsDirectory(entry))
            return DRIVE_NO_ROOT_DIR;
        std::string server;
        std::string share;
        return ParseGvfsSmbPath(target, server, share) ? DRIVE_REMOTE : DRIVE_FIXED;
    }
    return S_ISDIR(st.st_mode) ? DRIVE_FIXED : DRIVE_UNKNOWN;
}

bool DriveFolder::GetConnection(std::string_view localName, std::string &remoteName) const
{
    if (GetDriveType(localName) != DRIVE_REMOTE)
        return false;
    std::string server;
    std::string share;
    if (!ParseGvfsSmbPath(LinkTarget(EntryPath(localName)), server, share))
        return false;
    std::string remote = "\\\\" + server + "\\" + share;
    if (remote.size() >= kRemoteNameBuffer)
        return false;
    remoteName = std::move(remote);
    return true;
}

std::string DefaultDrivesDirectory()
{
    return FromEnvironment("IZUZEZ_DRIVES_DIR", "drives");
}

std::string DefaultCDrive()
{
    return FromEnvironment("IZUZEZ_C_DRIVE", "c");
}

bool ParseGvfsSmbPath(std::string_view path, std::string &server, std::string &share)
{
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    if (const std::size_t slash = path.rfind('/'); slash != std::string_view::npos)
        path.remove_prefix(slash + 1);
    constexpr std::string_view kPrefix = "smb-share:";
    if (path.substr(0, kPrefix.size()) != kPrefix)
        return false;
    path.remove_prefix(kPrefix.size());
    std::string foundServer;
    std::string foundShare;
    while (!path.empty())
    {
        const std::size_t comma = path.find(',');
        const std::string_view pair = path.substr(0, comma);
        path = comma == std::string_view::npos ? std::string_view() : path.substr(comma + 1);
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos)
            return false;
        const std::string_view key = pair.substr(0, equals);
        if (key == "server")
            foundServer = Unescape(pair.substr(equals + 1));
        else if (key == "share")
            foundShare = Unescape(pair.substr(equals + 1));
    }
    // A backslash in either part would make the remote name ambiguous.
    if (foundServer.empty() || foundShare.empty() || foundServer.find('\\') != std::string::npos ||
        foundShare.find('\\') != std::string::npos)
        return false;
    server = std::move(foundServer);
    share = std::move(foundShare);
    return true;
}

std::unique_ptr<NetworkDrives> CreateNetworkDrives()
{
    return std::make_unique<DriveFolder>(DefaultDrivesDirectory(), DefaultCDrive());
}

} // namespace izuzez::platform
