#pragma once
// The one owner of a prepared statement. It finalizes its statement when it goes, is
// moved but never copied, and stays safe when the connection is closed first: closing
// a connection finalizes the statements of every owner on it and leaves the owners empty.
#include <sqlite3.h>

class SqlStatement {
public:
    SqlStatement() noexcept = default;
    // Takes over the statement (NULL gives an empty owner).
    explicit SqlStatement(sqlite3_stmt* stmt);
    ~SqlStatement();
    SqlStatement(SqlStatement&& other) noexcept;
    SqlStatement& operator=(SqlStatement&& other) noexcept;
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // The statement, for the engine's calls; NULL when empty. Owners are used on one
    // thread at a time; only the closing of the connection reaches across.
    sqlite3_stmt* get() const noexcept { return m_pStmt; }
    operator sqlite3_stmt*() const noexcept { return m_pStmt; }

    // Finalizes the statement now and leaves the owner empty; the finalize's result
    // (SQLITE_OK when empty), which carries the failure of the statement's last step.
    int Finalize() noexcept;

    // Finalizes the statements of every owner on the connection, leaving them empty.
    static void FinalizeAll(sqlite3* db) noexcept;

private:
    // The owners holding a statement form one list; these run under its lock.
    void Link() noexcept;
    void Unlink() noexcept;
    // Empties the owner under the list's lock; the statement it held.
    sqlite3_stmt* Take() noexcept;

    sqlite3_stmt* m_pStmt = nullptr;
    SqlStatement* m_pPrev = nullptr;
    SqlStatement* m_pNext = nullptr;
};
