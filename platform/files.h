#pragma once
// The few file-system look-ups of the program.
#include <string>

namespace platform {

// True when a regular file (or a link to one) exists at the path.
bool FileExists(const std::wstring& path);
// True when a file or a folder exists at the path. A path ending in "/" names no file
// and counts as not found, so a bare folder is never taken for an existing file.
bool PathExists(const std::wstring& path);

// True when files can be made in the folder that holds the file at the path (the
// engine makes its journal there); asked of the kernel, so it also holds for root.
bool FolderWritable(const std::wstring& filePath);

// The folder of the running executable, ending with "/"; "" when it cannot be read.
std::wstring ExecutableFolder();

// The path with "." and ".." steps and doubled slashes taken out.
std::wstring CleanPath(const std::wstring& path);

// The user's own folder for the named program's data: $XDG_DATA_HOME/<name>/, which is
// ~/.local/share/<name>/ unless the variable says otherwise; ending with "/".
std::wstring UserDataFolder(const std::wstring& programName);

// True when the file can be written and its folder can take new files beside it (the
// journal a database engine writes next to its file).
bool IsWritableFile(const std::wstring& path);

// Copies the file to target, making the folders on the way, as a file of the user's own
// that the user can write (the source may be read-only). A target that exists is left
// untouched and counts as a failure; a copy that fails leaves no target behind.
bool CopyToOwnFile(const std::wstring& source, const std::wstring& target);

} // namespace platform
