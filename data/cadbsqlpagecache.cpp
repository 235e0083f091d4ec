#include "data/cadbsqlpagecache.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "data/sqlite16.h"

#include <algorithm>

void CADbSqlPageCache::Init(int columns, CADbSqlDb* database, const std::wstring& viewName)
{
    m_nColumns = columns;
    m_pDatabase = database;
    m_strViewName = viewName;
    m_nRowsPerPage = PAGE_CACHE_ROWS;
    m_arrRows.assign(static_cast<size_t>(m_nRowsPerPage), std::vector<std::wstring>(static_cast<size_t>(columns)));
    m_nFirstRow = -1;
    m_nLoadedRows = 0;
}

const wchar_t* CADbSqlPageCache::GetValue(int row, int column)
{
    if (row < 0 || column < 0 || column >= m_nColumns)
        return L"";
    if (m_nFirstRow == -1 || row < m_nFirstRow || row > m_nFirstRow + m_nRowsPerPage - 1)
        LoadPage(std::max(0, row - PAGE_CACHE_LEAD));
    // Only the rows of the last load are the view's rows; older texts beyond them are stale.
    if (m_nFirstRow == -1 || row < m_nFirstRow || row >= m_nFirstRow + m_nLoadedRows)
        return L"";
    return m_arrRows[static_cast<size_t>(row - m_nFirstRow)][static_cast<size_t>(column)].c_str();
}

bool CADbSqlPageCache::LoadPage(int firstRow)
{
    SqlStatement stmt;
    try {
        std::wstring sql;
        FormatString(sql, L"SELECT * FROM [%s] LIMIT %d,%d", SqlName{m_strViewName}, firstRow, m_nRowsPerPage);
        stmt = m_pDatabase->ExecuteStmt(sql);
        if (!stmt)
            return false;
        int k = 0;
        for (;;) {
            std::wstring message;
            const int rc = sqlite16::Step(stmt, message);
            if (rc == SQLITE_DONE)
                break;
            if (rc != SQLITE_ROW)
                throw CADbSqlException(SQLITE_ERROR, message, L"");
            if (k >= m_nRowsPerPage)
                break;
            std::vector<std::wstring>& cells = m_arrRows[static_cast<size_t>(k)];
            const int columns = std::min(m_nColumns, sqlite3_column_count(stmt));
            for (int c = 0; c < columns; ++c) {
                std::wstring& cell = cells[static_cast<size_t>(c)];
                cell.clear();
                if (sqlite3_column_type(stmt, c) != SQLITE_BLOB)
                    cell = sqlite16::ColumnText(stmt, c);
            }
            ++k;
            m_nFirstRow = firstRow;
            m_nLoadedRows = k;
        }
        sqlite3_reset(stmt);
        stmt.Finalize();
        return k > 0;
    } catch (const CADbSqlException& e) {
        stmt.Finalize();
        ShowFailureLine(e, LOC_PAGE_CACHE_LOAD);
        return false;
    }
}
