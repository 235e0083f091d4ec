#include "platform/folderdialog.h"

namespace platform {
namespace {
FolderHandler g_folderHandler;
}

std::wstring BrowseFolder(QWidget* owner, const std::wstring& initialFolder, const std::wstring& title)
{
    return g_folderHandler ? g_folderHandler(FolderRequest{owner, initialFolder, title}) : std::wstring();
}

FolderHandler SetFolderHandler(FolderHandler handler)
{
    std::swap(g_folderHandler, handler);
    return handler;
}

} // namespace platform
