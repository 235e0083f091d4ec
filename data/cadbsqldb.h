#pragma once
// One engine connection with the path it opens.
#include "data/cadbsqlquery.h"
#include "data/sqlvalue.h"

#include <sqlite3.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class RowIteration;

class CADbSqlDb {
public:
    CADbSqlDb() = default;
    virtual ~CADbSqlDb(); // closes; never throws
    CADbSqlDb(const CADbSqlDb&) = delete;
    CADbSqlDb& operator=(const CADbSqlDb&) = delete;

    // Opens (creating when missing) read-write with a 30-second busy time-out; throws on failure.
    bool OpenDb(const std::wstring& path);
    // Prepares the first statement of the text, reopening a closed connection first.
    // Empty when the text holds no statement. Throws on failure.
    SqlStatement ExecuteStmt(const std::wstring& sql);
    // Runs one statement to its end with the wait cursor shown; a row is a failure. Throws.
    void ExecuteCmd(const std::wstring& sql);
    // The same with the values bound to the parameters ?1, ?2, ... in order.
    void ExecuteCmd(const std::wstring& sql, const std::vector<SqlValue>& parameters);
    // Prepares and takes the first step. Throws on failure.
    CADbSqlQuery& Query(CADbSqlQuery& out, const std::wstring& sql);
    // The same with the values bound to the parameters ?1, ?2, ... in order.
    CADbSqlQuery& Query(CADbSqlQuery& out, const std::wstring& sql, const std::vector<SqlValue>& parameters);
    // Prepares the text, takes one step and finalizes the statement, whatever the step
    // gives: its result and, for a failure, the message. False for a text without a
    // statement. Throws when the text does not prepare.
    bool ExecuteStep(const std::wstring& sql, int& result, std::wstring& message);
    // Runs one statement without rows to its end on the open connection; false when it
    // fails. Nothing is shown or thrown.
    bool ExecuteQuietly(const std::wstring& sql) noexcept;
    // True while a transaction is open on the connection.
    bool InTransaction() const;
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

    // Schema lists of this connection; each shows its own failure and then gives the empty result.
    CADbSqlQuery& GetTables(CADbSqlQuery& out, std::wstring& errorText, bool namesOnly);
    CADbSqlQuery& GetIndexes(CADbSqlQuery& out, bool namesOnly);

    // Runs `work`, which uses this connection, on a thread of its own while the
    // user-interface thread waits responsively (platform/uiwait.h): the window keeps
    // painting with the wait cursor shown and the user's input held until the work has
    // ended; once the work outlasts one short wait, the caption strip shows `line`. The
    // connection is held long meanwhile (IsHeldLong). An exception of the work is thrown
    // again here. Off the user-interface thread the work simply runs and is waited for.
    void RunResponsively(const std::wstring& line, const std::function<void()>& work);

    // Marks the connection as held for long, while it lives, by what the user-interface
    // thread waits for responsively (a long statement, a sort's first step): the windows
    // that paint meanwhile read nothing from the connection, so that no paint waits for it.
    class HeldLong {
    public:
        explicit HeldLong(CADbSqlDb& db);
        ~HeldLong();
        HeldLong(const HeldLong&) = delete;
        HeldLong& operator=(const HeldLong&) = delete;

    private:
        CADbSqlDb& m_db;
    };
    bool IsHeldLong() const { return m_nHeldLong.load() > 0; }

    sqlite3* m_pDb = nullptr;
    std::wstring m_strDbPath;
    bool m_bOpen = false;

private:
    // ExecuteStmt with the values bound; a failed bind throws.
    SqlStatement PrepareBound(const std::wstring& sql, const std::vector<SqlValue>& parameters);

    std::atomic<int> m_nHeldLong{0};
};
