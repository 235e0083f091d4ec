#pragma once
// The open-file and save-file dialogs. Tests answer them through a handler.
#include <functional>
#include <string>

class QWidget;

namespace platform {

struct FileRequest {
    QWidget* owner = nullptr;
    bool save = false;              // the save dialog; otherwise the open dialog
    std::wstring initialPath;       // folder or file name shown first
    std::wstring defaultExtension;  // added to a typed name without one ("bmp")
    std::wstring filter;            // Qt name filters, ";;"-separated ("All Files (*)")
    bool mustExist = false;         // only an existing file can be chosen
    bool confirmOverwrite = true;   // the save dialog asks before an existing file is chosen
};

// The chosen path, "" when cancelled.
using FileHandler = std::function<std::wstring(const FileRequest&)>;

std::wstring GetFileName(const FileRequest& request);

// Replaces the real dialogs (tests); an empty handler restores them. Returns the old one.
FileHandler SetFileHandler(FileHandler handler);

} // namespace platform
