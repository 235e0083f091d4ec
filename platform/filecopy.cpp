#include "platform/filecopy.h"

#include "platform/filebeside.h"
#include "platform/utf16.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace platform {
namespace {

constexpr std::size_t kChunk = 4 * 1024 * 1024;

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
    int error = file.Error();
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    std::int64_t done = 0;
    while (done < total && error == 0) {
        const auto count = static_cast<std::size_t>(std::min<std::int64_t>(kChunk, total - done));
        error = source.Read(buffer.get(), count, done);
        if (error == 0)
            error = file.Write(buffer.get(), static_cast<std::int64_t>(count));
        if (error == 0) {
            done += static_cast<std::int64_t>(count);
            if (progress && !progress(total, done))
                error = ECANCELED;
        }
    }
    return error ? error : file.PublishNew();
}

} // namespace platform
