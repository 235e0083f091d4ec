#include "data/descriptorfile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The engine knows such a file by this name and the descriptor's number; the journal
// and log names it makes from it name nothing.
constexpr char kVfsName[] = "tabulon-descriptor";
constexpr char kNamePrefix[] = "descriptor-";

struct DescriptorFile {
    sqlite3_file base;
    int fd;
};

int Descriptor(sqlite3_file* file) { return reinterpret_cast<DescriptorFile*>(file)->fd; }

// The errno value of the last failed call on this thread, for sqlite3_system_errno.
thread_local int t_nLastError = 0;

int Failed(int rc)
{
    t_nLastError = errno;
    return rc;
}

int Close(sqlite3_file*) { return SQLITE_OK; } // the owner closes the descriptor

int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset)
{
    auto* p = static_cast<char*>(buffer);
    int done = 0;
    while (done < amount) {
        const ssize_t n = ::pread(Descriptor(file), p + done, static_cast<size_t>(amount - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Failed(SQLITE_IOERR_READ);
        if (n == 0)
            break;
        done += static_cast<int>(n);
    }
    if (done == amount)
        return SQLITE_OK;
    // The engine wants the part past the end as zeros.
    std::memset(p + done, 0, static_cast<size_t>(amount - done));
    return SQLITE_IOERR_SHORT_READ;
}

int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset)
{
    const auto* p = static_cast<const char*>(buffer);
    int done = 0;
    while (done < amount) {
        const ssize_t n = ::pwrite(Descriptor(file), p + done, static_cast<size_t>(amount - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Failed(errno == ENOSPC || errno == EDQUOT ? SQLITE_FULL : SQLITE_IOERR_WRITE);
        done += static_cast<int>(n);
    }
    return SQLITE_OK;
}

int Truncate(sqlite3_file* file, sqlite3_int64 size)
{
    return ::ftruncate(Descriptor(file), size) == 0 ? SQLITE_OK : Failed(SQLITE_IOERR_TRUNCATE);
}

int Sync(sqlite3_file* file, int) { return ::fdatasync(Descriptor(file)) == 0 ? SQLITE_OK : Failed(SQLITE_IOERR_FSYNC); }

int FileSize(sqlite3_file* file, sqlite3_int64* size)
{
    struct stat info {};
    if (::fstat(Descriptor(file), &info) != 0)
        return Failed(SQLITE_IOERR_FSTAT);
    *size = info.st_size;
    return SQLITE_OK;
}

// Nobody else knows the file: there is nobody to lock it against.
int Lock(sqlite3_file*, int) { return SQLITE_OK; }

int CheckReservedLock(sqlite3_file*, int* reserved)
{
    *reserved = 0;
    return SQLITE_OK;
}

int FileControl(sqlite3_file*, int, void*) { return SQLITE_NOTFOUND; }

int SectorSize(sqlite3_file*) { return 4096; }

int DeviceCharacteristics(sqlite3_file*) { return 0; }

// Version 1: no shared memory (the copy has no log) and no memory mapping.
const sqlite3_io_methods kMethods = [] {
    sqlite3_io_methods methods {};
    methods.iVersion = 1;
    methods.xClose = Close;
    methods.xRead = Read;
    methods.xWrite = Write;
    methods.xTruncate = Truncate;
    methods.xSync = Sync;
    methods.xFileSize = FileSize;
    methods.xLock = Lock;
    methods.xUnlock = Lock;
    methods.xCheckReservedLock = CheckReservedLock;
    methods.xFileControl = FileControl;
    methods.xSectorSize = SectorSize;
    methods.xDeviceCharacteristics = DeviceCharacteristics;
    return methods;
}();

sqlite3_vfs* g_pBase = nullptr; // the engine's own file system, for everything else

bool IsDescriptorName(const char* name) { return name && std::strncmp(name, kNamePrefix, std::strlen(kNamePrefix)) == 0; }

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    if (!(flags & SQLITE_OPEN_MAIN_DB) || !IsDescriptorName(name))
        return g_pBase->xOpen(g_pBase, name, file, flags, outFlags);
    const char* number = name + std::strlen(kNamePrefix);
    int fd = -1;
    const auto [end, error] = std::from_chars(number, number + std::strlen(number), fd);
    if (error != std::errc() || *end != '\0' || fd < 0)
        return SQLITE_CANTOPEN;
    auto* own = reinterpret_cast<DescriptorFile*>(file);
    own->fd = fd;
    own->base.pMethods = &kMethods;
    if (outFlags)
        *outFlags = flags;
    return SQLITE_OK;
}

int Delete(sqlite3_vfs*, const char* name, int syncFolder)
{
    return IsDescriptorName(name) ? SQLITE_OK : g_pBase->xDelete(g_pBase, name, syncFolder);
}

int Access(sqlite3_vfs*, const char* name, int flags, int* result)
{
    if (!IsDescriptorName(name))
        return g_pBase->xAccess(g_pBase, name, flags, result);
    *result = 0;
    return SQLITE_OK;
}

int FullPathname(sqlite3_vfs*, const char* name, int size, char* out)
{
    if (!IsDescriptorName(name))
        return g_pBase->xFullPathname(g_pBase, name, size, out);
    return std::snprintf(out, static_cast<size_t>(size), "%s", name) < size ? SQLITE_OK : SQLITE_CANTOPEN;
}

int GetLastError(sqlite3_vfs*, int, char*) { return t_nLastError; }

// The engine's own file system with the descriptor's files in it; registered once.
const char* VfsName()
{
    static const char* const name = [] {
        g_pBase = sqlite3_vfs_find(nullptr);
        static sqlite3_vfs vfs = *g_pBase;
        vfs.pNext = nullptr;
        vfs.zName = kVfsName;
        vfs.szOsFile = std::max(g_pBase->szOsFile, static_cast<int>(sizeof(DescriptorFile)));
        vfs.xOpen = Open;
        vfs.xDelete = Delete;
        vfs.xAccess = Access;
        vfs.xFullPathname = FullPathname;
        vfs.xGetLastError = GetLastError;
        sqlite3_vfs_register(&vfs, 0);
        return kVfsName;
    }();
    return name;
}

} // namespace

int OpenOnDescriptor(int fd, sqlite3** db)
{
    // The name is plain ASCII, so the UTF-8 entry point that takes a file system serves.
    const std::string name = kNamePrefix + std::to_string(fd);
    return sqlite3_open_v2(name.c_str(), db, SQLITE_OPEN_READWRITE, VfsName());
}
