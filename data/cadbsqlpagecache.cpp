#include "data/cadbsqlpagecache.h"

#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/failure.h"
#include "data/sqlite16.h"

#include <algorithm>
#include <utility>

void CADbSqlPageCache::Init(int columns, CADbSqlDb* database, const std::wstring& viewName)
{
    m_nColumns = columns;
    m_pDatabase = database;
    m_strViewName = viewName;
    m_nRowsPerPage = PAGE_CACHE_ROWS;
    m_arrRows.assign(static_cast<size_t>(m_nRowsPerPage), std::vector<std::wstring>(static_cast<size_t>(columns)));
    m_nFirstRow = -1;
    m_nLoadedRows = 0;
    m_strSelectList = L"*";
    m_strOrder.clear();
    SetStore(nullptr);
}

const wchar_t* CADbSqlPageCache::GetValue(int row, int column)
{
    if (row < 0 || column < 0 || column >= m_nColumns)
        return L"";
    // A row beyond those the last load brought is read anew: that load may have come
    // while the walk had not yet kept the row.
    auto cached = [&] { return m_nFirstRow != -1 && row >= m_nFirstRow && row < m_nFirstRow + m_nLoadedRows; };
    if (!cached())
        LoadPage(std::max(0, row - PAGE_CACHE_LEAD));
    if (!cached())
        return L"";
    return m_arrRows[static_cast<size_t>(row - m_nFirstRow)][static_cast<size_t>(column)].c_str();
}

bool CADbSqlPageCache::LoadPage(int firstRow)
{
    const std::shared_ptr<ResultStore> store = GetStore();
    if (!store)
        return false;
    std::wstring message;
    const int columns = std::min(m_nColumns, store->Columns());
    const int rows = store->Read(firstRow, m_nRowsPerPage, [&](int k, sqlite3_stmt* stmt) {
        std::vector<std::wstring>& cells = m_arrRows[static_cast<size_t>(k)];
        for (int c = 0; c < columns; ++c)
            cells[static_cast<size_t>(c)] = sqlite16::ColumnText(stmt, c);
    }, message);
    if (rows < 0) {
        ShowFailureLine(CADbSqlException(SQLITE_ERROR, message, L""), LOC_PAGE_CACHE_LOAD);
        return false;
    }
    if (rows == 0)
        return false;
    m_nFirstRow = firstRow;
    m_nLoadedRows = rows;
    return true;
}

void CADbSqlPageCache::SetStore(std::shared_ptr<ResultStore> store)
{
    std::shared_ptr<ResultStore> old;
    {
        std::lock_guard lock(m_storeLock);
        old = std::exchange(m_pStore, std::move(store));
    }
    // The old store closes here, outside the lock.
}

std::shared_ptr<ResultStore> CADbSqlPageCache::GetStore() const
{
    std::lock_guard lock(m_storeLock);
    return m_pStore;
}
