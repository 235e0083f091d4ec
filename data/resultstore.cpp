#include "data/resultstore.h"

#include "data/constants.h"
#include "data/sqlite16.h"
#include "platform/utf16.h"

#include <unistd.h>

namespace {

// Rows appended between two commits: a failed write loses at most these. A commit writes
// the batch's new pages and the few of the rows before it that the batch changed.
constexpr int kCommitRows = 2000;

// A page holds many rows, so that the tree over the rows stays shallow and a commit
// rewrites few pages besides the new ones.
constexpr wchar_t kPageSize[] = L"PRAGMA page_size = 65536";

} // namespace

ResultStore::~ResultStore()
{
    if (!m_pDb)
        return;
    SqlStatement::FinalizeAll(m_pDb);
    sqlite3_close(m_pDb);
}

bool ResultStore::Run(SqlStatement& stmt, std::wstring& message)
{
    const int rc = sqlite16::Step(stmt, message);
    sqlite3_reset(stmt);
    return rc == SQLITE_DONE;
}

bool ResultStore::Create(sqlite3_stmt* source, std::wstring& message)
{
    // A fresh name in the folder where the source's engine keeps its temporary files.
    char* name = nullptr;
    if (sqlite3_file_control(sqlite3_db_handle(source), "main", SQLITE_FCNTL_TEMPFILENAME, &name) != SQLITE_OK ||
        !name) {
        sqlite3_free(name);
        message = STR_NO_TEMPORARY_FOLDER;
        return false;
    }
    const std::string path = name;
    sqlite3_free(name);
    m_strFolder = platform::FromQString(QString::fromLocal8Bit(path.substr(0, path.rfind('/'))));
    // The name is the engine's, in its own bytes. The journal is never a file (it is kept
    // in memory), so the file works on after its name is gone.
    const int rc = sqlite3_open_v2(path.c_str(), &m_pDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    ::unlink(path.c_str());
    if (rc != SQLITE_OK) {
        message = sqlite16::ErrorMessage(m_pDb);
        return false;
    }
    m_nColumns = sqlite3_column_count(source);
    std::wstring create = L"CREATE TABLE r(";
    std::wstring insert = L"INSERT INTO r VALUES(";
    for (int c = 0; c < m_nColumns; ++c) {
        create += (c == 0 ? L"c" : L",c") + std::to_wstring(c);
        insert += c == 0 ? L"?" : L",?";
    }
    create += L")";
    insert += L")";
    // Texts are kept as the database most often holds them (a connection opened through
    // the UTF-16 entry point would keep them as UTF-16, twice the bytes of most text).
    // No syncing: the store is never recovered after a crash, only dropped. One
    // connection holds the file for good, so that no lock is taken again per commit.
    for (const wchar_t* sql : {L"PRAGMA locking_mode = EXCLUSIVE", L"PRAGMA journal_mode = MEMORY",
                               L"PRAGMA synchronous = OFF", L"PRAGMA encoding = 'UTF-8'", kPageSize}) {
        SqlStatement stmt;
        if (sqlite16::Prepare(m_pDb, sql, stmt, message) != SQLITE_OK)
            return false;
        sqlite3_step(stmt);
    }
    SqlStatement table;
    if (sqlite16::Prepare(m_pDb, create, table, message) != SQLITE_OK || !Run(table, message))
        return false;
    return sqlite16::Prepare(m_pDb, L"BEGIN", m_begin, message) == SQLITE_OK && Run(m_begin, message) &&
           sqlite16::Prepare(m_pDb, insert, m_insert, message) == SQLITE_OK &&
           sqlite16::Prepare(m_pDb, L"COMMIT", m_commit, message) == SQLITE_OK &&
           sqlite16::Prepare(m_pDb, L"SELECT * FROM r WHERE rowid > ?1 ORDER BY rowid LIMIT ?2", m_read, message) ==
               SQLITE_OK;
}

bool ResultStore::Append(sqlite3_stmt* row, std::wstring& message)
{
    if (m_bFailed || !m_insert)
        return false;
    // One hold of the store's lock for the row's calls, which take it again cheaply.
    const sqlite16::ConnectionLock lock(m_pDb);
    for (int c = 0; c < m_nColumns; ++c) {
        sqlite3_value* value = sqlite3_column_value(row, c);
        if (sqlite3_value_type(value) == SQLITE_BLOB)
            sqlite3_bind_null(m_insert, c + 1);
        else
            sqlite3_bind_value(m_insert, c + 1, value);
    }
    if (!Run(m_insert, message)) {
        Fail();
        return false;
    }
    ++m_nAppended;
    return m_nAppended - m_nRows < kCommitRows || Commit(message);
}

bool ResultStore::Commit(std::wstring& message)
{
    if (m_bFailed || !m_commit)
        return false;
    if (m_nAppended == m_nRows)
        return true;
    const sqlite16::ConnectionLock lock(m_pDb);
    if (!Run(m_commit, message)) {
        Fail();
        return false;
    }
    m_nRows = m_nAppended;
    if (!Run(m_begin, message)) {
        Fail();
        return false;
    }
    return true;
}

void ResultStore::Fail()
{
    m_bFailed = true;
    // The engine has rolled the transaction back on a full disk or a failed write;
    // anything else ends it here. The journal in memory puts the pages back.
    std::wstring ignored;
    if (!sqlite3_get_autocommit(m_pDb)) {
        SqlStatement rollback;
        if (sqlite16::Prepare(m_pDb, L"ROLLBACK", rollback, ignored) == SQLITE_OK)
            Run(rollback, ignored);
    }
    // Reading the last row brings the file back to the last commit now; rows that
    // cannot be read back do not count as kept.
    SqlStatement last;
    if (sqlite16::Prepare(m_pDb, L"SELECT max(rowid) FROM r", last, ignored) != SQLITE_OK ||
        sqlite3_step(last) != SQLITE_ROW || sqlite3_column_int64(last, 0) != m_nRows)
        m_nRows = 0;
    m_nAppended = m_nRows;
}

int ResultStore::Read(int first, int count, const std::function<void(int, sqlite3_stmt*)>& row, std::wstring& message)
{
    if (!m_read)
        return -1;
    // The page is read whole between two appends, never across a failed one.
    const sqlite16::ConnectionLock lock(m_pDb);
    sqlite3_bind_int64(m_read, 1, first);
    sqlite3_bind_int(m_read, 2, count);
    int k = 0;
    int rc = SQLITE_OK;
    while ((rc = sqlite16::Step(m_read, message)) == SQLITE_ROW)
        row(k++, m_read);
    sqlite3_reset(m_read);
    return rc == SQLITE_DONE ? k : -1;
}
