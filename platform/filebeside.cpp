#include "platform/filebeside.h"

#include "platform/utf16.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

QByteArray NativePath(const std::wstring& path) { return QFile::encodeName(ToQString(path)); }

// Flushes a file or folder to disk through a descriptor of its own.
int SyncPath(const QByteArray& path, int flags)
{
    const int fd = ::open(path.constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

int SyncFolderOf(const std::wstring& path)
{
    const int error = SyncPath(QFile::encodeName(QFileInfo(ToQString(path)).absolutePath()), O_RDONLY | O_DIRECTORY);
    // Some file systems cannot flush a folder; the file itself is on disk by then.
    return error == EINVAL || error == EROFS ? 0 : error;
}

// Gives the file a second name that must be new. File systems without hard links
// (FAT, some network shares) rename instead, still never over an existing file.
int LinkNew(const QByteArray& from, const QByteArray& to)
{
    if (::link(from.constData(), to.constData()) == 0)
        return 0;
    const int error = errno;
    if (error != EPERM && error != EOPNOTSUPP && error != EXDEV)
        return error;
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0 ? 0 : errno;
}

int WriteAll(int fd, const char* p, std::int64_t count)
{
    while (count > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(std::min<std::int64_t>(count, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        count -= n;
    }
    return 0;
}

} // namespace

FileBeside::FileBeside(const std::wstring& finalPath) : m_finalPath(finalPath)
{
    const QFileInfo info(ToQString(finalPath));
    const QString folder = info.absolutePath() + QLatin1Char('/');
    // A name well within 255 bytes: the start of the final name, then the suffix.
    const QString stem = QLatin1Char('.') + info.fileName().left(50) + QLatin1Char('.');
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->generate64(), 36);
        const std::wstring candidate = FromQString(folder + stem + suffix + QStringLiteral(".part"));
        const int fd = ::open(NativePath(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            m_tempPath = candidate;
            m_error = 0;
            return;
        }
        m_error = errno;
        if (m_error != EEXIST)
            return;
    }
}

FileBeside::~FileBeside()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_tempPath.empty() && !m_bPublished)
        ::unlink(NativePath(m_tempPath).constData());
}

int FileBeside::Write(const char* data, std::int64_t count)
{
    if (m_error)
        return m_error;
    if (m_fd < 0 && (m_fd = ::open(NativePath(m_tempPath).constData(), O_WRONLY | O_CLOEXEC)) < 0)
        return errno;
    return WriteAll(m_fd, data, count);
}

int FileBeside::Flush()
{
    if (m_fd < 0)
        return SyncPath(NativePath(m_tempPath), O_RDONLY);
    int error = ::fsync(m_fd) == 0 ? 0 : errno;
    // A full disk may show only as the file closes.
    if (::close(m_fd) != 0 && error == 0)
        error = errno;
    m_fd = -1;
    return error;
}

int FileBeside::PublishNew()
{
    if (m_error)
        return m_error;
    const QByteArray temp = NativePath(m_tempPath);
    int error = Flush();
    if (error == 0)
        error = LinkNew(temp, NativePath(m_finalPath));
    // After a link the temporary name goes; after a rename it is gone already.
    ::unlink(temp.constData());
    m_bPublished = true;
    return error ? error : SyncFolderOf(m_finalPath);
}

int FileBeside::PublishReplacing()
{
    if (m_error)
        return m_error;
    const QByteArray temp = NativePath(m_tempPath);
    const QByteArray target = NativePath(m_finalPath);
    struct stat old {};
    if (::stat(target.constData(), &old) == 0 && ::chmod(temp.constData(), old.st_mode & 07777) != 0)
        return errno;
    if (const int error = Flush())
        return error;
    if (::rename(temp.constData(), target.constData()) != 0)
        return errno;
    m_bPublished = true;
    return SyncFolderOf(m_finalPath);
}

int ReplaceFileContents(const std::wstring& path, const char* data, std::int64_t length)
{
    std::wstring target = path;
    const QFileInfo info(ToQString(path));
    if (info.exists()) {
        // The file a link names is the one replaced; the link stays.
        target = FromQString(info.canonicalFilePath());
        if (::access(NativePath(target).constData(), W_OK) != 0)
            return errno;
        // A device, a pipe or a folder is no file to replace: the bytes go into it as
        // they are, and the folder refuses them.
        if (!QFileInfo(ToQString(target)).isFile()) {
            const int fd = ::open(NativePath(target).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            if (fd < 0)
                return errno;
            const int error = WriteAll(fd, data, length);
            return ::close(fd) != 0 && error == 0 ? errno : error;
        }
    }
    FileBeside file(target);
    const int error = file.Write(data, length);
    return error ? error : file.PublishReplacing();
}

std::wstring ErrorText(int error) { return FromQString(QString::fromLocal8Bit(std::strerror(error))); }

} // namespace platform
