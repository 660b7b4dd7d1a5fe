#include "platform/WinFiles.h"

#include "platform/linux/DriveFolder.h"
#include "platform/linux/MountedShares.h"
#include "platform/linux/UriEscape.h"

#include <libsmbclient.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace izuzez::platform
{

struct WinFile
{
    std::FILE *local = nullptr;
    int remote = -1;
};

namespace
{
constexpr int kErrorBadNetName = 67;
constexpr int kErrorAccessDenied = 5;
constexpr int kErrorBadNetPath = 53;

std::mutex smbMutex;
std::string smbUser;
std::string smbPassword;

void Auth(const char *, const char *, char *, int, char *user, int userLength, char *password, int passwordLength)
{
    std::snprintf(user, static_cast<std::size_t>(userLength), "%s", smbUser.empty() ? "guest" : smbUser.c_str());
    std::snprintf(password, static_cast<std::size_t>(passwordLength), "%s", smbPassword.c_str());
}

// libsmbclient's plain interface keeps one context; every use holds the mutex.
bool SmbReady()
{
    static const bool ready = []
    {
        // Guests of the devices' shares have no password; a missing ~/.smb is fine.
        return smbc_init(Auth, 0) == 0;
    }();
    return ready;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

std::vector<std::string> Parts(std::string_view path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path)
    {
        if (IsSeparator(c))
        {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        }
        else
            part += c;
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

// Creates the folders between the share and the file, as far as they are missing. 0 or the errno of the
// first folder that could not be made.
int MakeSmbFolders(std::string_view path)
{
    const std::vector<std::string> parts = Parts(path);
    std::string url = "smb://" + EscapeUriPart(parts[0]) + "/" + EscapeUriPart(parts[1]);
    for (std::size_t i = 2; i + 1 < parts.size(); ++i)
    {
        url += "/" + EscapeUriPart(parts[i]);
        errno = 0;
        if (smbc_mkdir(url.c_str(), 0755) != 0 && errno != EEXIST)
            return errno != 0 ? errno : EACCES;
    }
    return 0;
}

bool MakeLocalFolders(const std::string &file)
{
    for (std::size_t slash = file.find('/', 1); slash != std::string::npos; slash = file.find('/', slash + 1))
    {
        const std::string folder = file.substr(0, slash);
        if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// Makes the folders of a file below root (a mount folder that exists).
bool MakeFoldersBelow(const std::string &root, const std::string &file)
{
    for (std::size_t slash = file.find('/', root.size() + 1); slash != std::string::npos;
         slash = file.find('/', slash + 1))
    {
        if (::mkdir(file.substr(0, slash).c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// Where a path is reached through the local file system: a Local or C: path, or a UNC path on a share
// the session has mounted (written with the credentials of that mount). `root` is the folder below which
// missing folders may be made.
struct LocalRoute
{
    std::string file;
    std::string root;
};
std::optional<LocalRoute> RouteOf(std::string_view path)
{
    if (KindOfPath(path) != PathKind::Unc)
        return LocalRoute{LocalPathOf(path), KindOfPath(path) == PathKind::CDrive ? std::string("/") : std::string()};
    const std::vector<std::string> parts = Parts(path);
    if (parts.size() < 2)
        return std::nullopt;
    for (std::size_t i = 2; i < parts.size(); ++i)
        if (parts[i] == "." || parts[i] == "..")
            return std::nullopt;
    LocalRoute route{MountedShareFolder(parts[0], parts[1]), {}};
    if (route.file.empty())
        return std::nullopt;
    route.root = route.file;
    for (std::size_t i = 2; i < parts.size(); ++i)
        route.file += "/" + parts[i];
    return route;
}

bool MakeRouteFolders(const LocalRoute &route)
{
    if (route.root.empty())
        return true;
    return route.root == "/" ? MakeLocalFolders(route.file) : MakeFoldersBelow(route.root, route.file);
}

int WriteLocal(const LocalRoute &route, const char *bytes, std::size_t size)
{
    if (!MakeRouteFolders(route))
        return errno;
    const int fd = ::open(route.file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int error = 0;
    for (std::size_t done = 0; done < size && error == 0;)
    {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0 && errno != EINTR)
            error = errno;
        else if (n == 0)
            error = ENOSPC;
        else if (n > 0)
            done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    struct stat st
    {
    };
    if (error == 0 && ::stat(route.file.c_str(), &st) != 0)
        error = errno;
    // Network file systems may take a short write without saying so; the size afterwards tells.
    if (error == 0 && static_cast<std::size_t>(st.st_size) != size)
        error = EIO;
    if (error != 0)
        ::unlink(route.file.c_str());
    return error;
}

// The errno a failed libsmbclient call left, or `fallback` when it left none.
int SmbError(int fallback)
{
    return errno != 0 ? errno : fallback;
}

// Holds the libsmbclient mutex.
int WriteSmb(std::string_view path, const std::string &url, const char *bytes, std::size_t size)
{
    if (!SmbReady())
        return EHOSTUNREACH;
    if (const int error = MakeSmbFolders(path); error != 0)
        return error;
    errno = 0;
    const int fd = smbc_open(url.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return SmbError(EACCES);
    int error = 0;
    for (std::size_t done = 0; done < size && error == 0;)
    {
        errno = 0;
        const ssize_t n = smbc_write(fd, bytes + done, size - done);
        if (n < 0)
            error = SmbError(EIO);
        else if (n == 0)
            error = ENOSPC;
        else
            done += static_cast<std::size_t>(n);
    }
    errno = 0;
    if (smbc_close(fd) != 0 && error == 0)
        error = SmbError(EIO);
    struct stat st
    {
    };
    errno = 0;
    if (error == 0 && smbc_stat(url.c_str(), &st) != 0)
        error = SmbError(EIO);
    if (error == 0 && static_cast<std::size_t>(st.st_size) != size)
        error = EIO;
    if (error != 0)
        smbc_unlink(url.c_str());
    return error;
}

int ReadWhole(std::string_view path, std::vector<char> &content)
{
    content.clear();
    char buffer[65536];
    if (const std::optional<LocalRoute> route = RouteOf(path))
    {
        std::FILE *in = std::fopen(route->file.c_str(), "rb");
        if (in == nullptr)
            return errno;
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
            content.insert(content.end(), buffer, buffer + n);
        const int error = std::ferror(in) != 0 ? EIO : 0;
        std::fclose(in);
        return error;
    }
    const std::string url = SmbUrlOf(path);
    std::lock_guard lock(smbMutex);
    if (url.empty() || !SmbReady())
        return EINVAL;
    errno = 0;
    const int fd = smbc_open(url.c_str(), O_RDONLY, 0);
    if (fd < 0)
        return SmbError(EACCES);
    ssize_t n;
    while ((n = smbc_read(fd, buffer, sizeof buffer)) > 0)
        content.insert(content.end(), buffer, buffer + n);
    const int error = n < 0 ? SmbError(EIO) : 0;
    smbc_close(fd);
    return error;
}
} // namespace

PathKind KindOfPath(std::string_view path)
{
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
        return PathKind::Unc;
    if (path.size() >= 3 && (path[0] == 'C' || path[0] == 'c') && path[1] == ':' && IsSeparator(path[2]))
        return PathKind::CDrive;
    return PathKind::Local;
}

std::string LocalPathOf(std::string_view path)
{
    // As for shares: a NUL would make the name of another, shorter path; empty names no file.
    if (path.find('\0') != std::string_view::npos)
        return {};
    std::string out;
    if (KindOfPath(path) == PathKind::CDrive)
    {
        out = DefaultCDrive();
        path.remove_prefix(2);
    }
    for (char c : path)
        out += c == '\\' ? '/' : c;
    return out;
}

std::string SmbUrlOf(std::string_view path)
{
    // A NUL would end the path early on its way to the share: another file than the one named.
    if (path.find('\0') != std::string_view::npos)
        return {};
    const std::vector<std::string> parts = Parts(path);
    if (KindOfPath(path) != PathKind::Unc || parts.size() < 2)
        return {};
    std::string url = "smb:/";
    for (const std::string &part : parts)
    {
        if (part == "." || part == "..")
            return {};
        url += "/" + EscapeUriPart(part);
    }
    return url;
}

WinFile *WinFopen(std::string_view path, const char *mode)
{
    const bool writing = mode[0] == 'w' || mode[0] == 'a';
    if (const std::optional<LocalRoute> route = RouteOf(path))
    {
        if (writing && !MakeRouteFolders(*route))
            return nullptr;
        std::FILE *file = std::fopen(route->file.c_str(), mode);
        return file != nullptr ? new WinFile{file, -1} : nullptr;
    }
    const std::string url = SmbUrlOf(path);
    if (url.empty() || Parts(path).size() < 3)
        return nullptr;
    std::lock_guard lock(smbMutex);
    if (!SmbReady())
        return nullptr;
    if (writing)
        MakeSmbFolders(path);
    const int flags = writing ? (O_WRONLY | O_CREAT | (mode[0] == 'a' ? O_APPEND : O_TRUNC)) : O_RDONLY;
    const int fd = smbc_open(url.c_str(), flags, 0644);
    return fd >= 0 ? new WinFile{nullptr, fd} : nullptr;
}

std::size_t WinFwrite(const void *data, std::size_t size, std::size_t count, WinFile *file)
{
    if (file == nullptr || size == 0 || count == 0)
        return 0;
    if (file->local != nullptr)
        return std::fwrite(data, size, count, file->local);
    std::lock_guard lock(smbMutex);
    const char *bytes = static_cast<const char *>(data);
    std::size_t total = size * count;
    std::size_t done = 0;
    while (done < total)
    {
        const ssize_t n = smbc_write(file->remote, bytes + done, total - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done / size;
}

int WinFclose(WinFile *file)
{
    if (file == nullptr)
        return -1;
    int result = 0;
    if (file->local != nullptr)
        result = std::fclose(file->local);
    else
    {
        std::lock_guard lock(smbMutex);
        result = smbc_close(file->remote);
    }
    delete file;
    return result == 0 ? 0 : -1;
}

int WinRemove(std::string_view path)
{
    return RemoveFile(path) == 0 ? 0 : -1;
}

int RemoveFile(std::string_view path)
{
    if (const std::optional<LocalRoute> route = RouteOf(path))
        return ::unlink(route->file.c_str()) == 0 ? 0 : errno;
    const std::string url = SmbUrlOf(path);
    std::lock_guard lock(smbMutex);
    if (url.empty() || !SmbReady())
        return EINVAL;
    errno = 0;
    return smbc_unlink(url.c_str()) == 0 ? 0 : SmbError(EACCES);
}

bool PathFileExistsA(std::string_view path)
{
    struct stat st
    {
    };
    if (const std::optional<LocalRoute> route = RouteOf(path))
        return ::stat(route->file.c_str(), &st) == 0;
    const std::string url = SmbUrlOf(path);
    std::lock_guard lock(smbMutex);
    if (url.empty() || !SmbReady())
        return false;
    return smbc_stat(url.c_str(), &st) == 0;
}

bool CopyFileA(std::string_view existingPath, std::string_view newPath, bool failIfExists)
{
    if (failIfExists && PathFileExistsA(newPath))
        return false;
    std::vector<char> content;
    if (ReadWhole(existingPath, content) != 0)
        return false;
    WinFile *out = WinFopen(newPath, "wb");
    if (out == nullptr)
        return false;
    const bool written = content.empty() || WinFwrite(content.data(), 1, content.size(), out) == content.size();
    return WinFclose(out) == 0 && written;
}

int WriteWholeFile(std::string_view path, const void *data, std::size_t size)
{
    const char *bytes = static_cast<const char *>(data);
    if (const std::optional<LocalRoute> route = RouteOf(path))
        return WriteLocal(*route, bytes, size);
    const std::string url = SmbUrlOf(path);
    if (url.empty() || Parts(path).size() < 3)
        return EINVAL;
    std::lock_guard lock(smbMutex);
    return WriteSmb(path, url, bytes, size);
}

int ReplaceFile(std::string_view existingPath, std::string_view newPath)
{
    std::vector<char> content;
    if (const int error = ReadWhole(existingPath, content); error != 0)
        return error;
    // An old file that stays would be taken for the new one.
    if (const int error = RemoveFile(newPath); error != 0 && error != ENOENT)
        return error;
    return WriteWholeFile(newPath, content.data(), content.size());
}

std::string FileErrorText(int error)
{
    if (const char *text = strerrordesc_np(error); text != nullptr)
        return text;
    return "error " + std::to_string(error);
}

bool CreateFolder(std::string_view path)
{
    if (const std::optional<LocalRoute> route = RouteOf(path))
    {
        std::string local = route->file;
        while (local.size() > 1 && local.back() == '/')
            local.pop_back();
        if (!MakeRouteFolders(LocalRoute{local, route->root}))
            return false;
        return ::mkdir(local.c_str(), 0755) == 0;
    }
    const std::string url = SmbUrlOf(path);
    std::lock_guard lock(smbMutex);
    return !url.empty() && SmbReady() && smbc_mkdir(url.c_str(), 0755) == 0;
}

bool RemoveFolder(std::string_view path)
{
    if (const std::optional<LocalRoute> route = RouteOf(path))
        return ::rmdir(route->file.c_str()) == 0;
    const std::string url = SmbUrlOf(path);
    std::lock_guard lock(smbMutex);
    return !url.empty() && SmbReady() && smbc_rmdir(url.c_str()) == 0;
}

int WNetAddConnection2A(std::string_view remoteName, std::string_view password, std::string_view userName)
{
    const std::vector<std::string> parts = Parts(remoteName);
    if (KindOfPath(remoteName) != PathKind::Unc || parts.size() < 2)
        return kErrorBadNetName;
    // A share mounted in the session is reached through its mount, with the credentials given there.
    if (!MountedShareFolder(parts[0], parts[1]).empty())
        return 0;
    const std::string share = "smb://" + EscapeUriPart(parts[0]) + "/" + EscapeUriPart(parts[1]);
    std::lock_guard lock(smbMutex);
    smbUser = userName;
    smbPassword = password;
    if (!SmbReady())
        return kErrorBadNetPath;
    const int dir = smbc_opendir(share.c_str());
    if (dir < 0)
        return errno == EACCES || errno == EPERM ? kErrorAccessDenied : kErrorBadNetName;
    smbc_closedir(dir);
    return 0;
}

} // namespace izuzez::platform
