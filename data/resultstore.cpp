#include "data/resultstore.h"

#include "data/sqlite16.h"

ResultStore::~ResultStore()
{
    if (!m_pDb)
        return;
    SqlStatement::FinalizeAll(m_pDb);
    sqlite3_close(m_pDb);
}

bool ResultStore::Create(int columns, std::wstring& message)
{
    // An empty name is a private database on a temporary file, deleted when it closes;
    // only its pages beyond the cache are written there.
    if (sqlite16::Open(L"", &m_pDb) != SQLITE_OK) {
        message = m_pDb ? sqlite16::ErrorMessage(m_pDb) : L"";
        return false;
    }
    m_nColumns = columns;
    std::wstring create = L"CREATE TABLE r(";
    std::wstring insert = L"INSERT INTO r VALUES(";
    for (int c = 0; c < columns; ++c) {
        create += (c == 0 ? L"c" : L",c") + std::to_wstring(c);
        insert += c == 0 ? L"?" : L",?";
    }
    create += L")";
    insert += L")";
    // Texts are kept as the database most often holds them (a connection opened through
    // the UTF-16 entry point would keep them as UTF-16, twice the bytes of most text).
    // No journal and no syncing: the store is never recovered, only dropped. The walk
    // is one transaction, so that no append pays a commit; reads on this connection see
    // the rows appended so far.
    for (const wchar_t* sql :
         {L"PRAGMA encoding = 'UTF-8'", L"PRAGMA journal_mode = OFF", L"PRAGMA synchronous = OFF"}) {
        SqlStatement stmt;
        if (sqlite16::Prepare(m_pDb, sql, stmt, message) != SQLITE_OK)
            return false;
        sqlite3_step(stmt);
    }
    for (const std::wstring& sql : {create, std::wstring(L"BEGIN")}) {
        SqlStatement stmt;
        if (sqlite16::Prepare(m_pDb, sql, stmt, message) != SQLITE_OK || sqlite16::Step(stmt, message) != SQLITE_DONE)
            return false;
    }
    return sqlite16::Prepare(m_pDb, insert, m_insert, message) == SQLITE_OK &&
           sqlite16::Prepare(m_pDb, L"SELECT * FROM r WHERE rowid > ?1 ORDER BY rowid LIMIT ?2", m_read, message) ==
               SQLITE_OK;
}

bool ResultStore::Append(sqlite3_stmt* row, std::wstring& message)
{
    for (int c = 0; c < m_nColumns; ++c) {
        sqlite3_value* value = sqlite3_column_value(row, c);
        if (sqlite3_value_type(value) == SQLITE_BLOB)
            sqlite3_bind_null(m_insert, c + 1);
        else
            sqlite3_bind_value(m_insert, c + 1, value);
    }
    const int rc = sqlite16::Step(m_insert, message);
    sqlite3_reset(m_insert);
    return rc == SQLITE_DONE;
}

int ResultStore::Read(int first, int count, const std::function<void(int, sqlite3_stmt*)>& row, std::wstring& message)
{
    if (!m_read)
        return -1;
    sqlite3_bind_int64(m_read, 1, first);
    sqlite3_bind_int(m_read, 2, count);
    int k = 0;
    int rc = SQLITE_OK;
    while ((rc = sqlite16::Step(m_read, message)) == SQLITE_ROW)
        row(k++, m_read);
    sqlite3_reset(m_read);
    return rc == SQLITE_DONE ? k : -1;
}
