#pragma once

// A mapped drive letter among the file manager's places, so that a person finds the share there: a line of
// the GTK bookmarks file, "smb://server/share Z: share on device". Lines the person wrote are left alone.

#include <optional>
#include <string>
#include <string_view>

namespace izuzez::platform
{
class NetworkDrives;
}

namespace izuzez::services
{

// The bookmarks text with the line of a letter ("Z:") mapped to remoteName ("\\server\share") of the device
// named deviceName (the server when the name is empty) at its end. Unchanged when a line of ours for the
// letter and share is there already (the label may name the device otherwise), or the remote name is not
// well formed.
std::string WithPlace(std::string_view bookmarks, std::string_view letter, std::string_view remoteName,
                      std::string_view deviceName);
// The bookmarks text without the lines this program wrote for the letter and its share: the share's
// address labelled "Z: share on ...". Every other line, and the order, stay byte for byte.
std::string WithoutPlace(std::string_view bookmarks, std::string_view letter, std::string_view remoteName);

// $XDG_CONFIG_HOME/gtk-3.0/bookmarks, else ~/.config/gtk-3.0/bookmarks.
std::string BookmarksPath();

// Read, change and write back the bookmarks file (made with its folder when missing; replaced atomically,
// its mode kept). False when it could not be read or written; a mapping does not fail for that.
bool AddPlace(const std::string &path, std::string_view letter, std::string_view remoteName,
              std::string_view deviceName);
bool RemovePlace(const std::string &path, std::string_view letter, std::string_view remoteName);

// What both faces do: a letter just mapped gets its place in BookmarksPath(); an unmap
// (NetworkDrives::CancelConnection's answer) takes the place of the share the letter held away when it worked.
void PlaceMappedLetter(std::string_view letter, std::string_view remoteName, std::string_view deviceName);
int CancelConnectionAndPlace(platform::NetworkDrives &drives, std::string_view letter, unsigned flags, bool force);

} // namespace izuzez::services
