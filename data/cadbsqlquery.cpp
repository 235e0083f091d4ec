#include "data/cadbsqlquery.h"

#include "data/cadbsqlexception.h"
#include "data/sqlite16.h"

#include <utility>

CADbSqlQuery::CADbSqlQuery(SqlStatement stmt, sqlite3* db, bool eof)
    : m_pStmt(std::move(stmt))
    , m_pDb(db)
    , m_nCols(m_pStmt ? sqlite3_column_count(m_pStmt) : 0)
    , m_bEof(eof)
{
}

bool CADbSqlQuery::NextRow()
{
    if (!m_pStmt)
        CheckStm();
    // Stepped again, a failed statement would start over at its first row.
    if (StepFailed())
        return m_bEof = true;
    std::wstring message;
    const int rc = sqlite16::Step(m_pStmt, message);
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) {
        m_bEof = rc == SQLITE_DONE;
        return m_bEof;
    }
    m_nStepResult = rc;
    m_strStepMessage = message;
    m_bEof = true;
    return m_bEof;
}

CADbSqlException CADbSqlQuery::StepFailure() const
{
    return CADbSqlException(m_nStepResult, m_strStepMessage, L"NextRow");
}

void CADbSqlQuery::CheckStm() const { throw CADbSqlException(ADBSQL_NULL_POINTER, L"pStmt(NULL)", L"CheckStm"); }

std::wstring CADbSqlQuery::GetFieldName(int column) const
{
    return m_pStmt ? sqlite16::ColumnName(m_pStmt, column) : L"";
}

const wchar_t* CADbSqlQuery::GetFieldValue(int column) const
{
    if (!m_pStmt || column < 0 || column >= m_nCols)
        return nullptr;
    bool isNull = false;
    std::wstring text = sqlite16::ColumnText(m_pStmt, column, &isNull);
    if (isNull)
        return nullptr;
    if (m_cells.size() < static_cast<size_t>(m_nCols))
        m_cells.resize(static_cast<size_t>(m_nCols));
    m_cells[static_cast<size_t>(column)] = std::move(text);
    return m_cells[static_cast<size_t>(column)].c_str();
}

int CADbSqlQuery::GetIntField(int column) const { return m_pStmt ? sqlite3_column_int(m_pStmt, column) : 0; }

sqlite3_int64 CADbSqlQuery::GetInt64Field(int column) const
{
    return m_pStmt ? sqlite3_column_int64(m_pStmt, column) : 0;
}

void CADbSqlQuery::Finalize() { m_pStmt.Finalize(); }
