#include "data/databasecopysource.h"

#include "data/sqlite16.h"
#include "platform/files.h"

#include <sqlite3.h>

#include <cerrno>

namespace {

// Runs one statement to its end; true when it succeeded.
bool Run(sqlite3* db, const std::wstring& sql)
{
    SqlStatement stmt;
    if (sqlite16::Prepare(db, sql, stmt) != SQLITE_OK || !stmt)
        return false;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    return rc == SQLITE_DONE;
}

} // namespace

bool CheckpointDatabase(sqlite3* db) { return db && Run(db, L"PRAGMA wal_checkpoint(TRUNCATE)"); }

DatabaseCopySource::DatabaseCopySource(const std::wstring& path)
{
    // The engine's open would create a missing file.
    if (!platform::FileExists(path)) {
        m_openError = ENOENT;
        return;
    }
    if (sqlite16::Open(path, &m_db) != SQLITE_OK ||
        sqlite3_file_control(m_db, "main", SQLITE_FCNTL_FILE_POINTER, &m_file) != SQLITE_OK || !m_file ||
        !m_file->pMethods) {
        m_openError = EACCES;
        m_file = nullptr;
        return;
    }
    sqlite3_busy_timeout(m_db, 30000);
    // Frames of a log left by another program go into the file first, without waiting
    // for its readers, so that the file alone holds every committed row; then a read
    // transaction holds the file still. The engine finds the log with the first read.
    Run(m_db, L"SELECT count(*) FROM sqlite_master");
    sqlite3_wal_checkpoint_v2(m_db, "main", SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    m_inTransaction = Run(m_db, L"BEGIN");
    if (m_inTransaction && !Run(m_db, L"SELECT count(*) FROM sqlite_master")) {
        // Not a database: there is no lock to take, and the bytes are copied as they are.
        Run(m_db, L"ROLLBACK");
        m_inTransaction = false;
    }
}

DatabaseCopySource::~DatabaseCopySource()
{
    if (m_inTransaction)
        Run(m_db, L"COMMIT");
    sqlite3_close_v2(m_db);
}

int DatabaseCopySource::Size(std::int64_t& size)
{
    if (!m_file)
        return m_openError ? m_openError : EBADF;
    sqlite3_int64 bytes = 0;
    if (m_file->pMethods->xFileSize(m_file, &bytes) != SQLITE_OK)
        return EIO;
    size = bytes;
    return 0;
}

int DatabaseCopySource::Read(void* buffer, std::size_t count, std::int64_t offset)
{
    if (!m_file)
        return EBADF;
    // The engine reads at most an int's worth at a time.
    auto* p = static_cast<char*>(buffer);
    while (count > 0) {
        const int part = count > (1u << 30) ? (1 << 30) : static_cast<int>(count);
        if (m_file->pMethods->xRead(m_file, p, part, offset) != SQLITE_OK)
            return EIO; // a short read as well: the file shrank under the copy
        p += part;
        offset += part;
        count -= static_cast<std::size_t>(part);
    }
    return 0;
}
