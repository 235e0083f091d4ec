#include "platform/files.h"

#include "platform/utf16.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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

std::wstring CleanPath(const std::wstring& path) { return FromQString(QDir::cleanPath(ToQString(path))); }

std::wstring UserDataFolder(const std::wstring& programName)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return L"";
    return FromQString(QDir::cleanPath(base + QLatin1Char('/') + ToQString(programName))) + L"/";
}

bool IsWritableFile(const std::wstring& path)
{
    const QFileInfo file(ToQString(path));
    return file.isFile() && file.isWritable() && QFileInfo(file.absolutePath()).isWritable();
}

bool CopyToOwnFile(const std::wstring& source, const std::wstring& target)
{
    const QString to = ToQString(target);
    if (QFileInfo::exists(to) || !QDir().mkpath(QFileInfo(to).absolutePath()))
        return false;
    // QFile::copy writes a temporary file and renames it, so no half copy stays.
    if (!QFile::copy(ToQString(source), to))
        return false;
    if (!QFile::setPermissions(to, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                                       QFileDevice::WriteUser)) {
        QFile::remove(to);
        return false;
    }
    return true;
}

} // namespace platform
