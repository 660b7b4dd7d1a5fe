#include "services/FilePlaces.h"

#include "platform/NetworkDrives.h"
#include "platform/RemoteName.h"
#include "platform/WinError.h"
#include "platform/WinFiles.h"
#include "services/DriveLetters.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include <sys/stat.h>

namespace izuzez::services
{

namespace
{

// A new bookmarks file names servers and shares: the person's own.
constexpr int kNewFileMode = 0600;

// A label is UTF-8 on one line: what does not decode is replaced, control characters become spaces.
std::string LabelText(std::string_view text)
{
    gchar *valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string label = valid;
    g_free(valid);
    for (char &c : label)
    {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    }
    return label;
}

// What a line of ours for the letter and share starts with: the address and "Z: share on ".
struct OurLine
{
    std::string start;
    std::string server;
    std::string share;
};

std::optional<OurLine> OurLineOf(std::string_view letter, std::string_view remoteName)
{
    OurLine line;
    const char drive = platform::DriveLetterOf(letter);
    if (drive == 0 || !platform::SplitRemoteName(remoteName, line.server, line.share))
        return std::nullopt;
    line.start = platform::SmbUrlOf(remoteName) + " " + drive + ": " + LabelText(line.share) + " on ";
    return line;
}

// The lines of the text, each with its newline (the last one may have none).
std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty())
    {
        const std::size_t end = text.find('\n');
        const std::size_t size = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, size));
        text.remove_prefix(size);
    }
    return lines;
}

bool IsOurs(std::string_view line, const OurLine &ours)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    return line.size() > ours.start.size() && line.substr(0, ours.start.size()) == ours.start;
}

// The file's text; a missing file is an empty one.
bool ReadBookmarks(const std::string &path, std::string &text)
{
    gchar *contents = nullptr;
    gsize size = 0;
    GError *error = nullptr;
    if (!g_file_get_contents(path.c_str(), &contents, &size, &error))
    {
        const bool missing = g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT);
        g_error_free(error);
        text.clear();
        return missing;
    }
    text.assign(contents, size);
    g_free(contents);
    return true;
}

// Through a temporary file and a rename, into the file a link points at (a replaced link would cut a
// person's shared settings off), with the old file's mode.
bool WriteBookmarks(const std::string &path, const std::string &text)
{
    std::string target = path;
    if (char resolved[PATH_MAX]; realpath(path.c_str(), resolved) != nullptr)
        target = resolved;
    int mode = kNewFileMode;
    if (struct stat st{}; stat(target.c_str(), &st) == 0)
        mode = static_cast<int>(st.st_mode & 07777);
    gchar *folder = g_path_get_dirname(target.c_str());
    const bool haveFolder = g_mkdir_with_parents(folder, 0700) == 0;
    g_free(folder);
    if (!haveFolder)
        return false;
    return g_file_set_contents_full(target.c_str(), text.data(), static_cast<gssize>(text.size()),
                                    G_FILE_SET_CONTENTS_CONSISTENT, mode, nullptr) != FALSE;
}

template <typename Change> bool ChangeBookmarks(const std::string &path, Change change)
{
    std::string text;
    if (!ReadBookmarks(path, text))
        return false;
    const std::string changed = change(text);
    return changed == text || WriteBookmarks(path, changed);
}

} // namespace

std::string WithPlace(std::string_view bookmarks, std::string_view letter, std::string_view remoteName,
                      std::string_view deviceName)
{
    const std::optional<OurLine> ours = OurLineOf(letter, remoteName);
    if (!ours)
        return std::string(bookmarks);
    for (std::string_view line : Lines(bookmarks))
    {
        if (IsOurs(line, *ours))
            return std::string(bookmarks);
    }
    std::string text(bookmarks);
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    text += ours->start + LabelText(deviceName.empty() ? ours->server : deviceName) + "\n";
    return text;
}

std::string WithoutPlace(std::string_view bookmarks, std::string_view letter, std::string_view remoteName)
{
    const std::optional<OurLine> ours = OurLineOf(letter, remoteName);
    if (!ours)
        return std::string(bookmarks);
    std::string text;
    for (std::string_view line : Lines(bookmarks))
    {
        if (!IsOurs(line, *ours))
            text += line;
    }
    return text;
}

std::string BookmarksPath()
{
    const char *config = g_get_user_config_dir();
    const std::string folder =
        config != nullptr && config[0] == '/' ? std::string(config) : std::string(g_get_home_dir()) + "/.config";
    return folder + "/gtk-3.0/bookmarks";
}

bool AddPlace(const std::string &path, std::string_view letter, std::string_view remoteName,
              std::string_view deviceName)
{
    return ChangeBookmarks(path,
                           [&](const std::string &text) { return WithPlace(text, letter, remoteName, deviceName); });
}

bool RemovePlace(const std::string &path, std::string_view letter, std::string_view remoteName)
{
    return ChangeBookmarks(path, [&](const std::string &text) { return WithoutPlace(text, letter, remoteName); });
}

void PlaceMappedLetter(std::string_view letter, std::string_view remoteName, std::string_view deviceName)
{
    AddPlace(BookmarksPath(), letter, remoteName, deviceName);
}

int CancelConnectionAndPlace(platform::NetworkDrives &drives, std::string_view letter, unsigned flags, bool force)
{
    // Read first: afterwards the letter holds nothing.
    const std::optional<std::string> remote = LetterHolders(drives).HolderOf(letter);
    const int result = drives.CancelConnection(letter, flags, force);
    if (result == platform::NO_ERROR && remote)
        RemovePlace(BookmarksPath(), letter, *remote);
    return result;
}

} // namespace izuzez::services
