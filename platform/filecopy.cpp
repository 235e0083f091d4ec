#include "platform/filecopy.h"

#include "platform/filebeside.h"
#include "platform/utf16.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::size_t kChunk = 4 * 1024 * 1024;

QByteArray NativePath(const std::wstring& path) { return QFile::encodeName(ToQString(path)); }

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
    // A taken name is refused before any byte is copied; publishing refuses it again.
    if (QFileInfo::exists(ToQString(target)) || QFileInfo(ToQString(target)).isSymLink())
        return EEXIST;
    FileBeside file(target);
    if (file.Error())
        return file.Error();
    const int out = ::open(NativePath(file.TempPath()).constData(), O_WRONLY | O_CLOEXEC);
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
    return error ? error : file.PublishNew();
}

} // namespace platform
