#include "platform/files.h"

#include "platform/utf16.h"

#include <QFileInfo>

#include <unistd.h>

namespace platform {

bool FileExists(const std::wstring& path) { return !path.empty() && QFileInfo(ToQString(path)).isFile(); }

bool PathExists(const std::wstring& path)
{
    return !path.empty() && path.back() != L'/' && QFileInfo::exists(ToQString(path));
}

bool FolderWritable(const std::wstring& filePath)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(ToQString(filePath)).absolutePath());
    return ::access(folder.constData(), W_OK) == 0;
}

std::wstring ExecutableFolder()
{
    // The kernel's link names the executable itself, whatever the working folder or argv[0].
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (executable.isEmpty())
        return L"";
    std::wstring folder = FromQString(QFileInfo(executable).absolutePath());
    if (folder.empty() || folder.back() != L'/')
        folder += L'/';
    return folder;
}

} // namespace platform
