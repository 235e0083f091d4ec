#include "data/cadbsqlrecset.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/cstringtokenizer.h"
#include "data/dbschema.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "data/rowiteration.h"
#include "data/rowloader.h"
#include "data/sqlite16.h"
#include "data/textutil.h"
#include "platform/utf16.h"
#include "platform/waitcursor.h"

#include <cwchar>
#include <mutex>

namespace {

// The PRAGMA iterator's iteration in progress (user-interface thread only).
RowIteration g_pragmaQueryIteration;

[[noreturn]] void ThrowEngineFailure(const std::wstring& message)
{
    throw CADbSqlException(SQLITE_ERROR, message, L"");
}

} // namespace

CADbSqlRecSet::CADbSqlRecSet(CADbSqlDb* database)
    : m_pDatabase(database)
{
    AttachRecSetToLoader();
}

CADbSqlRecSet::~CADbSqlRecSet()
{
    DetachRecSetFromLoader(this);
    // The row statement is the row SELECT standing on a row; finalizing ends its read.
    m_pRowStmt = nullptr;
    m_pRowSelect.Finalize();
    m_pBindStmt.Finalize();
    m_arrFields.clear();
    std::lock_guard lock(g_csRowIds);
    m_arrRowIds.clear();
}

// ---- Opening and column descriptions

bool CADbSqlRecSet::Open(int mode)
{
    m_bOffsetMode = mode;
    CloseRowStmt();
    m_pRowSelect.Finalize();
    if (mode == RECSET_MODE_TABLE) {
        ResolveTableNames();
        if (!GetFieldInfos(m_strTableName, m_arrFields))
            return false;
        GetForeignKeyColumns(m_strTableName, m_arrForeignKeyColumns);
        m_strSelectList = BuildSelectList(m_strColumnOrder);
        m_nFields = static_cast<int>(m_arrFields.size());
    } else {
        if (!GetFieldInfos(m_strTableName, m_arrFields))
            return false;
        m_nFields = static_cast<int>(m_arrFields.size());
        m_PageCache.Init(m_nFields, m_pDatabase, m_strTableName);
    }
    m_arrValueBuffers.assign(static_cast<size_t>(m_nFields), std::wstring());
    Requery();
    return true;
}

void CADbSqlRecSet::ResolveTableNames()
{
    if (m_strColumnOrder.empty())
        m_strColumnOrder = GetDefaultColumnOrder();
    if (m_strTableName.empty())
        m_strTableName = GetDefaultTableName();
}

bool CADbSqlRecSet::StepPragmaQuery(const std::wstring& sql, SqlStatement& stmt)
{
    if (!g_pragmaQueryIteration.Continues(sql, stmt)) {
        g_pragmaQueryIteration.End();
        stmt = m_pDatabase->ExecuteStmt(sql);
        if (!stmt)
            return false;
        g_pragmaQueryIteration.Begin(sql, stmt);
    }
    std::wstring message;
    const int rc = sqlite16::Step(stmt, message);
    if (rc == SQLITE_ROW)
        return true;
    g_pragmaQueryIteration.End();
    stmt.Finalize();
    if (rc != SQLITE_DONE)
        throw CADbSqlException(SQLITE_ERROR, message, L"");
    return false;
}

bool CADbSqlRecSet::GetFieldInfos(const std::wstring& table, std::vector<CADbSqlFieldInfo>& out)
{
    std::wstring sql;
    FormatString(sql, SQL_TABLE_INFO, SqlName{table});
    out.clear();
    SqlStatement stmt;
    while (StepPragmaQuery(sql, stmt))
        ReadTableInfoRow(stmt, out);
    return !out.empty();
}

void CADbSqlRecSet::GetForeignKeyColumns(const std::wstring& table, std::vector<std::wstring>& out)
{
    std::wstring sql;
    FormatString(sql, SQL_FOREIGN_KEY_LIST, SqlName{table});
    out.clear();
    SqlStatement stmt;
    while (StepPragmaQuery(sql, stmt))
        out.push_back(sqlite16::ColumnText(stmt, 4));
}

bool CADbSqlRecSet::IsForeignKeyColumn(const std::wstring& name) const
{
    for (const std::wstring& column : m_arrForeignKeyColumns)
        if (column == name)
            return true;
    return false;
}

bool CADbSqlRecSet::IsRowIdAlias(int column) const
{
    if (column < 0 || column >= static_cast<int>(m_arrFields.size()))
        return false;
    int keyColumns = 0;
    for (const CADbSqlFieldInfo& field : m_arrFields)
        keyColumns += field.m_nPk != 0 ? 1 : 0;
    const CADbSqlFieldInfo& field = m_arrFields[static_cast<size_t>(column)];
    std::wstring type = field.m_strType;
    StringToUpper(type);
    return keyColumns == 1 && field.m_nPk != 0 && type == L"INTEGER";
}

bool CADbSqlRecSet::GetFieldName(int index, std::wstring& name) const
{
    if (index < 0 || index >= static_cast<int>(m_arrFields.size()))
        return false;
    name = m_arrFields[static_cast<size_t>(index)].m_strName;
    return true;
}

bool CADbSqlRecSet::GetFieldInfo(int index, CADbSqlFieldInfo& info) const
{
    if (index < 0 || index >= static_cast<int>(m_arrFields.size()))
        return false;
    info = m_arrFields[static_cast<size_t>(index)];
    return true;
}

// ---- Statement texts

std::wstring CADbSqlRecSet::BuildSelectList(const std::wstring& columnOrder) const
{
    CStringTokenizer tokens(columnOrder, L",");
    std::wstring list;
    std::wstring part;
    bool first = true;
    for (const std::wstring& token : tokens.m_arrTokens) {
        const long number = std::wcstol(token.c_str(), nullptr, 10);
        // A number that names no column is left out.
        if (number < 1 || number > static_cast<long>(m_arrFields.size()))
            continue;
        FormatString(part, L"%c[%s]", first ? L' ' : L',', SqlName{m_arrFields[static_cast<size_t>(number - 1)].m_strName});
        list += part;
        first = false;
    }
    return list;
}

std::wstring CADbSqlRecSet::BuildWhereOrderClause() const
{
    std::wstring clause;
    if (!m_strFilter.empty())
        clause += L" WHERE " + m_strFilter;
    if (!m_strSort.empty())
        clause += L" ORDER BY " + m_strSort;
    return clause;
}

std::wstring CADbSqlRecSet::BuildRowSelectSql() const
{
    std::wstring sql;
    return FormatString(sql, L"SELECT %s FROM [%s] WHERE ROWID = ?", m_strSelectList, SqlName{m_strTableName});
}

// ---- Row count and movement

int CADbSqlRecSet::GetRecordCount() const
{
    if (m_bOffsetMode)
        return m_nOffsetRowCount;
    std::lock_guard lock(g_csRowIds);
    return static_cast<int>(m_arrRowIds.size());
}

bool CADbSqlRecSet::IsLoading() const { return m_nPendingLoads > 0; }

bool CADbSqlRecSet::Move(int row)
{
    if (m_bOffsetMode)
        return true;
    CloseRowStmt();
    if (!m_pRowSelect) {
        try {
            m_pRowSelect = m_pDatabase->ExecuteStmt(BuildRowSelectSql());
        } catch (const CADbSqlException& e) {
            ShowFailureLine(e, LOC_RECSET_MOVE);
            return false;
        }
        if (!m_pRowSelect)
            return false;
    }
    const RowId rowid = GetRowId(row);
    sqlite3_bind_int64(m_pRowSelect, 1, rowid);
    std::wstring message;
    const int rc = sqlite16::Step(m_pRowSelect, message);
    if (rc == SQLITE_ROW) {
        m_pRowStmt = m_pRowSelect;
        m_nCurrentRowId = rowid;
        return true;
    }
    sqlite3_reset(m_pRowSelect);
    // The row no longer exists: false without a message.
    if (rc == SQLITE_DONE)
        return false;
    throw CADbSqlException(SQLITE_ERROR, message, L"");
}

bool CADbSqlRecSet::MoveTo(int row)
{
    if (m_bEditing || m_bAdding)
        return false;
    if (row < 0 || row >= GetRecordCount())
        return false;
    try {
        if (!Move(row))
            return false;
        m_nCurrentRow = row;
        return true;
    } catch (const CADbSqlException& e) {
        ShowFailureLine(e, LOC_RECSET_MOVE_TO);
        return false;
    }
}

const wchar_t* CADbSqlRecSet::GetFieldValue(int column)
{
    if (column < 0 || column >= m_nFields)
        return nullptr;
    if (m_bOffsetMode)
        return m_nCurrentRow < 0 ? nullptr : m_PageCache.GetValue(m_nCurrentRow, column);
    if (!m_pRowStmt || m_arrFields[static_cast<size_t>(column)].m_nTypeCode == FIELDTYPE_BLOB)
        return nullptr;
    const void* text = sqlite3_column_text16(m_pRowStmt, column);
    if (!text)
        return nullptr;
    std::wstring& buffer = m_arrValueBuffers[static_cast<size_t>(column)];
    platform::AssignFromUtf16(buffer, static_cast<const char16_t*>(text),
                              sqlite3_column_bytes16(m_pRowStmt, column) / 2);
    return buffer.c_str();
}

SqlValue CADbSqlRecSet::GetFieldSqlValue(int column) const
{
    if (column < 0 || column >= m_nFields)
        return {};
    // Offset mode keeps texts only, in the page cache.
    if (m_bOffsetMode || !m_pRowStmt)
        return {};
    return ReadSqlValue(m_pRowStmt, column);
}

void CADbSqlRecSet::CloseRowStmt()
{
    // The row SELECT stays prepared for the next move; only its read ends here.
    if (m_pRowStmt)
        sqlite3_reset(m_pRowStmt);
    m_pRowStmt = nullptr;
}

RowId CADbSqlRecSet::GetCurrentRowId() const { return m_nCurrentRow < 0 ? 0 : m_nCurrentRowId; }

// ---- UPDATE and INSERT

void CADbSqlRecSet::Edit(RowId rowid)
{
    if (m_bAdding)
        return;
    CancelBound();
    m_arrBoundColumns.assign(static_cast<size_t>(m_nFields), false);
    for (int i = 0; i < m_nFields; ++i)
        m_arrBoundColumns[static_cast<size_t>(i)] = m_arrFields[static_cast<size_t>(i)].m_nTypeCode != FIELDTYPE_BLOB;
    PrepareBound(BuildUpdateSql());
    m_bEditing = true;
    CheckBind([&] { return sqlite3_bind_int64(m_pBindStmt, m_nFields + 1, rowid); });
}

void CADbSqlRecSet::AddNew(const std::vector<bool>& columns)
{
    if (m_bEditing)
        return;
    CancelBound();
    m_arrBoundColumns.assign(static_cast<size_t>(m_nFields), columns.empty());
    for (size_t i = 0; i < columns.size() && i < m_arrBoundColumns.size(); ++i)
        m_arrBoundColumns[i] = columns[i];
    PrepareBound(BuildInsertSql());
    m_bAdding = true;
}

std::wstring CADbSqlRecSet::BuildUpdateSql() const
{
    std::wstring sql;
    FormatString(sql, L"UPDATE [%s] SET ", SqlName{m_strTableName});
    std::wstring part;
    bool first = true;
    for (int i = 0; i < m_nFields; ++i) {
        if (!m_arrBoundColumns[static_cast<size_t>(i)])
            continue;
        sql += FormatString(part, L"%c[%s] = ?%d", first ? L' ' : L',', SqlName{m_arrFields[static_cast<size_t>(i)].m_strName},
                            i + 1);
        first = false;
    }
    return sql + FormatString(part, L" WHERE ROWID = ?%d", m_nFields + 1);
}

std::wstring CADbSqlRecSet::BuildInsertSql() const
{
    std::wstring names;
    std::wstring values;
    std::wstring part;
    for (int i = 0; i < m_nFields; ++i) {
        if (!m_arrBoundColumns[static_cast<size_t>(i)])
            continue;
        if (!names.empty()) {
            names += L", ";
            values += L" ,";
        }
        names += FormatString(part, L"[%s]", SqlName{m_arrFields[static_cast<size_t>(i)].m_strName});
        values += FormatString(part, L" ?%d", i + 1);
    }
    std::wstring sql;
    // With no column marked every column takes its default.
    if (names.empty())
        return FormatString(sql, L"INSERT INTO [%s] DEFAULT VALUES", SqlName{m_strTableName});
    std::wstring columnPart;
    std::wstring valuePart;
    FormatString(columnPart, L"(%s ) ", names);
    FormatString(valuePart, L"(%s )", values);
    return FormatString(sql, L"INSERT INTO [%s] %s VALUES %s", SqlName{m_strTableName}, columnPart, valuePart);
}

void CADbSqlRecSet::PrepareBound(const std::wstring& sql)
{
    std::wstring message;
    if (sqlite16::Prepare(m_pDatabase->m_pDb, sql, m_pBindStmt, message) != SQLITE_OK)
        ThrowEngineFailure(message);
}

bool CADbSqlRecSet::IsBound(int column) const
{
    return column >= 0 && column < m_nFields && static_cast<size_t>(column) < m_arrBoundColumns.size() &&
           m_arrBoundColumns[static_cast<size_t>(column)];
}

void CADbSqlRecSet::CheckBind(const std::function<int()>& bind) const
{
    std::wstring message;
    if (sqlite16::CallWithMessage(m_pDatabase->m_pDb, message, bind) != SQLITE_OK)
        ThrowEngineFailure(message);
}

void CADbSqlRecSet::BindField(int column, const std::wstring& value)
{
    if (!IsBound(column))
        return;
    const CADbSqlFieldInfo& field = m_arrFields[static_cast<size_t>(column)];
    if (field.m_nTypeCode == FIELDTYPE_INTEGER && field.m_nPk != 0) {
        if (value.empty())
            BindNull(column);
        else
            BindInt(column, std::wcstoll(value.c_str(), nullptr, 10));
    } else {
        BindText(column, value);
    }
}

void CADbSqlRecSet::BindValue(int column, const SqlValue& value)
{
    if (IsBound(column))
        CheckBind([&] { return BindSqlValue(m_pBindStmt, column + 1, value); });
}

void CADbSqlRecSet::BindInt(int column, sqlite3_int64 value)
{
    CheckBind([&] { return sqlite3_bind_int64(m_pBindStmt, column + 1, value); });
}

void CADbSqlRecSet::BindNull(int column)
{
    CheckBind([&] { return sqlite3_bind_null(m_pBindStmt, column + 1); });
}

void CADbSqlRecSet::BindText(int column, const std::wstring& text)
{
    // An empty cell is stored as NULL, never as an empty text.
    if (text.empty())
        BindNull(column);
    else
        CheckBind([&] { return sqlite16::BindText(m_pBindStmt, column + 1, text); });
}

int CADbSqlRecSet::ExecuteBound()
{
    if (!m_bEditing && !m_bAdding)
        return 0;
    sqlite3* db = m_pDatabase->m_pDb;
    std::wstring message;
    int changes = 0;
    RowId newRowId = 0;
    // The counts and the message are the statement's own, read before another thread's call.
    const int rc = sqlite16::CallWithMessage(db, message, [&] {
        const int step = sqlite3_step(m_pBindStmt);
        if (step == SQLITE_DONE) {
            changes = sqlite3_changes(db);
            newRowId = sqlite3_last_insert_rowid(db);
        }
        return step;
    });
    const bool adding = m_bAdding;
    if (rc == SQLITE_DONE) {
        CancelBound();
        if (adding) {
            std::lock_guard lock(g_csRowIds);
            m_arrRowIds.push_back(newRowId);
        }
        return changes;
    }
    sqlite3_reset(m_pBindStmt);
    CancelBound();
    ThrowEngineFailure(message);
}

void CADbSqlRecSet::CancelBound()
{
    m_pBindStmt.Finalize();
    m_bEditing = false;
    m_bAdding = false;
    m_arrBoundColumns.clear();
}

// ---- Row list upkeep

RowId CADbSqlRecSet::GetRowId(int row) const
{
    std::lock_guard lock(g_csRowIds);
    if (row < 0 || static_cast<size_t>(row) >= m_arrRowIds.size())
        return 0;
    return m_arrRowIds[static_cast<size_t>(row)];
}

void CADbSqlRecSet::SetRowId(int row, RowId rowid)
{
    std::lock_guard lock(g_csRowIds);
    if (row >= 0 && static_cast<size_t>(row) < m_arrRowIds.size())
        m_arrRowIds[static_cast<size_t>(row)] = rowid;
}

int CADbSqlRecSet::FindRowIndex(RowId rowid) const
{
    std::lock_guard lock(g_csRowIds);
    return static_cast<int>(m_arrRowIds.find(rowid));
}

bool CADbSqlRecSet::DeleteRow(int row) { return DeleteRows({row}) == 1; }

int CADbSqlRecSet::DeleteRows(const std::vector<int>& rows)
{
    if (m_bOffsetMode)
        return 0;
    platform::WaitCursor wait;
    sqlite3* db = m_pDatabase->m_pDb;
    const int count = GetRecordCount();
    std::vector<bool> seen(static_cast<size_t>(count), false);
    std::vector<size_t> deleted;
    SqlStatement stmt;
    // Inside a transaction the caller opened, the deletions become part of it.
    const bool ownTransaction = db && sqlite3_get_autocommit(db) != 0;
    try {
        if (ownTransaction)
            m_pDatabase->ExecuteCmd(L"BEGIN");
        std::wstring sql;
        stmt = m_pDatabase->ExecuteStmt(FormatString(sql, L"DELETE FROM [%s] WHERE ROWID = ?", SqlName{m_strTableName}));
        for (int row : rows) {
            if (row < 0 || row >= count || seen[static_cast<size_t>(row)])
                continue;
            seen[static_cast<size_t>(row)] = true;
            sqlite3_bind_int64(stmt, 1, GetRowId(row));
            std::wstring message;
            const int rc = sqlite16::Step(stmt, message);
            if (rc != SQLITE_DONE) {
                sqlite3_reset(stmt);
                // A conflict clause of ROLLBACK ends the transaction and undoes the
                // rows deleted before: then nothing is deleted.
                if (ownTransaction && sqlite3_get_autocommit(db))
                    deleted.clear();
                throw CADbSqlException(SQLITE_ERROR, message, L"");
            }
            sqlite3_reset(stmt);
            deleted.push_back(static_cast<size_t>(row));
        }
        stmt.Finalize();
        if (ownTransaction)
            m_pDatabase->ExecuteCmd(L"COMMIT");
    } catch (const CADbSqlException& e) {
        stmt.Finalize();
        ShowFailureLine(e, LOC_RECSET_DELETE);
        // The rows deleted before the failure stay deleted.
        if (ownTransaction && !sqlite3_get_autocommit(db)) {
            try {
                m_pDatabase->ExecuteCmd(L"COMMIT");
            } catch (const CADbSqlException& commitFailure) {
                ShowFailureLine(commitFailure, LOC_RECSET_DELETE);
                try {
                    m_pDatabase->ExecuteCmd(L"ROLLBACK");
                } catch (const CADbSqlException&) {
                    // The failed COMMIT has already ended the transaction.
                }
                deleted.clear();
            }
        }
    }
    if (deleted.empty())
        return 0;
    if (m_nCurrentRow >= 0) {
        int above = 0;
        bool current = false;
        for (size_t row : deleted) {
            above += static_cast<int>(row) < m_nCurrentRow ? 1 : 0;
            current = current || static_cast<int>(row) == m_nCurrentRow;
        }
        if (current) {
            CloseRowStmt();
            m_nCurrentRow = -1;
            m_nCurrentRowId = 0;
        } else {
            m_nCurrentRow -= above;
        }
    }
    const int removed = static_cast<int>(deleted.size());
    std::lock_guard lock(g_csRowIds);
    m_arrRowIds.erase_indices(std::move(deleted));
    return removed;
}

// ---- Search and related rows

CADbSqlQuery& CADbSqlRecSet::Search(CADbSqlQuery& out, const std::wstring& text, int mode, int column)
{
    out = CADbSqlQuery();
    if (column < 0 || column >= static_cast<int>(m_arrFields.size()) || mode < SEARCH_START_OF_FIELD || mode > SEARCH_ANY_PART_OF_FIELD)
        return out;
    const std::wstring order = m_strSort.empty() ? L"" : L"ORDER BY " + m_strSort;
    static const wchar_t* const formats[] = {
        L"SELECT rowid FROM [%s] WHERE [%s] LIKE ? %s",
        L"SELECT rowid FROM [%s] WHERE [%s] = ? %s",
        L"SELECT rowid FROM [%s] WHERE [%s] LIKE ? %s",
    };
    SqlValue pattern;
    pattern.m_nType = SQLITE_TEXT;
    pattern.m_strText = mode == SEARCH_START_OF_FIELD ? text + L"%"
                        : mode == SEARCH_WHOLE_FIELD  ? text
                                                      : L"%" + text + L"%";
    std::wstring sql;
    FormatString(sql, formats[mode], SqlName{m_strTableName}, SqlName{m_arrFields[static_cast<size_t>(column)].m_strName},
                 order);
    try {
        m_pDatabase->Query(out, sql, {pattern});
    } catch (const CADbSqlException& e) {
        out = CADbSqlQuery();
        ShowFailureBox(e, LOC_RECSET_SEARCH);
    }
    return out;
}

CADbSqlQuery& CADbSqlRecSet::FindRelatedRows(CADbSqlQuery& out, int row, const std::wstring& table,
                                             const std::vector<std::wstring>& columns,
                                             const std::vector<std::wstring>& targetColumns)
{
    out = CADbSqlQuery();
    if (columns.empty() || row < 0 || row >= GetRecordCount())
        return out;
    try {
        // The row's values are read by its rowid, so the row the record set stands on stays.
        std::wstring selectList;
        std::wstring part;
        for (const std::wstring& column : columns)
            selectList += FormatString(part, selectList.empty() ? L"[%s]" : L",[%s]", SqlName{column});
        std::wstring sql;
        CADbSqlQuery source;
        SqlValue rowid;
        rowid.m_nType = SQLITE_INTEGER;
        rowid.m_nInt = GetRowId(row);
        m_pDatabase->Query(source, FormatString(sql, L"SELECT %s FROM [%s] WHERE ROWID = ?", selectList,
                                                SqlName{m_strTableName}),
                           {rowid});
        std::vector<SqlValue> values;
        for (size_t i = 0; i < columns.size(); ++i)
            values.push_back(source.Eof() ? SqlValue() : ReadSqlValue(source.m_pStmt, static_cast<int>(i)));
        source.Finalize();

        std::wstring conditions;
        for (size_t i = 0; i < columns.size(); ++i) {
            const std::wstring& target = i < targetColumns.size() ? targetColumns[i] : columns[i];
            conditions += FormatString(part, i == 0 ? L"[%s] = ?%d" : L" AND [%s] = ?%d", SqlName{target},
                                       static_cast<int>(i) + 1);
        }
        m_pDatabase->Query(out, FormatString(sql, L"SELECT * FROM [%s] WHERE %s ", SqlName{table}, conditions), values);
    } catch (const CADbSqlException& e) {
        out = CADbSqlQuery();
        ShowFailureBox(e, LOC_RECSET_RELATED_ROWS);
    }
    return out;
}

// ---- BLOB cells

bool CADbSqlRecSet::IsBlobCell(int row, int column) const
{
    return !m_bOffsetMode && column >= 0 && column < m_nFields && row >= 0 && row < GetRecordCount();
}

SqlStatement CADbSqlRecSet::PrepareCellRead(int row, int column)
{
    if (!IsBlobCell(row, column))
        return {};
    std::wstring sql;
    FormatString(sql, L"SELECT [%s] FROM [%s] WHERE rowid = ?", SqlName{m_arrFields[static_cast<size_t>(column)].m_strName},
                 SqlName{m_strTableName});
    SqlStatement stmt;
    if (sqlite16::Prepare(m_pDatabase->m_pDb, sql, stmt) != SQLITE_OK || !stmt)
        return {};
    sqlite3_bind_int64(stmt, 1, GetRowId(row));
    return stmt;
}

bool CADbSqlRecSet::GetBlob(int row, int column, std::string& data)
{
    data.clear();
    const SqlStatement stmt = PrepareCellRead(row, column);
    if (!stmt)
        return false;
    const bool found = sqlite3_step(stmt) == SQLITE_ROW;
    if (found) {
        const void* bytes = sqlite3_column_blob(stmt, 0);
        const int length = sqlite3_column_bytes(stmt, 0);
        if (bytes && length > 0)
            data.assign(static_cast<const char*>(bytes), static_cast<size_t>(length));
    }
    return found;
}

sqlite3_int64 CADbSqlRecSet::GetBlobSize(int row, int column)
{
    const SqlStatement stmt = PrepareCellRead(row, column);
    if (!stmt)
        return 0;
    sqlite3_int64 size = 0;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        size = sqlite3_column_bytes(stmt, 0);
    return size;
}

void CADbSqlRecSet::SetBlob(int row, int column, const char* data, sqlite3_int64 length)
{
    sqlite3* db = m_pDatabase->m_pDb;
    if (!IsBlobCell(row, column))
        throw CADbSqlException(SQLITE_RANGE, L"", L"");
    std::wstring sql;
    FormatString(sql, L"UPDATE [%s] SET [%s] = ? WHERE rowid = ?", SqlName{m_strTableName},
                 SqlName{m_arrFields[static_cast<size_t>(column)].m_strName});
    SqlStatement stmt;
    std::wstring message;
    if (sqlite16::Prepare(db, sql, stmt, message) != SQLITE_OK || !stmt)
        ThrowEngineFailure(message);
    const RowId rowid = GetRowId(row);
    int changes = 0;
    const int rc = sqlite16::CallWithMessage(db, message, [&] {
        // The caller keeps the bytes until this call returns; NULL data leaves the cell NULL.
        int result =
            data ? sqlite3_bind_blob64(stmt, 1, data, static_cast<sqlite3_uint64>(length), SQLITE_STATIC) : SQLITE_OK;
        if (result == SQLITE_OK)
            result = sqlite3_bind_int64(stmt, 2, rowid);
        if (result == SQLITE_OK)
            result = sqlite3_step(stmt);
        if (result == SQLITE_DONE)
            changes = sqlite3_changes(db);
        return result;
    });
    stmt.Finalize();
    if (rc != SQLITE_DONE)
        throw CADbSqlException(SQLITE_ERROR, message, L"");
    // The row is gone (deleted by another program): nothing was written.
    if (changes == 0)
        throw CADbSqlException(SQLITE_NOTFOUND, L"", L"");
}
