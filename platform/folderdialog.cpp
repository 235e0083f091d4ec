#include "platform/folderdialog.h"

#include "platform/utf16.h"

#include <QFileDialog>

namespace platform {
namespace {
FolderHandler g_folderHandler;
}

std::wstring BrowseFolder(QWidget* owner, const std::wstring& initialFolder, const std::wstring& title)
{
    if (g_folderHandler)
        return g_folderHandler(FolderRequest{owner, initialFolder, title});
    const QString chosen = QFileDialog::getExistingDirectory(owner, ToQString(title), ToQString(initialFolder),
                                                             QFileDialog::ShowDirsOnly);
    return FromQString(chosen);
}

FolderHandler SetFolderHandler(FolderHandler handler)
{
    std::swap(g_folderHandler, handler);
    return handler;
}

} // namespace platform
