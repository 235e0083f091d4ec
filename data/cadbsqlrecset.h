#pragma once
// The record set behind a datasheet. Rowid mode works over one table: the row loader
// collects the table's rowids in datasheet order, a row is read by its rowid, and rows
// can be changed, added, deleted, searched and have their BLOB cells read and written.
// Offset mode works over a temporary view (a query result or a database view): the
// loader only counts the rows, and a row is read by its position through the page cache.
//
// Rows are addressed by their index in the datasheet, 0 to GetRecordCount() - 1.
// Row identifiers are 64-bit throughout.
#include "data/cadbsqlfieldinfo.h"
#include "data/cadbsqlpagecache.h"
#include "data/cadbsqlquery.h"
#include "data/rowidlist.h"
#include "data/sqlvalue.h"

#include <sqlite3.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CADbSqlDb;
namespace platform {
class MessageTarget;
}

using RowId = sqlite3_int64;

// Posted by the row loader to the record set's notification target:
// wParam 1 while loading (lParam the rows so far), 0 when the load ended (lParam the rows in all).
inline constexpr unsigned UM_LOAD_TABLE_DATA = 0x291C;

class CADbSqlRecSet {
public:
    explicit CADbSqlRecSet(CADbSqlDb* database);
    // Waits until the loader has let go of this record set, then releases its statements.
    virtual ~CADbSqlRecSet();
    CADbSqlRecSet(const CADbSqlRecSet&) = delete;
    CADbSqlRecSet& operator=(const CADbSqlRecSet&) = delete;

    // RECSET_MODE_TABLE: rowid mode over m_strTableName; RECSET_MODE_QUERY or _VIEW: offset
    // mode over the temporary view named there. Returns after the first page of rows is known; false when the object
    // has no columns (no load starts). Throws CADbSqlException when the PRAGMAs fail.
    bool Open(int mode);
    // Reloads the rows (in m_strSort's order); returns after the first page. Always false.
    // A load still running (of any record set) goes on to its end first.
    bool Requery();
    int GetRecordCount() const;
    // True from a re-query until the loads it asked for have ended. A load counts as
    // ended before its final UM_LOAD_TABLE_DATA is posted, so the receiver of a final
    // post that finds IsLoading() still true knows a later load is on its way.
    bool IsLoading() const;

    bool MoveTo(int row);
    // The current row's text of the column; NULL for SQL NULL, no row, a BLOB column in
    // rowid mode or a column out of range. Valid until the row statement changes.
    const wchar_t* GetFieldValue(int column);
    // The current row's value of the column exactly as stored (rowid mode; BLOBs too).
    SqlValue GetFieldSqlValue(int column) const;
    // Ends the read of the current row; the row SELECT stays prepared for the next move.
    void CloseRowStmt();
    // The rowid of the row the record set stands on; 0 when it stands on none.
    RowId GetCurrentRowId() const;

    bool GetFieldName(int index, std::wstring& name) const;
    bool GetFieldInfo(int index, CADbSqlFieldInfo& info) const;
    bool GetFieldInfos(const std::wstring& table, std::vector<CADbSqlFieldInfo>& out);
    void GetForeignKeyColumns(const std::wstring& table, std::vector<std::wstring>& out);
    bool IsForeignKeyColumn(const std::wstring& name) const;
    // True when the column is the rowid alias: the table's single primary-key column,
    // declared INTEGER in any letter case.
    bool IsRowIdAlias(int column) const;

    // Prepares the UPDATE of every column of the row with this rowid, BLOB-declared
    // columns left out (their values never change through an edit).
    void Edit(RowId rowid);
    // Prepares the INSERT of the columns marked in `columns` (all columns when empty), so
    // that columns the user never touched take their defaults.
    void AddNew(const std::vector<bool>& columns = {});
    // Binds a cell from its text: empty text is NULL; the integer primary-key column
    // takes the text as a 64-bit integer; other columns take the text.
    void BindField(int column, const std::wstring& value);
    // Binds a cell with its exact stored value.
    void BindValue(int column, const SqlValue& value);
    // Runs the prepared UPDATE or INSERT; the changed rows. After an INSERT the new rowid
    // is appended as the last row. Throws on failure (the statement is released either way).
    int ExecuteBound();
    // Releases a prepared UPDATE or INSERT without running it.
    void CancelBound();

    RowId GetRowId(int row) const; // 0 for an index out of range
    void SetRowId(int row, RowId rowid);
    int FindRowIndex(RowId rowid) const; // the lowest index, -1 when absent

    bool DeleteRow(int row);
    // Deletes the rows (indices, any order) in one transaction; stops at the first
    // failure (shown in the caption strip), keeping the rows deleted before it. Indices
    // out of range are skipped. The rowid list is compacted once. Returns the rows deleted.
    int DeleteRows(const std::vector<int>& rows);

    // The mode (SEARCH_START_OF_FIELD, _WHOLE_FIELD, _ANY_PART_OF_FIELD): the value starts
    // with the text, equals it or contains it. LIKE semantics
    // ('%' and '_' are wildcards); the text is bound. `out` stands on the first matching
    // rowid, or is at its end.
    CADbSqlQuery& Search(CADbSqlQuery& out, const std::wstring& text, int mode, int column);
    // The rows of `table` whose columns `targetColumns[i]` equal this record set's columns
    // `columns[i]` in the given row (an empty targetColumns means the same names). Values
    // are bound.
    CADbSqlQuery& FindRelatedRows(CADbSqlQuery& out, int row, const std::wstring& table,
                                  const std::vector<std::wstring>& columns,
                                  const std::vector<std::wstring>& targetColumns = {});

    // The BLOB of a cell; false when it cannot be read. An empty or NULL cell gives true
    // with empty data.
    bool GetBlob(int row, int column, std::string& data);
    sqlite3_int64 GetBlobSize(int row, int column);
    // Writes the bytes into the cell (NULL data makes it NULL); throws CADbSqlException
    // when the write fails.
    void SetBlob(int row, int column, const char* data, sqlite3_int64 length);

    virtual std::wstring GetDefaultSource() = 0;
    virtual std::wstring GetDefaultTableName() = 0;
    virtual std::wstring GetDefaultColumnOrder() = 0;

    std::wstring m_strFilter;
    std::wstring m_strSort;
    std::vector<CADbSqlFieldInfo> m_arrFields;
    CADbSqlPageCache m_PageCache;
    int m_bOffsetMode = 0;
    std::vector<std::wstring> m_arrForeignKeyColumns;
    std::atomic<int> m_bCancelLoad{0};
    platform::MessageTarget* m_pNotifyWnd = nullptr;
    CADbSqlDb* m_pDatabase = nullptr;
    sqlite3_stmt* m_pRowStmt = nullptr; // m_pRowSelect while it stands on a row; owns nothing
    SqlStatement m_pBindStmt;
    RowIdList m_arrRowIds; // guarded by g_csRowIds
    std::wstring m_strSelectList;
    std::wstring m_strTableName;
    std::wstring m_strColumnOrder;
    int m_nFields = 0;
    int m_nCurrentRow = -1;
    bool m_bEditing = false;
    bool m_bAdding = false;
    std::atomic<int> m_nOffsetRowCount{0};

private:
    friend void RowLoaderJob();

    void ResolveTableNames();
    std::wstring BuildSelectList(const std::wstring& columnOrder) const;
    std::wstring BuildWhereOrderClause() const;
    std::wstring BuildRowSelectSql() const;
    bool Move(int row);
    std::wstring BuildInsertSql() const; // of the columns in m_arrBoundColumns
    std::wstring BuildUpdateSql() const; // the same; the rowid is parameter m_nFields + 1
    void PrepareBound(const std::wstring& sql);
    bool IsBound(int column) const;
    void BindInt(int column, sqlite3_int64 value);
    void BindNull(int column);
    void BindText(int column, const std::wstring& text);
    // Runs the bind; a failure throws with the connection's message of it.
    void CheckBind(const std::function<int()>& bind) const;
    bool StepPragmaQuery(const std::wstring& sql, SqlStatement& stmt);
    // The loader's side (rowloader.cpp), run on the loader thread.
    bool StepRowIdQuery(const std::wstring& sql, SqlStatement& stmt);
    void LoadRowIds();
    int CountRowsOffsetMode(const std::wstring& viewName);
    void PostLoad(int wParam, int rows) const;
    void EndLoad(int rows, bool postFinal, bool setFirstPage);
    // Whether the BLOB calls can address the cell by its rowid: a column of the record set
    // and a row of its rowid list, never in offset mode.
    bool IsBlobCell(int row, int column) const;
    // The cell's SELECT by the row's rowid, bound and ready to step; empty for a cell the
    // BLOB calls cannot address or a statement that does not prepare.
    SqlStatement PrepareCellRead(int row, int column);

    SqlStatement m_pRowSelect;                   // the row SELECT, kept prepared; m_pRowStmt while on a row
    std::vector<std::wstring> m_arrValueBuffers; // GetFieldValue's text of each column
    RowId m_nCurrentRowId = 0;
    std::vector<bool> m_arrBoundColumns;         // the columns the prepared UPDATE or INSERT sets
    std::atomic<int> m_nPendingLoads{0};         // loads asked for that have not ended
};
