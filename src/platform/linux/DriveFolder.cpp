#include "platform/linux/DriveFolder.h"

#include "platform/RemoteName.h"
#include "platform/SystemInfo.h"
#include "platform/linux/IsDirectory.h"
#include "platform/linux/ShareMounter.h"
#include "platform/linux/UriEscape.h"
#include "platform/linux/XdgFolders.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <glib.h>

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace izuzez::platform
{

namespace
{

constexpr const char *kRecordGroup = "Drive";

std::string FromEnvironment(const char *name, const char *fallback)
{
    if (const char *value = std::getenv(name); value != nullptr && value[0] != '\0')
        return value;
    return UserDataDir() + "/izuzez/" + fallback;
}

// GVfs escapes reserved characters of key values as %XX; a value with a broken escape is kept as it stands.
std::string Unescape(std::string_view text)
{
    std::string out;
    return UnescapeUriPart(text, out) ? out : std::string(text);
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

// Remote names are compared as the original platform does, ignoring the case of ASCII letters.
bool SameRemoteName(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

using Sidecar = DriveRecord;

// A note is a few short lines; more than this is not one of ours.
constexpr std::size_t kSidecarLimit = 4096;

Sidecar ReadSidecar(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text(kSidecarLimit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(kSidecarLimit));
    text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return ParseDriveRecord(text);
}

bool WriteSidecar(const std::string &path, const Sidecar &values)
{
    const std::string text = FormatDriveRecord(values);
    return g_file_set_contents(path.c_str(), text.data(), static_cast<gssize>(text.size()), nullptr) != FALSE;
}

// The notes written before they became key files: "key=value" lines without a group, the last of a key
// winning, at most 16 lines read.
DriveRecord ParseGrouplessRecord(std::string_view text)
{
    DriveRecord values;
    for (int i = 0; i < 16 && !text.empty(); ++i)
    {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (const std::size_t equals = line.find('='); equals != std::string_view::npos)
            values[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
    }
    return values;
}

} // namespace

DriveFolder::DriveFolder(std::string drivesDir, std::string cDrive, std::shared_ptr<ShareMounter> mounter)
    : m_drivesDir(std::move(drivesDir)), m_cDrive(std::move(cDrive)), m_mounter(std::move(mounter))
{
}

std::string DriveFolder::SidecarPath(char letter) const
{
    return m_drivesDir + "/." + letter + ".conn";
}

ShareMounter &DriveFolder::Mounter()
{
    if (!m_mounter)
        m_mounter = CreateGioMounter();
    return *m_mounter;
}

bool DriveFolder::OtherLetterUses(char letter, const std::string &target) const
{
    for (char other = 'A'; other <= 'Z'; ++other)
    {
        if (other != letter && LinkTarget(m_drivesDir + "/" + other) == target)
            return true;
    }
    return false;
}

bool DriveFolder::CanTake(char letter, std::string_view remoteName) const
{
    const std::string entry = m_drivesDir + "/" + letter;
    struct stat st
    {
    };
    // A link whose mount has gone holds nothing; a live link, a folder or a file keeps the letter.
    if (lstat(entry.c_str(), &st) == 0 && (!S_ISLNK(st.st_mode) || IsDirectory(entry)))
        return false;
    Sidecar values = ReadSidecar(SidecarPath(letter));
    return values["remember"] != "1" || values["remote"].empty() || SameRemoteName(values["remote"], remoteName);
}

int DriveFolder::AddConnection(std::string_view localName, std::string_view remoteName, const char *password,
                               const char *userName, unsigned flags)
{
    const char letter = DriveLetterOf(localName);
    if (letter == 0 || localName.size() != 2)
        return ERROR_BAD_DEVICE;
    MountRequest request;
    if (!SplitRemoteName(remoteName, request.server, request.share))
        return ERROR_BAD_NET_NAME;
    const std::string entry = EntryPath(localName);
    if (letter == 'C' || !CanTake(letter, remoteName))
        return ERROR_ALREADY_ASSIGNED;

    // A null name is the logged-on user's; a null password is his own, which we do not have, so empty.
    std::string user;
    if (userName != nullptr)
        user = userName;
    else
        GetUser(user);
    if (const std::size_t slash = user.find('\\'); slash != std::string::npos)
    {
        request.domain = user.substr(0, slash);
        request.user = user.substr(slash + 1);
    }
    else
        request.user = user;
    request.password = password != nullptr ? password : "";
    request.anonymous = request.user.empty() && request.password.empty();
    request.interactive = (flags & CONNECT_INTERACTIVE) != 0;
    request.remoteName = std::string(remoteName);

    std::string localPath;
    if (const int result = Mounter().Mount(request, localPath); result != NO_ERROR)
        return result;
    std::error_code ec;
    std::filesystem::create_directories(m_drivesDir, ec);
    // The link left by the mapping this one replaces points nowhere; a live one stays and the link below fails.
    if (!IsDirectory(entry))
        unlink(entry.c_str());
    const Sidecar values = {{"remote", request.remoteName},
                            {"user", user},
                            {"remember", (flags & CONNECT_UPDATE_PROFILE) != 0 ? "1" : "0"}};
    if (symlink(localPath.c_str(), entry.c_str()) != 0 || !WriteSidecar(SidecarPath(letter), values))
    {
        unlink(entry.c_str());
        std::remove(SidecarPath(letter).c_str());
        if (!OtherLetterUses(letter, localPath))
            Mounter().Unmount(request.server, request.share, true);
        return ERROR_BAD_DEVICE;
    }
    return NO_ERROR;
}

int DriveFolder::CancelConnection(std::string_view localName, unsigned flags, bool force)
{
    const char letter = DriveLetterOf(localName);
    if (letter == 0 || letter == 'C')
        return ERROR_NOT_CONNECTED;
    const std::string entry = EntryPath(localName);
    const std::string sidecarPath = SidecarPath(letter);
    Sidecar values = ReadSidecar(sidecarPath);
    const std::string target = LinkTarget(entry);
    std::string server;
    std::string share;
    // Only letters that are ours: a link to a GVfs share or one with our sidecar.
    const bool ours = !values.empty() || ParseGvfsSmbPath(target, server, share);
    if (target.empty() || !ours)
    {
        // A remembered letter whose link went away with the last session is forgotten all the same.
        if (!values.empty() && (flags & CONNECT_UPDATE_PROFILE) != 0 && target.empty())
        {
            std::remove(sidecarPath.c_str());
            return NO_ERROR;
        }
        return ERROR_NOT_CONNECTED;
    }
    if (values.count("remote") == 0 || !SplitRemoteName(values["remote"], server, share))
        ParseGvfsSmbPath(target, server, share);
    if (unlink(entry.c_str()) != 0)
        return ERROR_ACCESS_DENIED;
    if (!OtherLetterUses(letter, target) && IsDirectory(target))
    {
        const int result = Mounter().Unmount(server, share, force);
        if (result != NO_ERROR && !force)
        {
            // Still in use: the letter stays as it was.
            if (symlink(target.c_str(), entry.c_str()) != 0)
                return ERROR_EXTENDED_ERROR;
            return result;
        }
    }
    // Without the profile flag a remembered letter comes back at the next session.
    if ((flags & CONNECT_UPDATE_PROFILE) != 0 || values["remember"] != "1")
        std::remove(sidecarPath.c_str());
    return NO_ERROR;
}

int DriveFolder::GetUser(std::string &userName) const
{
    return CreateSystemInfo()->GetUserName(userName) ? NO_ERROR : ERROR_NO_NETWORK;
}

std::string DriveFolder::LocalPath(std::string_view localName) const
{
    if (GetDriveType(localName) != DRIVE_REMOTE)
        return {};
    return LinkTarget(EntryPath(localName));
}

std::vector<RememberedDrive> DriveFolder::DisconnectedRemembered() const
{
    std::vector<RememberedDrive> found;
    for (char letter = 'Z'; letter >= 'A'; --letter)
    {
        Sidecar values = ReadSidecar(SidecarPath(letter));
        const std::string localName{letter, ':'};
        if (values["remember"] != "1" || values["remote"].empty() || GetDriveType(localName) == DRIVE_REMOTE)
            continue;
        found.push_back({localName, values["remote"], values["user"]});
    }
    return found;
}

bool DriveFolder::FinishLateWork(std::chrono::steady_clock::time_point until)
{
    return WaitForLateMountWork(until);
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
        const bool mapped = ParseGvfsSmbPath(target, server, share) || ReadSidecar(SidecarPath(letter)).count("remote");
        return mapped ? DRIVE_REMOTE : DRIVE_FIXED;
    }
    return S_ISDIR(st.st_mode) ? DRIVE_FIXED : DRIVE_UNKNOWN;
}

bool DriveFolder::GetConnection(std::string_view localName, std::string &remoteName) const
{
    if (GetDriveType(localName) != DRIVE_REMOTE)
        return false;
    std::string server;
    std::string share;
    // The name as it was mapped wins over the lower-cased one in GVfs's folder name.
    const char letter = DriveLetterOf(localName);
    Sidecar values = ReadSidecar(SidecarPath(letter));
    if (values.count("remote") == 0 || !SplitRemoteName(values["remote"], server, share))
    {
        if (!ParseGvfsSmbPath(LinkTarget(EntryPath(localName)), server, share))
            return false;
    }
    std::string remote = JoinRemoteName(server, share);
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

DriveRecord ParseDriveRecord(std::string_view text)
{
    GKeyFile *file = g_key_file_new();
    if (g_key_file_load_from_data(file, text.data(), text.size(), G_KEY_FILE_NONE, nullptr) == FALSE)
    {
        g_key_file_free(file);
        return ParseGrouplessRecord(text);
    }
    DriveRecord values;
    gchar **keys = g_key_file_get_keys(file, kRecordGroup, nullptr, nullptr);
    for (gchar **key = keys; key != nullptr && *key != nullptr; ++key)
    {
        // Raw values: the names keep their backslashes, as the notes without a group have them.
        if (gchar *value = g_key_file_get_value(file, kRecordGroup, *key, nullptr); value != nullptr)
        {
            values[*key] = value;
            g_free(value);
        }
    }
    g_strfreev(keys);
    g_key_file_free(file);
    return values;
}

std::string FormatDriveRecord(const DriveRecord &record)
{
    GKeyFile *file = g_key_file_new();
    for (const auto &[key, value] : record)
        g_key_file_set_value(file, kRecordGroup, key.c_str(), value.c_str());
    gsize size = 0;
    gchar *data = g_key_file_to_data(file, &size, nullptr);
    std::string text(data, size);
    g_free(data);
    g_key_file_free(file);
    return text;
}

std::unique_ptr<NetworkDrives> CreateNetworkDrives()
{
    return std::make_unique<DriveFolder>(DefaultDrivesDirectory(), DefaultCDrive());
}

} // namespace izuzez::platform
