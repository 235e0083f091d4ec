#pragma once
// One engine connection with the path it opens.
#include "data/cadbsqlquery.h"
#include "data/sqlvalue.h"

#include <sqlite3.h>

#include <atomic>
#include <string>
#include <vector>

class RowIteration;

// How long, in milliseconds, a connection of the program waits for another connection's
// lock before its call fails as busy: 30 seconds.
extern int g_nBusyTimeout;

class CADbSqlDb {
public:
    CADbSqlDb() = default;
    virtual ~CADbSqlDb(); // closes; never throws
    CADbSqlDb(const CADbSqlDb&) = delete;
    CADbSqlDb& operator=(const CADbSqlDb&) = delete;

    // Opens (creating when missing) read-write with a 30-second busy time-out and the
    // database's foreign keys enforced; throws on failure. A file the user cannot write,
    // or whose folder cannot hold its journal, opens read-only (IsReadOnly).
    bool OpenDb(const std::wstring& path);
    // Opens an existing file for reading only, foreign keys as OpenDb; throws on failure.
    bool OpenReadOnly(const std::wstring& path);
    // True while the open database cannot be written.
    bool IsReadOnly() const;
    // The longest text or BLOB value the connection stores, in bytes.
    long long MaxValueLength() const;
    // Prepares the first statement of the text, reopening a closed connection first.
    // Empty when the text holds no statement. The engine reads a text only up to its
    // first NUL character: a text with more than white space and comments after one
    // throws, nothing prepared, so that no statement, nor the end of one, goes unread
    // without a word (the engine would run "DELETE FROM t\0 WHERE id = 1" as "DELETE FROM t").
    // Throws on failure.
    SqlStatement ExecuteStmt(const std::wstring& sql);
    // Runs one statement to its end with the wait cursor shown, with the values bound to
    // the parameters ?1, ?2, ... in order. The rows of a writing statement's RETURNING
    // clause are stepped over (its write is complete only at the end); a statement that
    // only reads must return no row. False, with nothing run, when the text holds no
    // statement. Throws on failure, with the engine's message read under the connection's lock.
    bool ExecuteCmd(const std::wstring& sql, const std::vector<SqlValue>& parameters = {});
    // Steps a prepared statement to its end as ExecuteCmd does and finalizes it, with the
    // connection's lock held; throws on failure with the engine's message.
    void StepToEnd(SqlStatement& stmt);
    // Runs the drop, then the first statement of the text, as one unit inside a savepoint,
    // whether a transaction is open or not: both take effect, or neither does and the
    // failure is thrown. False, with nothing changed, when the text holds no statement.
    bool ReplaceAtomically(const std::wstring& dropSql, const std::wstring& createSql);
    // Prepares, binds the values to the parameters ?1, ?2, ... in order and takes the
    // first step. Throws on failure.
    CADbSqlQuery& Query(CADbSqlQuery& out, const std::wstring& sql, const std::vector<SqlValue>& parameters = {});
    // Prepares the text, takes one step and finalizes the statement, whatever the step
    // gives: its result and, for a failure, the message. False for a text without a
    // statement. Throws when the text does not prepare.
    bool ExecuteStep(const std::wstring& sql, int& result, std::wstring& message);
    // Runs one statement without rows to its end on the open connection; false when it
    // fails. Nothing is shown or thrown.
    bool ExecuteQuietly(const std::wstring& sql) noexcept;
    // True while a transaction is open on the connection.
    bool InTransaction() const;
    // Prepares the first statement of the text and describes it: its result columns and
    // whether it leaves the database unchanged (an EXPLAIN of any statement does: it runs
    // nothing of it). False for a text without a statement.
    // Throws when the text does not prepare.
    bool DescribeStatement(const std::wstring& sql, int& columns, bool& readOnly);
    // Row iterator (one iteration at a time in the process, see RowIteration): true while
    // on a row. A call with another text, or with a statement variable that does not hold
    // the iteration's statement, starts anew in that variable.
    bool QueryData(const std::wstring& sql, SqlStatement& stmt);
    // One step of such an iterator, whose state is `iteration`: the text is prepared into
    // stmt unless the call continues the iteration in progress. True on a row; at the end
    // the iteration ends and the statement is released, and a failed step does the same
    // and then throws with location.
    bool StepIteration(RowIteration& iteration, const std::wstring& sql, SqlStatement& stmt, const wchar_t* location);
    // Finalizes every statement of the connection, then closes it. Throws on failure.
    void CloseDb();
    [[noreturn]] void CheckDb() const;

    sqlite3* m_pDb = nullptr;
    std::wstring m_strDbPath;
    bool m_bOpen = false;

private:
    // Opens the file (read-only, or read-write and created when missing) with the busy
    // time-out and the foreign keys on. Throws on failure.
    bool Open(const std::wstring& path, bool readOnly);
    // ExecuteStmt with the values bound; a failed bind throws.
    SqlStatement PrepareBound(const std::wstring& sql, const std::vector<SqlValue>& parameters);

    // The HeldLong marks that live on the connection (data/longstatement.h), on any thread.
    friend class HeldLong;
    friend bool IsHeldLong(const CADbSqlDb& db);
    std::atomic<int> m_nHeldLong{0};
};
