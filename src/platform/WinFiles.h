#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace izuzez::platform
{

// Windows-style paths for the file calls of the installation and widget flows:
//  - "\\server\share\folder\file" (either separator) goes through the folder of the share when the person's
//    session has it mounted (a drive letter or GVfs), else to the SMB share through libsmbclient;
//  - "C:\..." goes to the per-user folder that stands for drive C: (DefaultCDrive());
//  - anything else is a local path, relative to the current folder.
enum class PathKind
{
    Local,
    CDrive,
    Unc,
};
PathKind KindOfPath(std::string_view path);
// The local file name of a Local or CDrive path (separators turned into '/').
std::string LocalPathOf(std::string_view path);
// "smb://server/share/folder/file" of a UNC path, %-escaped; empty when the path has no server and share.
std::string SmbUrlOf(std::string_view path);

struct WinFile;

// Modes of the C library ("wb", "w+t", "rb"). Writing to a share creates the folders the path names.
WinFile *WinFopen(std::string_view path, const char *mode);
std::size_t WinFwrite(const void *data, std::size_t size, std::size_t count, WinFile *file);
int WinFclose(WinFile *file);         // 0 on success
int WinRemove(std::string_view path); // 0 on success
bool CopyFileA(std::string_view existingPath, std::string_view newPath, bool failIfExists);
bool PathFileExistsA(std::string_view path);
bool CreateFolder(std::string_view path); // _mkdir: false also when it exists
bool RemoveFolder(std::string_view path); // _rmdir: only an empty folder

// Writes a whole file (made or replaced), closes it and compares its size afterwards with `size`. 0 on
// success, else the errno of the step that failed; a file left cut short is removed where that is allowed.
int WriteWholeFile(std::string_view path, const void *data, std::size_t size);
// Puts a copy of existingPath in place of newPath; an old newPath that cannot be removed is a failure.
// 0 or the errno.
int ReplaceFile(std::string_view existingPath, std::string_view newPath);
int RemoveFile(std::string_view path); // 0 or the errno (ENOENT when there was none)
// The system's text for an errno of these calls ("No space left on device").
std::string FileErrorText(int error);

// A connection to a share without a local name: the session the later file calls use. 0 (NO_ERROR) on
// success, else a Windows network error code. An empty user name asks for guest access. A share mounted in
// the session counts as connected.
int WNetAddConnection2A(std::string_view remoteName, std::string_view password, std::string_view userName);

} // namespace izuzez::platform
