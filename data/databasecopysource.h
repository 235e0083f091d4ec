#pragma once
// The bytes of a database file for a backup copy, read consistently and without a
// descriptor of our own: a private connection holds a read transaction for the whole
// copy (writers in other processes wait; a checkpoint cannot rewrite the file) and the
// bytes come through that connection's own file handle. Closing a second descriptor
// on a file would drop every POSIX lock the process holds on it, the program-wide
// connection's included; the engine's own handles are closed safely.
#include "platform/filecopy.h"

#include <string>

struct sqlite3;
struct sqlite3_file;

class DatabaseCopySource final : public platform::CopySource {
public:
    // Opens the file; OpenError() tells whether that worked. A file the engine does not
    // read as a database is still copied byte for byte.
    explicit DatabaseCopySource(const std::wstring& path);
    ~DatabaseCopySource() override;
    DatabaseCopySource(const DatabaseCopySource&) = delete;
    DatabaseCopySource& operator=(const DatabaseCopySource&) = delete;

    // 0, or an errno value (ENOENT for a missing file).
    int OpenError() const { return m_openError; }

    int Size(std::int64_t& size) override;
    int Read(void* buffer, std::size_t count, std::int64_t offset) override;

private:
    sqlite3* m_db = nullptr;
    sqlite3_file* m_file = nullptr;
    bool m_inTransaction = false;
    int m_openError = 0;
};

// Moves every frame of a write-ahead log into the database file and empties the log
// (PRAGMA wal_checkpoint(TRUNCATE)); nothing happens outside WAL mode or while the
// connection is inside a transaction. True when the statement ran.
bool CheckpointDatabase(sqlite3* db);
