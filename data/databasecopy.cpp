#include "data/databasecopy.h"

#include "data/cadbsqldb.h"
#include "data/descriptorfile.h"
#include "data/sqlite16.h"
#include "platform/filebeside.h"
#include "platform/filecopy.h"
#include "platform/files.h"

#include <sqlite3.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

// Pages the backup copies between two progress reports: 4 MB of the usual 4 KB pages.
constexpr int kPagesPerStep = 1024;

// A connection closed when it goes.
struct Connection {
    sqlite3* db = nullptr;
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { sqlite3_close_v2(db); }
};

// Runs one statement to its end: the engine's result, SQLITE_OK when it ran.
int Run(sqlite3* db, const std::wstring& sql)
{
    SqlStatement stmt;
    int rc = sqlite16::Prepare(db, sql, stmt);
    if (rc != SQLITE_OK || !stmt)
        return rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// The errno value the failure box shows for an engine failure.
int ErrnoOf(int rc, sqlite3* db)
{
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return EBUSY;
    case SQLITE_NOMEM:
        return ENOMEM;
    case SQLITE_FULL:
        return ENOSPC;
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH:
        return EACCES;
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR: {
        const int system = db ? sqlite3_system_errno(db) : 0;
        return system > 0 ? system : EIO;
    }
    default:
        return EIO; // a corrupt file and the rest
    }
}

// The failures of a backup step that come from writing the copy; every other one is
// the source's (the copy is a file of its own that nobody else knows of yet).
bool IsWriteFailure(int rc)
{
    return (rc & 0xFF) == SQLITE_FULL || rc == SQLITE_IOERR_WRITE || rc == SQLITE_IOERR_FSYNC ||
           rc == SQLITE_IOERR_TRUNCATE || rc == SQLITE_IOERR_DIR_FSYNC;
}

int Percent(std::int64_t done, std::int64_t total)
{
    return total > 0 ? static_cast<int>(static_cast<double>(done) / static_cast<double>(total) * 100.0) : 100;
}

// The busy handler of the source connection: waits for another connection's lock up to
// the program's busy time-out, and stops waiting as soon as the copy is cancelled.
struct LockWait {
    const std::atomic<bool>* cancel = nullptr;
    std::chrono::steady_clock::time_point start;
};

int WaitForLock(void* data, int count)
{
    auto* wait = static_cast<LockWait*>(data);
    const auto now = std::chrono::steady_clock::now();
    if (count == 0)
        wait->start = now;
    if ((wait->cancel && *wait->cancel) || now - wait->start >= std::chrono::milliseconds(g_nBusyTimeout))
        return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return 1;
}

// The bytes of a file the engine opened, read through the engine's own handle: closing
// a descriptor of our own on a file would drop every POSIX lock the process holds on it.
class EngineFileBytes final : public platform::CopySource {
public:
    explicit EngineFileBytes(sqlite3_file* file) : m_file(file) {}

    int Size(std::int64_t& size) override
    {
        sqlite3_int64 bytes = 0;
        if (m_file->pMethods->xFileSize(m_file, &bytes) != SQLITE_OK)
            return Fail();
        size = bytes;
        return 0;
    }

    int Read(void* buffer, std::size_t count, std::int64_t offset) override
    {
        auto* p = static_cast<char*>(buffer);
        while (count > 0) {
            // The engine reads at most an int's worth at a time.
            const int part = count > (1u << 30) ? (1 << 30) : static_cast<int>(count);
            if (m_file->pMethods->xRead(m_file, p, part, offset) != SQLITE_OK)
                return Fail(); // a short read as well: the file shrank under the copy
            p += part;
            offset += part;
            count -= static_cast<std::size_t>(part);
        }
        return 0;
    }

    bool Failed() const { return m_bFailed; }

private:
    int Fail()
    {
        m_bFailed = true;
        return EIO;
    }

    sqlite3_file* m_file;
    bool m_bFailed = false;
};

// A file the engine does not read as a database, copied byte for byte.
DatabaseCopyResult CopyBytes(sqlite3* db, const std::wstring& target, const std::atomic<bool>* cancel,
                             const CopyPercent& progress)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods)
        return {EACCES, true};
    EngineFileBytes bytes(file);
    int reported = -1;
    const int error = platform::CopyToNewFile(bytes, target, [&](std::int64_t total, std::int64_t done) {
        if (cancel && *cancel)
            return false;
        const int percent = Percent(done, total);
        if (percent > reported && progress) {
            reported = percent;
            progress(percent);
        }
        return true;
    });
    return {error, bytes.Failed()};
}

} // namespace

DatabaseCopyResult CopyDatabaseFile(const std::wstring& source, const std::wstring& target,
                                    const std::atomic<bool>* cancel, const CopyPercent& progress)
{
    const auto cancelled = [cancel] { return cancel && *cancel; };
    // The engine's open would create a missing file.
    if (!platform::FileExists(source))
        return {ENOENT, true};
    Connection from;
    int rc = sqlite16::Open(source, &from.db);
    if (rc != SQLITE_OK)
        return {ErrnoOf(rc, from.db), true};
    LockWait wait{cancel, {}};
    sqlite3_busy_handler(from.db, WaitForLock, &wait);
    // One read transaction for the whole copy: every step reads the same committed state.
    rc = Run(from.db, L"BEGIN");
    if (rc == SQLITE_OK)
        rc = Run(from.db, L"SELECT count(*) FROM sqlite_master");
    if ((rc & 0xFF) == SQLITE_NOTADB)
        return CopyBytes(from.db, target, cancel, progress);
    if (cancelled())
        return {ECANCELED, false};
    if (rc != SQLITE_OK)
        return {ErrnoOf(rc, from.db), true};

    // A taken name is refused before anything is copied; publishing refuses it again. A
    // journal or log left under the name counts as taken: the engine would play it into
    // the copy when the copy is opened.
    if (platform::PathExists(target) || platform::PathExists(target + L"-journal") ||
        platform::PathExists(target + L"-wal"))
        return {EEXIST, false};
    platform::FileBeside file(target);
    if (file.Error())
        return {file.Error(), false};
    Connection to;
    rc = OpenOnDescriptor(file.Descriptor(), &to.db);
    // The copy needs no journal of its own, and it is flushed once, whole, as it is published.
    if (rc == SQLITE_OK)
        rc = Run(to.db, L"PRAGMA journal_mode=OFF");
    if (rc == SQLITE_OK)
        rc = Run(to.db, L"PRAGMA synchronous=OFF");
    if (rc != SQLITE_OK)
        return {ErrnoOf(rc, to.db), false};
    sqlite3_backup* backup = sqlite3_backup_init(to.db, "main", from.db, "main");
    if (!backup)
        return {ErrnoOf(sqlite3_errcode(to.db), to.db), false};
    int reported = -1;
    do {
        if (cancelled())
            break;
        rc = sqlite3_backup_step(backup, kPagesPerStep);
        const int percent = Percent(sqlite3_backup_pagecount(backup) - sqlite3_backup_remaining(backup),
                                    sqlite3_backup_pagecount(backup));
        if ((rc == SQLITE_OK || rc == SQLITE_DONE) && percent > reported && progress) {
            reported = percent;
            progress(percent);
        }
    } while (rc == SQLITE_OK);
    sqlite3_backup_finish(backup);
    if (rc == SQLITE_OK)
        return {ECANCELED, false};
    if (rc != SQLITE_DONE)
        return {ErrnoOf(rc, to.db), !IsWriteFailure(rc)};
    rc = sqlite3_close(to.db);
    to.db = nullptr;
    if (rc != SQLITE_OK)
        return {EIO, false};
    return {file.PublishNew(), false};
}
