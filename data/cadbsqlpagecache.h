#pragma once
// The rows of a query's temporary view around the row the datasheet asks for: one
// page of 200 consecutive rows as texts, reloaded around a requested row outside it.
// The rows come from the result kept by the loader's walk over the view (ResultStore),
// found by their position, so that a far page costs no more than a near one and the
// view's statement never runs again on the user-interface thread.
#include "data/resultstore.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CADbSqlDb;

inline constexpr int PAGE_CACHE_ROWS = 200;
// A reload starts this many rows before the requested row.
inline constexpr int PAGE_CACHE_LEAD = 100;

class CADbSqlPageCache {
public:
    // Ready for that many columns of the view; nothing cached yet.
    void Init(int columns, CADbSqlDb* database, const std::wstring& viewName);
    // The text of the cell; SQL NULL, a BLOB and a row the view does not have give "".
    // Reloads the page around the row when the row is not cached.
    const wchar_t* GetValue(int row, int column);
    // Reads the page that starts at the row; false when no row came or the read
    // failed (shown in the caption strip; the cached texts stay as they were).
    bool LoadPage(int firstRow);

    // The kept rows that the pages read, handed over by the loader (any thread) once the
    // walk has its first page; the cached texts are those of the store before.
    void SetStore(std::shared_ptr<ResultStore> store);
    std::shared_ptr<ResultStore> GetStore() const;

    int m_nRowsPerPage = PAGE_CACHE_ROWS;
    int m_nColumns = 0;
    std::wstring m_strViewName;
    int m_nFirstRow = -1;
    CADbSqlDb* m_pDatabase = nullptr;
    std::vector<std::vector<std::wstring>> m_arrRows;
    int m_nLoadedRows = 0; // rows the last load brought
    // The columns walked: all of the view's ("*"), or for a table read by position each
    // column with a BLOB read as NULL, so that no BLOB's bytes are read.
    std::wstring m_strSelectList = L"*";
    // " ORDER BY ..." of a table read by position (a table without a usable rowid); empty
    // for a query's view, whose rows come in the view's own order.
    std::wstring m_strOrder;

private:
    mutable std::mutex m_storeLock; // guards m_pStore
    std::shared_ptr<ResultStore> m_pStore;
};
