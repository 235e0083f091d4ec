#pragma once
// The folder picker. The widget layer installs the real dialog at start-up; tests
// answer it through a handler. Without either, the picker is cancelled.
#include <functional>
#include <string>

class QWidget;

namespace platform {

struct FolderRequest {
    QWidget* owner = nullptr;
    std::wstring initialFolder;
    std::wstring title;
};

// The chosen folder, "" when cancelled.
using FolderHandler = std::function<std::wstring(const FolderRequest&)>;

// Opens a folder dialog on the initial folder; returns the chosen folder or "".
std::wstring BrowseFolder(QWidget* owner, const std::wstring& initialFolder, const std::wstring& title);

// Installs the picker (the real dialog or a test's answer). Returns the old one.
FolderHandler SetFolderHandler(FolderHandler handler);

} // namespace platform
