#include "platform/widgets/filedialog.h"

#include "platform/utf16.h"

#include <QFileDialog>

namespace platform {
namespace {
FileHandler g_fileHandler;
}

std::wstring GetFileName(const FileRequest& request)
{
    if (g_fileHandler)
        return g_fileHandler(request);
    QFileDialog dialog(request.owner, QString(), ToQString(request.initialPath), ToQString(request.filter));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save && !request.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(ToQString(request.defaultExtension));
    if (!request.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return L"";
    return FromQString(dialog.selectedFiles().first());
}

FileHandler SetFileHandler(FileHandler handler)
{
    std::swap(g_fileHandler, handler);
    return handler;
}

} // namespace platform
