#pragma once
// The datasheet model of one data window: the rows of a table, a database view or a
// query result. The grid reads every cell through GetCellText and writes every edited
// cell through SetCellValue. A change to an existing row is written at once; the
// texts typed into the new-row line (the line after the last row, shown once loading
// has ended) are inserted when the user leaves that line. The row under edit, the
// search hits and the rows read are held by rowid, so a re-sort or a deletion never
// makes an edit or an undo reach another row.
#include "data/cadbsqlquery.h"
#include "data/cadbsqlrecset.h"
#include "data/sqlvalue.h"
#include "document/datasheet/crecset.h"
#include "document/session/connectionuser.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CDataInterface;

// One cell of a row buffer.
struct ColumnValue {
    std::wstring m_strValue; // the cell text; SQL NULL and BLOB cells read as ""
    SqlValue m_value;        // the cell exactly as stored (tables only)
    // Written by SetCellValue since the buffer was cleared; in the undo copy: changed by
    // the row's edit since the copy was taken.
    bool m_bModified = false;
};

// Results of SetCellValue.
inline constexpr int CELL_REFUSED = -1;
inline constexpr int CELL_STORED = 1;
inline constexpr int CELL_ROW_INSERTED = 2;
inline constexpr int CELL_UNCHANGED = 3;

class CDataAccess : public ConnectionUser {
public:
    CDataAccess();
    // Stops a running load, waits for the loader to let go, releases both queries.
    ~CDataAccess();
    CDataAccess(const CDataAccess&) = delete;
    CDataAccess& operator=(const CDataAccess&) = delete;

    // Opens the program-wide connection on g_strCurrentDbPath and names the database's
    // saved-query node; false after showing the failure.
    static bool OpenDatabase();

    // mode RECSET_MODE_TABLE a table, _QUERY an SQL query (one that no view can hold, as
    // EXPLAIN, is read from the statement itself), _VIEW a database view (source is the
    // view's name; the window's m_strSource becomes its stored SELECT). Returns
    // once the first rows are loaded; false when a record set exists already or the
    // source has no columns. Throws CADbSqlException when the column PRAGMAs fail.
    bool Open(const std::wstring& source, int mode);
    // Sizes the three row buffers for the record set's columns; once, after Open.
    void InitRowBuffers();

    // "" without a record set or for a column out of range.
    std::wstring GetColumnName(int column) const;
    // The cell's text, valid until the next row is read; "" for any index out of range.
    const wchar_t* GetCellText(int row, int column);

    // The row reads of one painted viewport share one read transaction: the file is
    // locked and checked once per paint instead of once per row, and every row shown
    // comes from one snapshot. Inside a transaction already open it does nothing, nor
    // while the rows load: the loader's open query holds a read transaction then.
    class ViewportRead {
    public:
        explicit ViewportRead(CDataAccess* data);
        ~ViewportRead();
        ViewportRead(const ViewportRead&) = delete;
        ViewportRead& operator=(const ViewportRead&) = delete;

    private:
        CADbSqlDb* m_pDb = nullptr; // set when this read began the transaction
    };
    // CELL_REFUSED (refused or failed; the failure is shown), CELL_STORED, CELL_ROW_INSERTED
    // (rowChanged on the new-row line inserted it) or CELL_UNCHANGED.
    int SetCellValue(int row, int column, const std::wstring& text, bool rowChanged);
    // Writes back the row under edit as it was before its first change; the row's index,
    // -1 when nothing was undone (or the row is not among the rows loaded).
    int UndoRowEdit();

    // SORT_DESCENDING, any other direction ascending; reloads the rows in that order.
    // The window keeps painting (blank cells) while the first rows of the new order are
    // awaited; the user's input waits, and no second sort, search or delete starts.
    bool Sort(const std::wstring& column, int direction);
    // mode SEARCH_START_OF_FIELD: the value starts with the text, _WHOLE_FIELD equals it,
    // _ANY_PART_OF_FIELD contains it ('%' and '_' are
    // wildcards). Collects every hit's rowid at once; true when there is one.
    bool Search(const std::wstring& text, int mode, int column);
    // The row of the next or previous hit among the rows loaded, skipping hits not
    // loaded; -1 (and no move) when there is none. Neither direction wraps around.
    int FindNext();
    int FindPrev();
    // True while hits lie after the one shown last.
    bool HasNextHit() const;
    // Deletes the rows (indices) through the record set; deleting the row under edit
    // ends its edit, so Undo is off. A table shown read-only deletes nothing and says why.
    // The window keeps painting while the rows go, and Escape stops the delete with every
    // row kept (CADbSqlRecSet::DeleteRows).
    int DeleteRows(const std::vector<int>& rows);

    // Runs the query of the rows of `table` related to the row: targetColumns[i] of that
    // table equals columns[i] of this one (targetColumns empty: the same names). An empty
    // name stands for the primary-key column of that position, as a foreign key that
    // names no parent columns means. True when a related row exists; the rows are then
    // read from m_RelatedQuery.
    bool StartRelatedQuery(int row, const std::wstring& table, const std::vector<std::wstring>& columns,
                           const std::vector<std::wstring>& targetColumns = {});
    std::wstring GetRelatedFieldName(int column) const;
    // The related row's text of the column; "" for NULL.
    std::wstring GetRelatedFieldText(int column) const;

    int GetRecordCount() const;
    // True once the record set's rows are all known; only then the new-row line exists.
    bool IsLoadEnded() const;
    // The grid's line count: the rows known, plus the new-row line once loading ended.
    int GetItemCount() const;

    // Inner operations.
    bool ValidateCell(int column, const std::wstring& text, int& isKey);
    // forEdit reads every value exactly as stored (BLOBs too), for writing the row back;
    // otherwise only the texts the grid shows, never a BLOB's bytes.
    bool LoadRow(int row, bool forEdit = false);
    bool LoadUndoRow(int row);
    int UpdateRow(int row);
    int InsertNewRow();
    bool IsNewRowModified() const;
    void ClearRowBuffer();
    void ClearNewRowBuffer();

    std::vector<ColumnValue> m_arrCurRow;  // the row read last
    std::vector<ColumnValue> m_arrNewRow;  // the texts typed into the new-row line
    std::vector<ColumnValue> m_arrUndoRow; // the row under edit before its first change
    int m_nEditRow = -1;                   // -1: no row under edit; else its index when last known
    RowId m_nEditRowId = 0;                // the row under edit, while m_nEditRow is not -1
    std::vector<RowId> m_arrSearchHits;    // rowids of every hit of the last search, in order
    int m_nSearchHit = -1;                 // index into the hits of the one shown last
    std::wstring m_strSource;              // the table name, or the statement or view SELECT shown
    int m_nInsertedRow = -1;               // row inserted last; the next cell request re-reads
    CADbSqlQuery m_RelatedQuery;           // the related-records dialog's rows
    std::unique_ptr<CRecSet> m_pRecSet;
    int m_bOpen = 0;
    CDataInterface* m_pDataInterface = nullptr; // the document's bridge; set before Open

    // Before the program-wide connection closes: the load is stopped, the loader has
    // left the record set, and the record set and the related query are released. The
    // model stays, without rows.
    void ReleaseConnection() override;

private:
    bool IsBlobColumn(int column) const;
    // Tells the bridge (and so the Undo button) whether a row is under edit.
    void SendEditState(bool editing);
    // The stored rowid of a row follows a changed INTEGER PRIMARY KEY.
    void MoveRowId(RowId from, RowId to);
    // Reads the record set's current row into the buffer; false when it cannot be read.
    bool ReadRow(int row, std::vector<ColumnValue>& into, RowId& rowid, bool forEdit);
    void SetSearchHits(std::vector<RowId> hits);
    // Finds the rows of the hits among the rows listed, looking only at rows appended
    // since the last call while the list has not changed otherwise.
    void MapHitRows();
    // A table shown read-only refuses edits with the caption-strip line of its open.
    void ShowReadOnlyReason() const;

    std::wstring m_strQueryView; // the temporary view a query or view is shown through
    int m_nCurRow = -1;      // index of the row in m_arrCurRow
    RowId m_nCurRowId = 0;   // its rowid (tables)
    bool m_bCurRowStale = true;
    bool m_bSorting = false; // while a sort awaits its first rows
    std::unordered_map<RowId, size_t> m_mapHitIndex; // each hit's rowid to its index
    std::vector<int> m_arrHitRows; // each hit's row among the rows listed, -1 when not found
    size_t m_nHitRowsScanned = 0;  // rows of the list looked at for m_arrHitRows
    unsigned m_nHitRowsVersion = 0;
    bool m_bHitRowsKnown = false;
};
