#pragma once
// A statement being stepped row by row. It owns its statement: moved, never copied,
// and the statement is finalized when the result goes or is finalized.
#include "data/cadbsqlexception.h"
#include "data/sqlstatement.h"

#include <sqlite3.h>

#include <string>
#include <vector>

class CADbSqlQuery {
public:
    CADbSqlQuery() = default;
    CADbSqlQuery(SqlStatement stmt, sqlite3* db, bool eof);
    CADbSqlQuery(CADbSqlQuery&&) noexcept = default;
    CADbSqlQuery& operator=(CADbSqlQuery&&) noexcept = default;
    CADbSqlQuery(const CADbSqlQuery&) = delete;
    CADbSqlQuery& operator=(const CADbSqlQuery&) = delete;

    // One step; returns the end flag. A failed step ends the iteration (the engine would
    // start the statement over if it were stepped again): the flag becomes true and the
    // failure is kept for the caller to show (StepFailed, StepFailure).
    bool NextRow();
    bool StepFailed() const { return m_nStepResult != SQLITE_OK; }
    // The failed step as a failure: its result code, the engine's message, "NextRow".
    CADbSqlException StepFailure() const;
    [[noreturn]] void CheckStm() const;
    std::wstring GetFieldName(int column) const;
    // The column's text, NULL for SQL NULL. The pointer stays valid until the next
    // read of the same column or the next step.
    const wchar_t* GetFieldValue(int column) const;
    int GetIntField(int column) const;
    sqlite3_int64 GetInt64Field(int column) const;
    bool Eof() const { return m_bEof; }
    void Finalize();

    SqlStatement m_pStmt;
    sqlite3* m_pDb = nullptr;
    int m_nCols = 0;
    bool m_bEof = true;

private:
    mutable std::vector<std::wstring> m_cells; // converted texts, one per column
    int m_nStepResult = SQLITE_OK;             // the result of a failed step, SQLITE_OK while none failed
    std::wstring m_strStepMessage;             // the engine's message of that step
};
