#pragma once
// Copying a file into a new file, with progress reports and cancellation. The copy is
// written beside the target and takes its name only once whole and on disk; the target
// is never overwritten, and a copy that does not complete leaves nothing behind.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// The bytes to copy, such as a database read through its engine's own file handle.
class CopySource {
public:
    virtual ~CopySource() = default;
    // 0 and the size in bytes, or an errno value.
    virtual int Size(std::int64_t& size) = 0;
    // Reads exactly count bytes at offset: 0, or an errno value.
    virtual int Read(void* buffer, std::size_t count, std::int64_t offset) = 0;
};

// Called after each chunk with the total size and the bytes copied so far; false stops
// the copy.
using CopyProgress = std::function<bool(std::int64_t total, std::int64_t done)>;

// Copies the source into a new file at target: 0 on success, EEXIST when target
// exists (it is left untouched), ECANCELED when the progress stopped the copy, another
// errno value on failure.
int CopyToNewFile(CopySource& source, const std::wstring& target, const CopyProgress& progress);

} // namespace platform
