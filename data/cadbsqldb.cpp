#include "data/cadbsqldb.h"

#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/rowiteration.h"
#include "data/savepoint.h"
#include "data/sqlite16.h"
#include "data/statementtext.h"
#include "platform/files.h"
#include "platform/waitcursor.h"

#include <utility>

namespace {

// The QueryData iterator's iteration in progress.
RowIteration g_queryDataIteration;

// A re-prepare after a schema change is retried this often before the failure is reported.
constexpr int kMaxSchemaRetries = 100;

} // namespace

int g_nBusyTimeout = 30000;

CADbSqlDb::~CADbSqlDb()
{
    try {
        CloseDb();
    } catch (const CADbSqlException&) {
        // A connection that cannot close keeps its handle; nothing more can be done here.
    }
}

bool CADbSqlDb::OpenDb(const std::wstring& path)
{
    // A file whose folder cannot take its journal would fail at its first write: it opens
    // read-only at once, as the engine itself opens a file that cannot be written.
    return Open(path, platform::FileExists(path) && !platform::FolderWritable(path));
}

bool CADbSqlDb::OpenReadOnly(const std::wstring& path) { return Open(path, true); }

bool CADbSqlDb::Open(const std::wstring& path, bool readOnly)
{
    m_strDbPath = path;
    sqlite3* db = nullptr;
    const int rc = readOnly ? sqlite16::OpenReadOnly(path, &db) : sqlite16::Open(path, &db);
    if (rc != SQLITE_OK) {
        const std::wstring message = db ? sqlite16::ErrorMessage(db) : L"";
        // The handle the engine hands back with a failure is released at once.
        sqlite3_close(db);
        throw CADbSqlException(rc, message, L"OpenDb");
    }
    m_pDb = db;
    if (!m_pDb)
        CheckDb();
    sqlite3_busy_timeout(m_pDb, g_nBusyTimeout);
    // The foreign keys the database's author declared hold; the console can still
    // switch them off for the session.
    ExecuteQuietly(L"PRAGMA foreign_keys = ON");
    m_bOpen = true;
    return true;
}

bool CADbSqlDb::IsReadOnly() const { return m_pDb && sqlite3_db_readonly(m_pDb, "main") == 1; }

long long CADbSqlDb::MaxValueLength() const { return m_pDb ? sqlite3_limit(m_pDb, SQLITE_LIMIT_LENGTH, -1) : 0; }

SqlStatement CADbSqlDb::ExecuteStmt(const std::wstring& sql)
{
    if (const size_t nul = sql.find(L'\0'); nul != std::wstring::npos && !StatementWords(sql.substr(nul + 1), 1).empty())
        throw CADbSqlException(SQLITE_ERROR, STR_TEXT_AFTER_NUL, L"ExecuteStmt");
    if (!m_bOpen)
        OpenDb(m_strDbPath);
    if (!m_pDb)
        CheckDb();
    SqlStatement stmt;
    std::wstring message;
    const int rc = sqlite16::Prepare(m_pDb, sql, stmt, message);
    if (rc != SQLITE_OK)
        throw CADbSqlException(rc, message, L"ExecuteStmt");
    return stmt;
}

SqlStatement CADbSqlDb::PrepareBound(const std::wstring& sql, const std::vector<SqlValue>& parameters)
{
    SqlStatement stmt = ExecuteStmt(sql);
    std::wstring message;
    for (size_t i = 0; stmt && i < parameters.size(); ++i) {
        const int rc = sqlite16::CallWithMessage(m_pDb, message, [&] {
            return BindSqlValue(stmt, static_cast<int>(i) + 1, parameters[i]);
        });
        if (rc != SQLITE_OK)
            throw CADbSqlException(rc, message, L"");
    }
    return stmt;
}

bool CADbSqlDb::ExecuteCmd(const std::wstring& sql, const std::vector<SqlValue>& parameters)
{
    platform::WaitCursor wait;
    SqlStatement stmt = PrepareBound(sql, parameters);
    if (!stmt)
        return false;
    StepToEnd(stmt);
    return true;
}

void CADbSqlDb::StepToEnd(SqlStatement& stmt)
{
    std::wstring message;
    int rc = SQLITE_OK;
    {
        // The message is the one the finalize leaves, read before another thread's call can replace it.
        const sqlite16::ConnectionLock lock(m_pDb);
        rc = sqlite3_step(stmt);
        while (rc == SQLITE_ROW && !sqlite3_stmt_readonly(stmt))
            rc = sqlite3_step(stmt);
        stmt.Finalize();
        if (rc != SQLITE_DONE)
            message = sqlite16::ErrorMessage(m_pDb);
    }
    if (rc != SQLITE_DONE)
        throw CADbSqlException(SQLITE_ERROR, message, L"ExecuteCmd");
}

bool CADbSqlDb::ReplaceAtomically(const std::wstring& dropSql, const std::wstring& createSql)
{
    Savepoint unit(*this, L"tabulon_replace");
    ExecuteCmd(dropSql);
    if (!ExecuteCmd(createSql))
        return false;
    unit.Release();
    return true;
}

bool CADbSqlDb::DescribeStatement(const std::wstring& sql, int& columns, bool& readOnly)
{
    const SqlStatement stmt = ExecuteStmt(sql);
    if (!stmt)
        return false;
    columns = sqlite3_column_count(stmt);
    readOnly = sqlite3_stmt_readonly(stmt) != 0 || sqlite3_stmt_isexplain(stmt) != 0;
    return true;
}

bool CADbSqlDb::ExecuteStep(const std::wstring& sql, int& result, std::wstring& message)
{
    SqlStatement stmt = ExecuteStmt(sql);
    if (!stmt)
        return false;
    result = sqlite16::Step(stmt, message);
    return true;
}

bool CADbSqlDb::ExecuteQuietly(const std::wstring& sql) noexcept
{
    if (!m_pDb)
        return false;
    SqlStatement stmt;
    std::wstring message;
    return sqlite16::Prepare(m_pDb, sql, stmt, message) == SQLITE_OK && stmt &&
           sqlite3_step(stmt) == SQLITE_DONE;
}

bool CADbSqlDb::InTransaction() const { return m_pDb && !sqlite3_get_autocommit(m_pDb); }

CADbSqlQuery& CADbSqlDb::Query(CADbSqlQuery& out, const std::wstring& sql, const std::vector<SqlValue>& parameters)
{
    for (int attempt = 0;; ++attempt) {
        SqlStatement stmt = PrepareBound(sql, parameters);
        std::wstring message;
        int step = SQLITE_MISUSE;
        int rc = SQLITE_OK;
        {
            const sqlite16::ConnectionLock lock(m_pDb);
            if (stmt)
                step = sqlite3_step(stmt);
            if (step != SQLITE_ROW && step != SQLITE_DONE) {
                // finalize gives the statement's failure (SQLITE_OK for a text without a statement).
                rc = stmt.Finalize();
                message = sqlite16::ErrorMessage(m_pDb);
            }
        }
        if (step == SQLITE_ROW || step == SQLITE_DONE) {
            out = CADbSqlQuery(std::move(stmt), m_pDb, step == SQLITE_DONE);
            return out;
        }
        if (rc == SQLITE_SCHEMA && attempt < kMaxSchemaRetries)
            continue;
        throw CADbSqlException(rc, message, L"");
    }
}

bool CADbSqlDb::QueryData(const std::wstring& sql, SqlStatement& stmt)
{
    return StepIteration(g_queryDataIteration, sql, stmt, L"QueryData");
}

bool CADbSqlDb::StepIteration(RowIteration& iteration, const std::wstring& sql, SqlStatement& stmt,
                              const wchar_t* location)
{
    if (!iteration.Continues(sql, stmt)) {
        iteration.End();
        // The caller's variable lets go of whatever it held before.
        stmt = ExecuteStmt(sql);
        if (!stmt)
            return false;
        iteration.Begin(sql, stmt);
    }
    std::wstring message;
    const int rc = sqlite16::Step(stmt, message);
    if (rc == SQLITE_ROW)
        return true;
    iteration.End();
    if (rc == SQLITE_DONE) {
        sqlite3_reset(stmt);
        stmt.Finalize();
        return false;
    }
    // A failed step ends the iteration; the statement is released before the failure goes up.
    stmt.Finalize();
    throw CADbSqlException(SQLITE_ERROR, message, location);
}

void CADbSqlDb::CloseDb()
{
    if (!m_pDb)
        return;
    // The owners of the connection's statements are emptied, so none finalizes twice.
    SqlStatement::FinalizeAll(m_pDb);
    while (sqlite3_stmt* stmt = sqlite3_next_stmt(m_pDb, nullptr))
        sqlite3_finalize(stmt);
    // Not under the connection's lock: a close that succeeds frees the lock with the
    // connection. No other thread uses a connection that is being closed.
    const int rc = sqlite3_close(m_pDb);
    if (rc != SQLITE_OK)
        throw CADbSqlException(rc, sqlite16::ErrorMessage(m_pDb), L"CloseDb");
    m_pDb = nullptr;
    m_bOpen = false;
}

void CADbSqlDb::CheckDb() const
{
    throw CADbSqlException(ADBSQL_NULL_POINTER, L"m_pDb(NULL)", L"CADbSqlDb::CheckDb()");
}
