#pragma once
// The rows of one walk over a query's result, kept in a private database so that any
// row can be read again by its position without running the query anew: row k of the
// result is the store's row k + 1, found by its rowid. The row loader appends on its
// thread while the user-interface thread reads the rows already appended; the engine
// serializes the two on the store's own connection, which nothing else uses.
//
// The store is a file of its own in the folder where the engine keeps its temporary
// files: the one PRAGMA temp_store_directory names, else $SQLITE_TMPDIR, else $TMPDIR,
// else /var/tmp, /usr/tmp or /tmp. Its name is removed as soon as it is open, so that
// nothing is left behind, even by a killed program.
//
// Appended rows are committed in batches, with the journal in memory: a write that
// fails (a full disk, a file-size limit) rolls back to the last commit and leaves the
// rows committed before it whole and readable. A store that failed appends no more.
#include "data/sqlstatement.h"

#include <sqlite3.h>

#include <functional>
#include <string>

class ResultStore {
public:
    ResultStore() = default;
    ~ResultStore(); // closes the store; its file goes with it
    ResultStore(const ResultStore&) = delete;
    ResultStore& operator=(const ResultStore&) = delete;

    // Makes the store for the rows of the statement (its columns), in the temporary
    // folder of the statement's engine; false, with the engine's message, when it
    // cannot be made.
    bool Create(sqlite3_stmt* source, std::wstring& message);
    // Appends the statement's current row as the next position. A BLOB is kept as NULL:
    // the datasheet shows neither, and its bytes would only fill the store. False, with
    // the engine's message, when the row could not be kept; the store has then rolled
    // back to its last commit.
    bool Append(sqlite3_stmt* row, std::wstring& message);
    // Commits the rows appended so far, so that they stay whole whatever fails later.
    // A failure is that of Append.
    bool Commit(std::wstring& message);
    // The rows that are whole: those committed (after a failure, none when the rows
    // committed before it could not be read back). Read by the appending thread.
    int Rows() const { return m_nRows; }
    // Reads up to `count` rows from position `first` on, handing each to `row` with its
    // index from 0 on; the rows read, or -1 (with the message) when the read failed.
    int Read(int first, int count, const std::function<void(int, sqlite3_stmt*)>& row, std::wstring& message);
    int Columns() const { return m_nColumns; }
    // The temporary folder the store's file was made in; empty before Create found it.
    const std::wstring& Folder() const { return m_strFolder; }

private:
    // Ends the store after a failed write: the rolled-back transaction, and the rows
    // of the last commit checked readable (none count as whole when they are not).
    void Fail();
    // One run of a statement that gives no rows, reset for the next; false on a failure.
    bool Run(SqlStatement& stmt, std::wstring& message);

    sqlite3* m_pDb = nullptr;
    SqlStatement m_insert; // the loader's
    SqlStatement m_commit;
    SqlStatement m_begin;
    SqlStatement m_read;   // the user-interface thread's
    std::wstring m_strFolder;
    int m_nColumns = 0;
    int m_nRows = 0;     // committed
    int m_nAppended = 0; // committed and pending
    bool m_bFailed = false;
};
