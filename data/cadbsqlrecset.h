#pragma once
// The record set behind a datasheet. Rowid mode works over one table: the row loader
// collects the table's rowids in datasheet order, a row is read by its rowid, and rows
// can be changed, added, deleted, searched and have their BLOB cells read and written.
// Offset mode works over a temporary view (a query result or a database view), or over
// a statement that no view can hold (EXPLAIN): the loader walks the rows once and keeps
// them, and a row is read by its position through the page cache.
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
    // mode over the temporary view named there; RECSET_MODE_STATEMENT: offset mode over
    // the rows of the statement that m_strTableName holds, walked itself. Returns after
    // the first page of rows is known; false when the object has no columns (no load
    // starts). Throws CADbSqlException when the PRAGMAs or the statement do not prepare.
    bool Open(int mode);
    // Reloads the rows (in m_strSort's order); returns after the first page. Always false.
    // A load still running (of any record set) goes on to its end first. A responsive
    // re-query keeps the window painting while it waits (see platform/uiwait.h).
    bool Requery(bool responsive = false);
    int GetRecordCount() const;
    // True from a re-query until the loads it asked for have ended. A load counts as
    // ended before its final UM_LOAD_TABLE_DATA is posted, so the receiver of a final
    // post that finds IsLoading() still true knows a later load is on its way.
    bool IsLoading() const;

    bool MoveTo(int row);
    // The same for an edit: the row statement then gives every value exactly as stored
    // (GetFieldSqlValue), BLOBs included. MoveTo, for the grid, never reads a BLOB's bytes.
    bool MoveToExact(int row);
    // The current row's text of the column; NULL for SQL NULL, no row, a BLOB column in
    // rowid mode or a column out of range. Valid until the row statement changes.
    const wchar_t* GetFieldValue(int column);
    // The current row's value of the column exactly as stored, after MoveToExact (rowid
    // mode; BLOBs too; a text keeps its bytes even when they are no valid UTF-8).
    SqlValue GetFieldSqlValue(int column) const;
    // Ends the read of the current row; the row SELECT stays prepared for the next move.
    void CloseRowStmt();
    // The rowid of the row the record set stands on; 0 when it stands on none.
    RowId GetCurrentRowId() const;

    bool GetFieldName(int index, std::wstring& name) const;
    bool GetFieldInfo(int index, CADbSqlFieldInfo& info) const;
    bool GetFieldInfos(const std::wstring& table, std::vector<CADbSqlFieldInfo>& out);
    // The result columns of a statement, as the view's columns would read: their names and
    // the declared types of the table columns they read. False for a statement without any.
    bool GetStatementFieldInfos(const std::wstring& statement, std::vector<CADbSqlFieldInfo>& out);
    void GetForeignKeyColumns(const std::wstring& table, std::vector<std::wstring>& out);
    bool IsForeignKeyColumn(const std::wstring& name) const;
    // True when the column is the rowid alias, by the engine's rule: the table's single
    // primary-key column, declared INTEGER in any letter case, in a table with rowids,
    // and not the "INTEGER PRIMARY KEY DESC" column-constraint form (a PRIMARY KEY (x DESC)
    // table constraint is an alias).
    bool IsRowIdAlias(int column) const;
    // A table whose rows cannot be addressed by rowid (WITHOUT ROWID, or every rowid name
    // shadowed by a column) is opened read-only: its rows are read by position as in
    // offset mode. A table of a database file that cannot be written keeps its rowid
    // addressing but is read-only as well. The reason is the caption-strip line shown at
    // the open; empty for a table opened for editing and for a query or view.
    const std::wstring& GetReadOnlyReason() const { return m_strReadOnlyReason; }
    // True when no row can be edited, inserted or deleted: a query or view, or a table
    // with a read-only reason.
    bool IsReadOnly() const { return m_bOffsetMode || !m_strReadOnlyReason.empty(); }
    // Whether the last re-query's load failed before it listed a row; the rows listed
    // before it then stay as they were. The loader has shown the failure.
    bool LoadFailed() const { return m_bLoadFailed; }
    // The text of a rowid-alias cell as its value: digits only, within 64 bits.
    static bool ParseRowIdText(const std::wstring& text, RowId& value);

    // Prepares the UPDATE of the row with this rowid that sets the columns marked in
    // `columns` and no other (all columns when empty); BLOB-declared columns are always
    // left out (their values never change through an edit). A column the statement does
    // not set is neither written nor checked by the engine (a foreign key broken before
    // stays as it was), nor does it fire an UPDATE OF trigger.
    void Edit(RowId rowid, const std::vector<bool>& columns = {});
    // Prepares the INSERT of the columns marked in `columns` (all columns when empty), so
    // that columns the user never touched take their defaults.
    void AddNew(const std::vector<bool>& columns = {});
    // Binds a cell from its text: empty text is NULL; the rowid alias takes the text as a
    // 64-bit integer (a text that is no such number throws); every other column takes the
    // text, which the engine converts by the column's affinity.
    void BindField(int column, const std::wstring& value);
    // Binds a cell with its exact stored value.
    void BindValue(int column, const SqlValue& value);
    // Runs the prepared UPDATE or INSERT; the changed rows. After an INSERT that inserted
    // a row the new rowid is appended as the last row; an INSERT the engine ignored gives 0
    // and appends nothing. Throws on failure (the statement is released either way).
    int ExecuteBound();
    // Releases a prepared UPDATE or INSERT without running it.
    void CancelBound();

    RowId GetRowId(int row) const; // 0 for an index out of range
    void SetRowId(int row, RowId rowid);
    int FindRowIndex(RowId rowid) const; // the lowest index, -1 when absent

    bool DeleteRow(int row);
    // Deletes the rows (indices, any order) as one unit: all of them, or none when one
    // fails (shown in the caption strip) and when the user stops the delete. The deletes
    // run on a thread of their own while the window waits responsively (LongStatement),
    // with a caption line that says Escape stops them; a stop interrupts the row being
    // deleted, except inside a transaction of the caller's, which an interrupt would
    // roll back too: there the stop comes after that row. Indices out of range are
    // skipped. The rowid list is compacted once. Returns the rows deleted.
    int DeleteRows(const std::vector<int>& rows);

    // The mode (SEARCH_START_OF_FIELD, _WHOLE_FIELD, _ANY_PART_OF_FIELD): the value starts
    // with the text, equals it or contains it. LIKE semantics ('%' and '_' are wildcards);
    // the text is bound. The hits come in the datasheet's order (rowid order when
    // unsorted). `out` stands on the first matching rowid, or is at its end.
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
    sqlite3_stmt* m_pRowStmt = nullptr; // a row SELECT while it stands on a row; owns nothing
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
    friend class RowLoaderState;

    // The loader thread's row-id iterator: the next row of sql's statement, on the
    // loader's own iteration; false at the end. Throws CADbSqlException when a step fails.
    bool StepRowIdQuery(const std::wstring& sql, SqlStatement& stmt);

    void ResolveTableNames();
    std::wstring BuildSelectList(const std::wstring& columnOrder) const;
    std::wstring BuildWhereOrderClause() const;
    // The row SELECT by rowid: for the grid (exact false) every column that may hold a
    // BLOB gives NULL for one, so its bytes are never read; for an edit every value as is.
    std::wstring BuildRowSelectSql(bool exact) const;
    // A column of the grid's reads: the column, or NULL for a BLOB in it.
    std::wstring BuildGridColumn(int column) const;
    // Decides how rows are addressed (alias column, rowid name, read-only reason).
    void DescribeRowAddress();
    bool Move(int row, bool exact);
    bool MoveToRow(int row, bool exact);
    std::wstring BuildInsertSql() const; // of the columns in m_arrBoundColumns
    std::wstring BuildUpdateSql() const; // the same; the rowid is parameter m_nFields + 1
    void PrepareBound(const std::wstring& sql);
    bool IsBound(int column) const;
    void BindInt(int column, sqlite3_int64 value);
    void BindNull(int column);
    void BindText(int column, const std::wstring& text);
    // Runs the bind; a failure throws with the connection's message of it.
    void CheckBind(const std::function<int()>& bind) const;
    // The loader's side, run on the loader thread.
    void LoadRowIds();
    // Walks and keeps the rows of the view named, or in RECSET_MODE_STATEMENT those of the
    // statement itself.
    int CountRowsOffsetMode(const std::wstring& source);
    void PostLoad(int wParam, int rows) const;
    void EndLoad(int rows, bool postFinal, bool setFirstPage);
    // Whether the BLOB calls can address the cell by its rowid: a column of the record set
    // and a row of its rowid list, never in offset mode.
    bool IsBlobCell(int row, int column) const;
    // The cell's SELECT by the row's rowid, bound and ready to step; empty for a cell the
    // BLOB calls cannot address or a statement that does not prepare.
    SqlStatement PrepareCellRead(int row, int column);

    SqlStatement m_pRowSelect;                   // the grid's row SELECT, kept prepared; m_pRowStmt while on a row
    SqlStatement m_pExactSelect;                 // the exact row SELECT of MoveToExact, kept prepared
    std::vector<std::wstring> m_arrValueBuffers; // GetFieldValue's text of each column
    RowId m_nCurrentRowId = 0;
    std::vector<bool> m_arrBoundColumns;         // the columns the prepared UPDATE or INSERT sets
    std::atomic<int> m_nPendingLoads{0};         // loads asked for that have not ended
    std::atomic<bool> m_bLoadFailed{false};
    // The name by which the statements reach the table's rowid: rowid, oid or _rowid_,
    // the first that no column of the table shadows; empty when all are (and in offset mode).
    std::wstring m_strRowIdName = L"rowid";
    std::wstring m_strReadOnlyReason;
    int m_nRowIdAliasColumn = -1;
    // Rowids that SetRowId gave rows while a load ran, guarded by g_csRowIds: the loader,
    // still walking the table, must not list such a row a second time.
    std::vector<RowId> m_arrPlacedRowIds;
    // Whether the loader lists this rowid: false for a row SetRowId placed there while the
    // load ran. The caller holds g_csRowIds.
    bool IsNewToList(RowId rowid) const;
};
