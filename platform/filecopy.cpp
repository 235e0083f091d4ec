#include "platform/filecopy.h"

#include "platform/utf16.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::size_t kChunk = 4 * 1024 * 1024;

QByteArray NativePath(const std::wstring& path) { return QFile::encodeName(ToQString(path)); }

class FileSource final : public CopySource {
public:
    explicit FileSource(const std::wstring& path) : m_fd(::open(NativePath(path).constData(), O_RDONLY | O_CLOEXEC))
    {
        if (m_fd < 0)
            m_openErrno = errno;
        else
            ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    ~FileSource() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    int OpenError() const { return m_fd >= 0 ? 0 : m_openErrno; }

    int Size(std::int64_t& size) override
    {
        struct stat st {};
        if (::fstat(m_fd, &st) != 0)
            return errno;
        if (S_ISDIR(st.st_mode))
            return EISDIR;
        size = st.st_size;
        return 0;
    }

    int Read(void* buffer, std::size_t count, std::int64_t offset) override
    {
        auto* p = static_cast<char*>(buffer);
        while (count > 0) {
            const ssize_t n = ::pread(m_fd, p, count, offset);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            if (n == 0)
                return EIO; // the file shrank under the copy
            p += n;
            offset += n;
            count -= static_cast<std::size_t>(n);
        }
        return 0;
    }

private:
    int m_fd;
    int m_openErrno = 0;
};

int WriteAll(int fd, const char* p, std::size_t count)
{
    while (count > 0) {
        const ssize_t n = ::write(fd, p, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        count -= static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace

int CopyToNewFile(CopySource& source, const std::wstring& target, const CopyProgress& progress)
{
    std::int64_t total = 0;
    if (const int error = source.Size(total))
        return error;
    const QByteArray path = NativePath(target);
    const int out = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0)
        return errno;

    int error = 0;
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    std::int64_t done = 0;
    while (done < total && error == 0) {
        const auto count = static_cast<std::size_t>(std::min<std::int64_t>(kChunk, total - done));
        error = source.Read(buffer.get(), count, done);
        if (error == 0)
            error = WriteAll(out, buffer.get(), count);
        if (error == 0) {
            done += static_cast<std::int64_t>(count);
            if (progress && !progress(total, done))
                error = ECANCELED;
        }
    }
    if (::close(out) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlink(path.constData());
    return error;
}

int CopyFileToNew(const std::wstring& source, const std::wstring& target, const CopyProgress& progress)
{
    FileSource file(source);
    if (const int error = file.OpenError())
        return error;
    return CopyToNewFile(file, target, progress);
}

} // namespace platform
