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

} // namespace platform
