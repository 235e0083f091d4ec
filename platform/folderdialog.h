#pragma once
// The folder picker. Tests answer it through a handler instead of a window.
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

// Replaces the real dialog (tests); an empty handler restores it. Returns the old one.
FolderHandler SetFolderHandler(FolderHandler handler);

} // namespace platform
