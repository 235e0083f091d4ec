#pragma once
// The engine's UTF-16 interface, with the conversions between its UTF-16 and the
// program's std::wstring. Every engine call that takes or gives text goes through here.
#include "data/sqlstatement.h"

#include <sqlite3.h>

#include <string>

namespace sqlite16 {

int Open(const std::wstring& path, sqlite3** db);
// Opens an existing file for reading only.
int OpenReadOnly(const std::wstring& path, sqlite3** db);
// Prepares the first statement of the text into the owner (empty for a text without a
// statement or on failure).
int Prepare(sqlite3* db, const std::wstring& sql, SqlStatement& stmt);
// The same with the failure's message.
int Prepare(sqlite3* db, const std::wstring& sql, SqlStatement& stmt, std::wstring& message);
// The connection's message of its last failed call. Read it inside the ConnectionLock
// that also held the failing call: another thread's call on the same connection would
// replace it otherwise.
std::wstring ErrorMessage(sqlite3* db);

// Holds a connection's mutex (none for a NULL handle). The engine's mutex is recursive,
// so the engine calls made while it is held take it again freely.
class ConnectionLock {
public:
    explicit ConnectionLock(sqlite3* db);
    ~ConnectionLock();
    ConnectionLock(const ConnectionLock&) = delete;
    ConnectionLock& operator=(const ConnectionLock&) = delete;

private:
    sqlite3_mutex* m_pMutex;
};

// Runs the engine call under the connection's lock; when its result is a failure (neither
// SQLITE_OK, SQLITE_ROW nor SQLITE_DONE) the connection's message of it is put in `message`.
template <typename Call> int CallWithMessage(sqlite3* db, std::wstring& message, Call call)
{
    const ConnectionLock lock(db);
    const int rc = call();
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        message = ErrorMessage(db);
    return rc;
}
// One step of the statement, with its failure's message.
int Step(sqlite3_stmt* stmt, std::wstring& message);
// The column's text; "" for SQL NULL, with isNull set when given.
std::wstring ColumnText(sqlite3_stmt* stmt, int column, bool* isNull = nullptr);
std::wstring ColumnName(sqlite3_stmt* stmt, int column);
// The declared type of the table column that the result column reads; "" for an expression.
std::wstring ColumnDeclType(sqlite3_stmt* stmt, int column);
// The engine's version text, as "3.46.1".
std::wstring LibraryVersion();
// Binds a copy of the text.
int BindText(sqlite3_stmt* stmt, int parameter, const std::wstring& text);

} // namespace sqlite16
