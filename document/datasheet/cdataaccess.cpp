#include "document/datasheet/cdataaccess.h"

#include "data/cadbsqlexception.h"
#include "data/cadbsqldb.h"
#include "data/cappdatafile.h"
#include "document/session/cmainframebase.h"
#include "data/constants.h"
#include "data/csplitpath.h"
#include "data/currentdb.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "data/longstatement.h"
#include "data/rowloader.h"
#include "data/sqlite16.h"
#include "data/textutil.h"
#include "document/datasheet/cdatainterface.h"
#include "document/session/currentdatabase.h"
#include "platform/captionline.h"
#include "platform/messagetarget.h"
#include "platform/waitcursor.h"

#include <algorithm>

namespace {

// Empty names stand for the primary-key column of their position (a foreign key that
// names no parent columns refers to the parent's primary key).
std::vector<std::wstring> ResolveKeyNames(std::vector<std::wstring> names, const std::vector<CADbSqlFieldInfo>& fields)
{
    for (size_t i = 0; i < names.size(); ++i) {
        if (!names[i].empty())
            continue;
        for (const CADbSqlFieldInfo& field : fields)
            if (field.m_nPk == static_cast<int>(i) + 1)
                names[i] = field.m_strName;
    }
    return names;
}

// The cells written since the buffer was cleared (in the undo copy: those the edit changed).
std::vector<bool> ModifiedCells(const std::vector<ColumnValue>& cells)
{
    std::vector<bool> modified(cells.size());
    for (size_t column = 0; column < cells.size(); ++column)
        modified[column] = cells[column].m_bModified;
    return modified;
}

} // namespace

CDataAccess::CDataAccess() = default;

CDataAccess::~CDataAccess()
{
    // The bridge may outlive the model: a load message reaching it later finds no model.
    if (m_pDataInterface)
        m_pDataInterface->DetachDataAccess(this);
    ReleaseConnection();
}

void CDataAccess::ReleaseConnection()
{
    // A running load stops after its current row; the record set's destructor waits
    // until the loader has let go of it.
    if (m_pRecSet)
        m_pRecSet->m_bCancelLoad = 1;
    m_pRecSet.reset();
    // The window's temporary view goes with it: a view left over a table or view dropped
    // since would make the engine refuse every later ALTER TABLE ... RENAME.
    if (!m_strQueryView.empty() && g_pCurrentDb)
        g_pCurrentDb->ExecuteQuietly(L"DROP VIEW IF EXISTS temp." + QuoteIdentifier(m_strQueryView));
    m_strQueryView.clear();
    m_RelatedQuery.Finalize();
    m_RelatedQuery = CADbSqlQuery();
    m_bOpen = 0;
    m_nEditRow = -1;
    SetSearchHits({});
    m_bCurRowStale = true;
}

bool CDataAccess::OpenDatabase()
{
    if (g_strCurrentDbPath.empty() || !g_pCurrentDb)
        return false;
    // A window that opens on the database already open keeps its connection: a second
    // open would orphan the handle that the loader and the other windows use.
    if (g_pCurrentDb->m_bOpen && g_pCurrentDb->m_strDbPath == g_strCurrentDbPath)
        return true;
    try {
        g_pCurrentDb->OpenDb(g_strCurrentDbPath);
    } catch (const CADbSqlException& e) {
        g_strOpenDbPath.clear();
        ShowFailureBox(e, LOC_OPEN_CURRENT_DB);
        return false;
    }
    // Every open database has its saved-query list, with or without tables.
    if (g_pMainFrame) {
        const CSplitPath split(g_strCurrentDbPath.c_str());
        g_pMainFrame->m_strRecentQueryNode = STR_RECENT_QUERY_PREFIX + split.GetFileName();
        if (CAppDataFile* store = MainAppDataFile())
            store->CreateNode(g_pMainFrame->m_strRecentQueryNode, NODE_TYPE_TEXT);
    }
    return true;
}

bool CDataAccess::Open(const std::wstring& source, int mode)
{
    if (m_pRecSet)
        return false;
    // A query or view is shown through a temporary view; when that cannot be made the
    // name stays empty and the open below finds no columns. A statement that gives rows
    // but that no view can hold (an EXPLAIN, one with parameters) has its rows read from
    // the statement itself instead. A database view is selected whole by its name, so its
    // text is never taken apart; its stored SELECT (or, without one, its name) names the
    // window's source.
    std::wstring name = source;
    std::wstring shown = source;
    int recSetMode = mode;
    if (mode == RECSET_MODE_QUERY) {
        const bool givesRows = IsQueryStatement(source);
        name = CreateQueryView(source, !givesRows);
        if (name.empty() && givesRows) {
            name = source;
            recSetMode = RECSET_MODE_STATEMENT;
        }
    } else if (mode == RECSET_MODE_VIEW) {
        std::wstring select;
        FormatString(select, L"SELECT * FROM %s", QuoteIdentifier(source));
        name = CreateQueryView(select, true);
        if (GetViewSelect(shown, source).empty())
            shown = source;
    }
    if (recSetMode == RECSET_MODE_QUERY || recSetMode == RECSET_MODE_VIEW)
        m_strQueryView = name;
    m_pRecSet = std::make_unique<CRecSet>(0, name, recSetMode);
    m_pRecSet->m_pNotifyWnd = m_pDataInterface;
    if (!m_pRecSet->Open(recSetMode))
        return false;
    m_strSource = shown;
    m_bOpen = 1;
    if (CAppDataFile* store = MainAppDataFile(); store && mode == RECSET_MODE_QUERY)
        store->AddExactTextValue(g_pMainFrame->m_strRecentQueryNode, source);
    return true;
}

void CDataAccess::InitRowBuffers()
{
    if (!m_pRecSet)
        return;
    const size_t columns = static_cast<size_t>(m_pRecSet->m_nFields);
    m_arrCurRow.assign(columns, ColumnValue());
    m_arrNewRow.assign(columns, ColumnValue());
    m_arrUndoRow.assign(columns, ColumnValue());
    m_bCurRowStale = true;
}

std::wstring CDataAccess::GetColumnName(int column) const
{
    std::wstring name;
    if (m_pRecSet && column < m_pRecSet->m_nFields)
        m_pRecSet->GetFieldName(column, name);
    return name;
}

int CDataAccess::GetRecordCount() const { return m_pRecSet ? m_pRecSet->GetRecordCount() : 0; }

bool CDataAccess::IsLoadEnded() const { return m_pRecSet && !m_pRecSet->IsLoading(); }

int CDataAccess::GetItemCount() const
{
    // Read the state before the count: a load that ends in between adds its last rows,
    // never a new-row line before them.
    const bool ended = IsLoadEnded();
    return GetRecordCount() + (ended ? 1 : 0);
}

const wchar_t* CDataAccess::GetCellText(int row, int column)
{
    // A sort that waits for its first rows, or a long statement, holds the connection:
    // nothing is read from it (a query's rows come from the rows its walk kept).
    if (m_bSorting || !m_pRecSet || column < 0 || column >= static_cast<int>(m_arrCurRow.size()) ||
        (!m_pRecSet->m_bOffsetMode && IsHeldLong(*m_pRecSet->m_pDatabase)))
        return L"";
    const int count = GetRecordCount();
    if (row == count)
        return IsLoadEnded() ? m_arrNewRow[static_cast<size_t>(column)].m_strValue.c_str() : L"";
    if (row < 0 || row > count)
        return L"";
    // Row 0 is read afresh at every request; any other row when the buffer holds
    // another row (by rowid: a re-sort or a delete changes which row an index means).
    const bool otherRow = row != m_nCurRow || (!m_pRecSet->m_bOffsetMode && m_pRecSet->GetRowId(row) != m_nCurRowId);
    if (m_bCurRowStale || otherRow || m_nInsertedRow != -1 || row == 0) {
        m_nInsertedRow = -1;
        if (!LoadRow(row))
            return L"";
    }
    return m_arrCurRow[static_cast<size_t>(column)].m_strValue.c_str();
}

CDataAccess::ViewportRead::ViewportRead(CDataAccess* data)
{
    CADbSqlDb* db = data && data->m_pRecSet ? data->m_pRecSet->m_pDatabase : nullptr;
    if (db && !data->m_bSorting && !IsHeldLong(*db) && data->IsLoadEnded() && !db->InTransaction() &&
        db->ExecuteQuietly(L"BEGIN"))
        m_pDb = db;
}

CDataAccess::ViewportRead::~ViewportRead()
{
    // A read ends with nothing to store; should COMMIT fail, ROLLBACK ends it all the same.
    if (m_pDb && m_pDb->InTransaction() && !m_pDb->ExecuteQuietly(L"COMMIT"))
        m_pDb->ExecuteQuietly(L"ROLLBACK");
}

bool CDataAccess::ReadRow(int row, std::vector<ColumnValue>& into, RowId& rowid, bool forEdit)
{
    if (!(forEdit ? m_pRecSet->MoveToExact(row) : m_pRecSet->MoveTo(row)))
        return false;
    const bool exact = forEdit && !m_pRecSet->m_bOffsetMode;
    rowid = m_pRecSet->m_bOffsetMode ? 0 : m_pRecSet->GetCurrentRowId();
    for (size_t column = 0; column < into.size(); ++column) {
        ColumnValue& cell = into[column];
        // The exact value first: reading a value as text may convert it in the statement.
        cell.m_value = exact ? m_pRecSet->GetFieldSqlValue(static_cast<int>(column)) : SqlValue();
        const wchar_t* text = m_pRecSet->GetFieldValue(static_cast<int>(column));
        cell.m_strValue = text ? text : L"";
        cell.m_bModified = false;
    }
    m_pRecSet->CloseRowStmt();
    return true;
}

bool CDataAccess::LoadRow(int row, bool forEdit)
{
    if (!m_pRecSet)
        return false;
    m_bCurRowStale = true;
    try {
        if (!ReadRow(row, m_arrCurRow, m_nCurRowId, forEdit))
            return false;
    } catch (const CADbSqlException& e) {
        m_pRecSet->CloseRowStmt();
        ShowFailureLine(e, LOC_LOAD_CURRENT_ROW);
        return false;
    }
    m_nCurRow = row;
    m_bCurRowStale = false;
    return true;
}

bool CDataAccess::LoadUndoRow(int row)
{
    if (!m_pRecSet)
        return false;
    RowId rowid = 0;
    try {
        // The copy must be of the row under edit: the row read for the edit.
        if (ReadRow(row, m_arrUndoRow, rowid, true) && rowid == m_nCurRowId)
            return true;
        ShowFailureBox(STR_ROW_NOT_READABLE, LOC_SAVE_UNDO_ROW);
    } catch (const CADbSqlException& e) {
        m_pRecSet->CloseRowStmt();
        ShowFailureBox(e, LOC_SAVE_UNDO_ROW);
    }
    return false;
}

bool CDataAccess::ValidateCell(int column, const std::wstring& text, int& isKey)
{
    isKey = 0;
    if (text.empty())
        return true;
    CADbSqlFieldInfo info;
    if (!m_pRecSet || !m_pRecSet->GetFieldInfo(column, info))
        return false;
    // The rule of the binding: only the rowid alias takes an integer, and nothing else;
    // every other column, a key column too, stores the text as typed.
    if (!m_pRecSet->IsRowIdAlias(column))
        return true;
    RowId value = 0;
    if (!CADbSqlRecSet::ParseRowIdText(text, value)) {
        ShowFailureBox(STR_NON_NUMERIC_KEY, LOC_CELL_CHECK);
        return false;
    }
    // Changing the rowid alias moves the row to another rowid, which the row list follows.
    isKey = 1;
    return true;
}

int CDataAccess::SetCellValue(int row, int column, const std::wstring& text, bool rowChanged)
{
    if (!m_pRecSet || column < 0 || column >= static_cast<int>(m_arrCurRow.size()))
        return CELL_REFUSED;
    if (m_pRecSet->IsReadOnly()) {
        ShowReadOnlyReason();
        return CELL_REFUSED;
    }
    int isKey = 0;
    if (!ValidateCell(column, text, isKey))
        return CELL_REFUSED;
    const int count = GetRecordCount();
    if (row == count && IsLoadEnded()) {
        ColumnValue& cell = m_arrNewRow[static_cast<size_t>(column)];
        cell.m_strValue = text;
        cell.m_bModified = true;
        if (!rowChanged)
            return CELL_STORED;
        if (IsNewRowModified() && InsertNewRow() > 0) {
            m_nInsertedRow = row;
            return CELL_ROW_INSERTED;
        }
        return CELL_REFUSED;
    }
    // A BLOB cell changes only through its file transfer, never from a text.
    if (row < 0 || row >= count || IsBlobColumn(column))
        return CELL_REFUSED;

    if (!LoadRow(row, true)) {
        ShowFailureLine(STR_ROW_NOT_READABLE, LOC_LOAD_CURRENT_ROW);
        return CELL_REFUSED;
    }
    ColumnValue& cell = m_arrCurRow[static_cast<size_t>(column)];
    if (cell.m_strValue == text)
        return CELL_UNCHANGED;

    const RowId rowid = m_nCurRowId;
    if (m_nEditRow == -1 || rowid != m_nEditRowId) {
        // The undo copy of the row edited before is dropped; without a copy of this
        // row, Undo stays off for it.
        m_nEditRow = -1;
        const bool saved = LoadUndoRow(row);
        if (saved) {
            m_nEditRow = row;
            m_nEditRowId = rowid;
        }
        SendEditState(saved);
    }

    cell.m_strValue = text;
    cell.m_bModified = true;
    if (UpdateRow(row) <= 0)
        return CELL_REFUSED;
    // Undo writes back the columns the edit changed, and only those.
    if (m_nEditRow != -1 && m_nEditRowId == rowid)
        m_arrUndoRow[static_cast<size_t>(column)].m_bModified = true;
    if (isKey) {
        RowId key = 0;
        CADbSqlRecSet::ParseRowIdText(text, key);
        MoveRowId(rowid, key);
    }
    LoadRow(row);
    return CELL_STORED;
}

int CDataAccess::UpdateRow(int row)
{
    if (!m_pRecSet || m_bCurRowStale || row != m_nCurRow)
        return 0;
    // Only the edited cells are written: a column the UPDATE does not set keeps whatever
    // it holds (another program's change too) and is not checked again by the engine,
    // so a row whose foreign key was already broken can still have its other cells edited.
    const std::vector<bool> edited = ModifiedCells(m_arrCurRow);
    int changed = 0;
    try {
        m_pRecSet->Edit(m_nCurRowId, edited);
        for (size_t column = 0; column < m_arrCurRow.size(); ++column)
            if (edited[column])
                m_pRecSet->BindField(static_cast<int>(column), m_arrCurRow[column].m_strValue);
        changed = m_pRecSet->ExecuteBound();
    } catch (const CADbSqlException& e) {
        m_pRecSet->CancelBound();
        ClearRowBuffer();
        ShowFailureBox(e, LOC_WRITE_ROW);
        return 0;
    }
    ClearRowBuffer();
    if (changed == 0)
        ShowFailureLine(STR_ROW_NOT_READABLE, LOC_WRITE_ROW);
    return changed;
}

int CDataAccess::InsertNewRow()
{
    if (!m_pRecSet)
        return 0;
    // Only the cells the user touched are inserted, so the others take their defaults.
    const std::vector<bool> touched = ModifiedCells(m_arrNewRow);
    int changed = 0;
    try {
        m_pRecSet->AddNew(touched);
        for (size_t column = 0; column < m_arrNewRow.size(); ++column)
            if (touched[column])
                m_pRecSet->BindField(static_cast<int>(column), m_arrNewRow[column].m_strValue);
        changed = m_pRecSet->ExecuteBound();
    } catch (const CADbSqlException& e) {
        m_pRecSet->CancelBound();
        ClearRowBuffer();
        ShowFailureBox(e, LOC_INSERT_ROW);
        return 0;
    }
    // The engine ignored the row (a conflict clause or a trigger): no line is added and
    // the typed texts stay.
    if (changed == 0) {
        ClearRowBuffer();
        ShowFailureBox(STR_ROW_NOT_INSERTED, LOC_INSERT_ROW);
        return 0;
    }
    ClearNewRowBuffer();
    return changed;
}

bool CDataAccess::IsNewRowModified() const
{
    for (const ColumnValue& cell : m_arrNewRow)
        if (!cell.m_strValue.empty())
            return true;
    return false;
}

void CDataAccess::ClearRowBuffer()
{
    for (ColumnValue& cell : m_arrCurRow)
        cell = ColumnValue();
    m_bCurRowStale = true;
}

void CDataAccess::ClearNewRowBuffer()
{
    for (ColumnValue& cell : m_arrNewRow)
        cell = ColumnValue();
}

int CDataAccess::UndoRowEdit()
{
    if (m_nEditRow == -1 || !m_pRecSet)
        return -1;
    const RowId rowid = m_nEditRowId;
    m_pRecSet->CloseRowStmt();
    m_bCurRowStale = true;
    // Only the columns the edit changed are written back; an edit whose every write
    // failed changed nothing, and there is nothing to write.
    const std::vector<bool> edited = ModifiedCells(m_arrUndoRow);
    if (std::find(edited.begin(), edited.end(), true) != edited.end()) {
        int changed = 0;
        try {
            m_pRecSet->Edit(rowid, edited);
            for (size_t column = 0; column < m_arrUndoRow.size(); ++column)
                if (edited[column])
                    m_pRecSet->BindValue(static_cast<int>(column), m_arrUndoRow[column].m_value);
            changed = m_pRecSet->ExecuteBound();
        } catch (const CADbSqlException& e) {
            m_pRecSet->CancelBound();
            ShowFailureBox(e, LOC_UNDO_ROW);
            return -1;
        }
        if (changed == 0) {
            ShowFailureBox(STR_ROW_NOT_READABLE, LOC_UNDO_ROW);
            return -1;
        }
    }
    // A key changed by the edit is changed back, and the row list follows it.
    RowId restored = rowid;
    for (size_t column = 0; column < m_arrUndoRow.size(); ++column)
        if (edited[column] && m_pRecSet->IsRowIdAlias(static_cast<int>(column)) &&
            m_arrUndoRow[column].m_value.m_nType == SQLITE_INTEGER)
            restored = m_arrUndoRow[column].m_value.m_nInt;
    MoveRowId(rowid, restored);
    m_nEditRow = -1;
    SendEditState(false);
    return m_pRecSet->FindRowIndex(restored);
}

bool CDataAccess::Sort(const std::wstring& column, int direction)
{
    if (!m_pRecSet || m_bSorting)
        return false;
    platform::WaitCursor wait;
    const std::wstring previous = m_pRecSet->m_strSort;
    FormatString(m_pRecSet->m_strSort, (direction & 0xFFFF) == SORT_DESCENDING ? L"[%s] DESC " : L"[%s] ASC ", SqlName{column});
    m_pRecSet->CloseRowStmt();
    m_bCurRowStale = true;
    platform::ShowCaptionLine(STR_SORTING, platform::CAPTION_LINE_NORMAL);
    // The line goes with the sort, unless another line (the loader's warning) came since.
    const unsigned sortingLine = platform::CaptionLineCount();
    const auto clearSortingLine = [sortingLine] { platform::ClearPassingCaptionLine(sortingLine); };
    m_bSorting = true;
    try {
        m_pRecSet->Requery(true);
    } catch (const CADbSqlException& e) {
        m_bSorting = false;
        clearSortingLine();
        ShowFailureBox(e, LOC_SORT);
        return false;
    }
    m_bSorting = false;
    clearSortingLine();
    // A load that failed at once (shown by the loader) kept the rows in their old order.
    if (m_pRecSet->LoadFailed()) {
        m_pRecSet->m_strSort = previous;
        if (m_pDataInterface)
            m_pDataInterface->UpdateItemCount();
        return false;
    }
    if (m_nEditRow != -1) {
        const int index = m_pRecSet->FindRowIndex(m_nEditRowId);
        if (index != -1)
            m_nEditRow = index;
    }
    if (m_pDataInterface)
        m_pDataInterface->UpdateItemCount();
    return true;
}

bool CDataAccess::Search(const std::wstring& text, int mode, int column)
{
    if (m_bSorting)
        return false;
    platform::WaitCursor wait;
    if (!m_pRecSet || m_pRecSet->m_bOffsetMode || mode < SEARCH_START_OF_FIELD || mode > SEARCH_ANY_PART_OF_FIELD ||
        column < 0 || column >= m_pRecSet->m_nFields) {
        SetSearchHits({});
        return false;
    }
    // Every hit is collected now and the statement released at once, so that no read
    // transaction stays open while the user steps through the hits. A search that
    // fails (shown) leaves the hits of the search before.
    CADbSqlQuery query;
    m_pRecSet->Search(query, text, mode, column);
    if (!query.m_pStmt)
        return false;
    std::vector<RowId> hits;
    if (!query.Eof()) {
        hits.push_back(query.GetInt64Field(0));
        while (!query.NextRow())
            hits.push_back(query.GetInt64Field(0));
    }
    if (query.StepFailed()) {
        const CADbSqlException failure = query.StepFailure();
        query.Finalize();
        ShowFailureBox(failure, LOC_RECSET_SEARCH);
        return false;
    }
    query.Finalize();
    SetSearchHits(std::move(hits));
    // The rows of the hits are found now, in the one pass over the rows that the search
    // costs anyway; Find Next then only looks at rows loaded since.
    MapHitRows();
    return !m_arrSearchHits.empty();
}

void CDataAccess::SetSearchHits(std::vector<RowId> hits)
{
    m_arrSearchHits = std::move(hits);
    m_nSearchHit = -1;
    m_mapHitIndex.clear();
    m_mapHitIndex.reserve(m_arrSearchHits.size());
    for (size_t hit = 0; hit < m_arrSearchHits.size(); ++hit)
        m_mapHitIndex.emplace(m_arrSearchHits[hit], hit);
    m_arrHitRows.assign(m_arrSearchHits.size(), -1);
    m_nHitRowsScanned = 0;
    m_bHitRowsKnown = false;
}

void CDataAccess::MapHitRows()
{
    std::lock_guard lock(g_csRowIds);
    const RowIdList& rows = m_pRecSet->m_arrRowIds;
    // Rows appended since the last look are looked at alone; any other change of the
    // list makes every hit's row be looked for anew.
    if (!m_bHitRowsKnown || rows.version() != m_nHitRowsVersion || rows.size() < m_nHitRowsScanned) {
        std::fill(m_arrHitRows.begin(), m_arrHitRows.end(), -1);
        m_nHitRowsScanned = 0;
        m_nHitRowsVersion = rows.version();
        m_bHitRowsKnown = true;
    }
    if (m_mapHitIndex.empty()) {
        m_nHitRowsScanned = rows.size();
        return;
    }
    for (size_t row = m_nHitRowsScanned; row < rows.size(); ++row) {
        const auto hit = m_mapHitIndex.find(rows[row]);
        if (hit != m_mapHitIndex.end() && m_arrHitRows[hit->second] == -1)
            m_arrHitRows[hit->second] = static_cast<int>(row);
    }
    m_nHitRowsScanned = rows.size();
}

int CDataAccess::FindNext()
{
    if (!m_pRecSet)
        return -1;
    MapHitRows();
    for (size_t hit = static_cast<size_t>(m_nSearchHit + 1); hit < m_arrSearchHits.size(); ++hit) {
        if (m_arrHitRows[hit] != -1) {
            m_nSearchHit = static_cast<int>(hit);
            return m_arrHitRows[hit];
        }
    }
    return -1;
}

int CDataAccess::FindPrev()
{
    if (!m_pRecSet)
        return -1;
    MapHitRows();
    for (int hit = m_nSearchHit - 1; hit >= 0; --hit) {
        if (m_arrHitRows[static_cast<size_t>(hit)] != -1) {
            m_nSearchHit = hit;
            return m_arrHitRows[static_cast<size_t>(hit)];
        }
    }
    return -1;
}

int CDataAccess::DeleteRows(const std::vector<int>& rows)
{
    if (!m_pRecSet || m_bSorting)
        return 0;
    if (m_pRecSet->IsReadOnly()) {
        ShowReadOnlyReason();
        return 0;
    }
    bool editRowAsked = false;
    for (int row : rows)
        editRowAsked = editRowAsked || (m_nEditRow != -1 && m_pRecSet->GetRowId(row) == m_nEditRowId);
    const int deleted = m_pRecSet->DeleteRows(rows);
    m_bCurRowStale = true;
    // Undo of a deleted row could only write into a later row given the same rowid.
    if (editRowAsked && m_pRecSet->FindRowIndex(m_nEditRowId) == -1) {
        m_nEditRow = -1;
        SendEditState(false);
    }
    return deleted;
}

void CDataAccess::ShowReadOnlyReason() const
{
    if (!m_pRecSet->GetReadOnlyReason().empty())
        platform::ShowCaptionLine(m_pRecSet->GetReadOnlyReason(), platform::CAPTION_LINE_WARNING);
}

bool CDataAccess::HasNextHit() const { return static_cast<size_t>(m_nSearchHit + 1) < m_arrSearchHits.size(); }

bool CDataAccess::StartRelatedQuery(int row, const std::wstring& table, const std::vector<std::wstring>& columns,
                                    const std::vector<std::wstring>& targetColumns)
{
    platform::WaitCursor wait;
    m_RelatedQuery.Finalize();
    m_RelatedQuery = CADbSqlQuery();
    if (!m_pRecSet || row < 0 || row >= GetRecordCount())
        return false;
    std::vector<std::wstring> targets = targetColumns;
    if (!targets.empty()) {
        std::vector<CADbSqlFieldInfo> fields;
        GetTableFields(table, fields);
        targets = ResolveKeyNames(targets, fields);
    }
    m_pRecSet->FindRelatedRows(m_RelatedQuery, row, table, ResolveKeyNames(columns, m_pRecSet->m_arrFields), targets);
    // The row was read to take its values; its statement is not left open.
    m_pRecSet->CloseRowStmt();
    m_bCurRowStale = true;
    return m_RelatedQuery.m_pStmt && !m_RelatedQuery.Eof();
}

std::wstring CDataAccess::GetRelatedFieldName(int column) const { return m_RelatedQuery.GetFieldName(column); }

std::wstring CDataAccess::GetRelatedFieldText(int column) const
{
    const wchar_t* text = m_RelatedQuery.GetFieldValue(column);
    return text ? text : L"";
}

bool CDataAccess::IsBlobColumn(int column) const
{
    CADbSqlFieldInfo info;
    return m_pRecSet->GetFieldInfo(column, info) && info.GetType() == FIELDTYPE_BLOB;
}

void CDataAccess::SendEditState(bool editing)
{
    platform::SendMessage(m_pDataInterface, UM_ROW_EDIT_STATE, editing ? 1 : 0, 0);
}

void CDataAccess::MoveRowId(RowId from, RowId to)
{
    if (from == to)
        return;
    const int row = m_pRecSet->FindRowIndex(from);
    if (row != -1)
        m_pRecSet->SetRowId(row, to);
    if (m_nEditRow != -1 && m_nEditRowId == from)
        m_nEditRowId = to;
    if (m_nCurRowId == from)
        m_nCurRowId = to;
    const auto hit = m_mapHitIndex.find(from);
    if (hit != m_mapHitIndex.end()) {
        const size_t index = hit->second;
        m_mapHitIndex.erase(hit);
        m_arrSearchHits[index] = to;
        m_mapHitIndex[to] = index;
    }
}
