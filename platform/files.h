#pragma once
// The few file-system look-ups of the program.
#include <string>

namespace platform {

// True when a regular file (or a link to one) exists at the path.
bool FileExists(const std::wstring& path);

// The folder of the running executable, ending with "/"; "" when it cannot be read.
std::wstring ExecutableFolder();

} // namespace platform
