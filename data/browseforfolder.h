#pragma once
// The folder picker of the new-database dialog and the backup settings.
#include <string>

class QWidget;

// out = the chosen folder, "" when cancelled. The picker opens on the initial folder.
std::wstring& BrowseForFolder(std::wstring& out, QWidget* owner, const std::wstring& initialFolder,
                              const std::wstring& title);
