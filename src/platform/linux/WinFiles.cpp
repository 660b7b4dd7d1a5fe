#include "platform/WinFiles.h"

#include "platform/linux/DriveFolder.h"

#include <libsmbclient.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
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

std::string Escape(const std::string &part)
{
    static const char *const keep = "-._~!$&'()*+,;=@";
    std::string out;
    for (unsigned char c : part)
    {
        // strchr finds the terminator too: a NUL must never pass unescaped.
        if (std::isalnum(c) || (c != '\0' && std::strchr(keep, c) != nullptr))
            out += static_cast<char>(c);
        else
        {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

// Creates the folders between the share and the file, as far as they are missing.
void MakeSmbFolders(std::string_view path)
{
    const std::vector<std::string> parts = Parts(path);
    std::string url = "smb://" + Escape(parts[0]) + "/" + Escape(parts[1]);
    for (std::size_t i = 2; i + 1 < parts.size(); ++i)
    {
        url += "/" + Escape(parts[i]);
        smbc_mkdir(url.c_str(), 0755);
    }
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
        url += "/" + Escape(part);
    }
    return url;
}

WinFile *WinFopen(std::string_view path, const char *mode)
{
    const bool writing = mode[0] == 'w' || mode[0] == 'a';
    if (KindOfPath(path) != PathKind::Unc)
    {
        const std::string local = LocalPathOf(path);
        if (writing && KindOfPath(path) == PathKind::CDrive && !MakeLocalFolders(local))
            return nullptr;
        std::FILE *file = std::fopen(local.c_str(), mode);
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
    if (KindOfPath(path) != PathKind::Unc)
        return std::remove(LocalPathOf(path).c_str()) == 0 ? 0 : -1;
    const std::string url = SmbUrlOf(path);
    std::lock_guard lock(smbMutex);
    if (url.empty() || !SmbReady())
        return -1;
    return smbc_unlink(url.c_str()) == 0 ? 0 : -1;
}

bool PathFileExistsA(std::string_view path)
{
    if (KindOfPath(path) != PathKind::Unc)
    {
        struct stat st
        {
        };
        return ::stat(LocalPathOf(path).c_str(), &st) == 0;
    }
    const std::string url = SmbUrlOf(path);
    std::lock_guard lock(smbMutex);
    if (url.empty() || !SmbReady())
        return false;
    struct stat st
    {
    };
    return smbc_stat(url.c_str(), &st) == 0;
}

bool CopyFileA(std::string_view existingPath, std::string_view newPath, bool failIfExists)
{
    if (failIfExists && PathFileExistsA(newPath))
        return false;
    std::vector<char> content;
    if (KindOfPath(existingPath) != PathKind::Unc)
    {
        std::FILE *in = std::fopen(LocalPathOf(existingPath).c_str(), "rb");
        if (in == nullptr)
            return false;
        char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
            content.insert(content.end(), buffer, buffer + n);
        const bool failed = std::ferror(in) != 0;
        std::fclose(in);
        if (failed)
            return false;
    }
    else
    {
        const std::string url = SmbUrlOf(existingPath);
        std::lock_guard lock(smbMutex);
        if (url.empty() || !SmbReady())
            return false;
        const int fd = smbc_open(url.c_str(), O_RDONLY, 0);
        if (fd < 0)
            return false;
        char buffer[65536];
        ssize_t n;
        while ((n = smbc_read(fd, buffer, sizeof buffer)) > 0)
            content.insert(content.end(), buffer, buffer + n);
        smbc_close(fd);
        if (n < 0)
            return false;
    }
    WinFile *out = WinFopen(newPath, "wb");
    if (out == nullptr)
        return false;
    const bool written = content.empty() || WinFwrite(content.data(), 1, content.size(), out) == content.size();
    return WinFclose(out) == 0 && written;
}

bool CreateFolder(std::string_view path)
{
    if (KindOfPath(path) != PathKind::Unc)
    {
        std::string local = LocalPathOf(path);
        while (local.size() > 1 && local.back() == '/')
            local.pop_back();
        if (KindOfPath(path) == PathKind::CDrive && !MakeLocalFolders(local))
            return false;
        return ::mkdir(local.c_str(), 0755) == 0;
    }
    const std::string url = SmbUrlOf(path);
    std::lock_guard lock(smbMutex);
    return !url.empty() && SmbReady() && smbc_mkdir(url.c_str(), 0755) == 0;
}

bool RemoveFolder(std::string_view path)
{
    if (KindOfPath(path) != PathKind::Unc)
        return ::rmdir(LocalPathOf(path).c_str()) == 0;
    const std::string url = SmbUrlOf(path);
    std::lock_guard lock(smbMutex);
    return !url.empty() && SmbReady() && smbc_rmdir(url.c_str()) == 0;
}

int WNetAddConnection2A(std::string_view remoteName, std::string_view password, std::string_view userName)
{
    const std::vector<std::string> parts = Parts(remoteName);
    if (KindOfPath(remoteName) != PathKind::Unc || parts.size() < 2)
        return kErrorBadNetName;
    const std::string share = "smb://" + Escape(parts[0]) + "/" + Escape(parts[1]);
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
