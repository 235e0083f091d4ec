#pragma once
// A statement being stepped row by row. It owns its statement: moved, never copied,
// and the statement is finalized when the result goes or is finalized.
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

    // One step; returns the end flag. A result other than a row or the end is not
    // reported: the flag is false and the column reads give NULL.
    bool NextRow();
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
};
