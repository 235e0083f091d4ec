#include "platform/filebeside.h"

#include "platform/utf16.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::atomic<bool> g_bUnnamedFiles{true};

QByteArray NativePath(const std::wstring& path) { return QFile::encodeName(ToQString(path)); }

int SyncFolderOf(const std::wstring& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(ToQString(path)).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // Some file systems cannot flush a folder; the file itself is on disk by then.
    return error == EINVAL || error == EROFS ? 0 : error;
}

// The hidden name beside a file: a dot, the start of the file's name (well within 255
// bytes), a random part and ".part". HiddenNamePattern matches every name it gives.
constexpr int kStemLength = 50;

QString HiddenName(const QString& fileName)
{
    return QLatin1Char('.') + fileName.left(kStemLength) + QLatin1Char('.') +
           QString::number(QRandomGenerator::global()->generate64(), 36) + QStringLiteral(".part");
}

const QRegularExpression& HiddenNamePattern()
{
    static const QRegularExpression pattern(QStringLiteral("^\\..{1,%1}\\.[0-9a-z]{1,13}\\.part$").arg(kStemLength),
                                            QRegularExpression::DotMatchesEverythingOption);
    return pattern;
}

// A write lock on the whole file, owned by the open file description rather than the
// process: the writer's other descriptors and threads do not let it go, and another
// writer in the same process is refused it as one in another process is. While its
// writer lives, a hidden file is locked.
int LockWhole(int fd, int command)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    int result;
    while ((result = ::fcntl(fd, command, &lock)) != 0 && errno == EINTR) {
    }
    return result == 0 ? 0 : errno;
}

// Removes the hidden files in the folder that no writer holds: those of writers that
// were killed or lost power before they could remove them. Only the user's own regular
// files, and each only while its name still names the file that was locked.
void RemoveLeftovers(const QString& folder)
{
    const uid_t user = ::geteuid();
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString& name : names) {
        if (!HiddenNamePattern().match(name).hasMatch())
            continue;
        const QByteArray path = QFile::encodeName(folder + name);
        struct stat named {};
        if (::lstat(path.constData(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_uid != user)
            continue;
        const int fd = ::open(path.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened {};
        if (LockWhole(fd, F_OFD_SETLK) == 0 && ::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 &&
            opened.st_dev == named.st_dev && opened.st_ino == named.st_ino)
            ::unlink(path.constData());
        ::close(fd);
    }
}

// Makes a new hidden name beside finalPath with make (0, or an errno value; EEXIST
// tries another name); the name in hidden.
template <typename Make> int MakeHiddenName(const std::wstring& finalPath, std::wstring& hidden, Make make)
{
    const QFileInfo info(ToQString(finalPath));
    const QString folder = info.absolutePath() + QLatin1Char('/');
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        const std::wstring candidate = FromQString(folder + HiddenName(info.fileName()));
        error = make(NativePath(candidate));
        if (error == 0)
            hidden = candidate;
    }
    return error;
}

// The path through which an open file can be linked to a name: an unnamed file gets
// its first name this way.
QByteArray DescriptorPath(int fd) { return QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(fd); }

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

int LinkDescriptor(int fd, const QByteArray& to)
{
    return ::linkat(AT_FDCWD, DescriptorPath(fd).constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) == 0 ? 0
                                                                                                               : errno;
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

void UseUnnamedFiles(bool use) { g_bUnnamedFiles = use; }

FileBeside::FileBeside(const std::wstring& finalPath) : m_finalPath(finalPath)
{
    const QString folder = QFileInfo(ToQString(finalPath)).absolutePath() + QLatin1Char('/');
    RemoveLeftovers(folder);
    if (g_bUnnamedFiles) {
        m_fd = ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            // Locked for the moment PublishReplacing gives it a hidden name.
            LockWhole(m_fd, F_OFD_SETLK);
            return;
        }
        m_error = errno;
        // Only a file system (or a kernel) without unnamed files takes the hidden name.
        if (m_error != EOPNOTSUPP && m_error != EISDIR && m_error != EINVAL)
            return;
    }
    m_error = MakeHiddenName(finalPath, m_hiddenPath, [this](const QByteArray& path) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            return errno;
        // Where the file system has no locks, no sweep can take one either. A sweep that
        // found the file before it was locked has removed it: another name then.
        LockWhole(fd, F_OFD_SETLKW);
        struct stat info {};
        if (::fstat(fd, &info) != 0 || info.st_nlink == 0) {
            ::close(fd);
            return EEXIST;
        }
        m_fd = fd;
        return 0;
    });
}

FileBeside::~FileBeside()
{
    // The name goes while the file is still locked.
    if (!m_hiddenPath.empty())
        ::unlink(NativePath(m_hiddenPath).constData());
    if (m_fd >= 0)
        ::close(m_fd);
}

int FileBeside::Write(const char* data, std::int64_t count)
{
    return m_error ? m_error : WriteAll(m_fd, data, count);
}

int FileBeside::NameHidden()
{
    return MakeHiddenName(m_finalPath, m_hiddenPath,
                          [this](const QByteArray& path) { return LinkDescriptor(m_fd, path); });
}

int FileBeside::Close()
{
    const int error = ::close(m_fd) == 0 ? 0 : errno;
    m_fd = -1;
    return error;
}

int FileBeside::PublishNew()
{
    if (m_error)
        return m_error;
    const QByteArray target = NativePath(m_finalPath);
    int error = ::fsync(m_fd) == 0 ? 0 : errno;
    if (error == 0)
        error = m_hiddenPath.empty() ? LinkDescriptor(m_fd, target) : LinkNew(NativePath(m_hiddenPath), target);
    // After a link the hidden name goes; after a rename it is gone already.
    if (!m_hiddenPath.empty())
        ::unlink(NativePath(m_hiddenPath).constData());
    m_hiddenPath.clear();
    const int closeError = Close();
    if (error == 0 && closeError != 0) {
        ::unlink(target.constData());
        error = closeError;
    }
    return error ? error : SyncFolderOf(m_finalPath);
}

int FileBeside::PublishReplacing()
{
    if (m_error)
        return m_error;
    const QByteArray target = NativePath(m_finalPath);
    struct stat old {};
    if (::stat(target.constData(), &old) == 0 && ::fchmod(m_fd, old.st_mode & 07777) != 0)
        return errno;
    if (::fsync(m_fd) != 0)
        return errno;
    // A rename replaces a name in one step, and it needs a name to move.
    if (m_hiddenPath.empty())
        if (const int error = NameHidden())
            return error;
    if (::rename(NativePath(m_hiddenPath).constData(), target.constData()) != 0)
        return errno;
    m_hiddenPath.clear();
    if (const int error = Close())
        return error;
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
