#include "data/cadbsqlrecset.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/cstringtokenizer.h"
#include "data/dbschema.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "data/longstatement.h"
#include "data/rowiteration.h"
#include "data/rowloader.h"
#include "data/savepoint.h"
#include "data/sqlite16.h"
#include "data/settings.h"
#include "data/textutil.h"
#include "platform/captionline.h"
#include "platform/messagebox.h"
#include "platform/messagetarget.h"
#include "platform/uiwait.h"
#include "platform/utf16.h"
#include "platform/waitcursor.h"

#include <algorithm>
#include <cwchar>
#include <limits>
#include <mutex>
#include <optional>

namespace {

// The PRAGMA iterator's iteration in progress (user-interface thread only).
RowIteration g_pragmaQueryIteration;

[[noreturn]] void ThrowEngineFailure(const std::wstring& message)
{
    throw CADbSqlException(SQLITE_ERROR, message, L"");
}

// Rowids are appended under g_csRowIds in batches of this many, and at every count
// that a post or the first page reports, so the list always holds the rows reported.
constexpr size_t kAppendBatch = 512;

// A limit of 0 or less (settings not loaded) loads every row.
bool LimitReached(int rows, int limit) { return limit > 0 && rows >= limit; }

} // namespace

CADbSqlRecSet::CADbSqlRecSet(CADbSqlDb* database)
    : m_pDatabase(database)
{
    RowLoaderState::Instance().AttachRecSet();
}

CADbSqlRecSet::~CADbSqlRecSet()
{
    RowLoaderState::Instance().DetachRecSet(this);
    // The row statement is a row SELECT standing on a row; finalizing ends its read.
    m_pRowStmt = nullptr;
    m_pRowSelect.Finalize();
    m_pExactSelect.Finalize();
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
    m_pExactSelect.Finalize();
    m_strReadOnlyReason.clear();
    if (mode == RECSET_MODE_TABLE) {
        ResolveTableNames();
        if (!GetFieldInfos(m_strTableName, m_arrFields))
            return false;
        GetForeignKeyColumns(m_strTableName, m_arrForeignKeyColumns);
        m_strSelectList = BuildSelectList(m_strColumnOrder);
        m_nFields = static_cast<int>(m_arrFields.size());
        DescribeRowAddress();
        if (!m_strReadOnlyReason.empty()) {
            // Rows without a rowid to address them by are read by position, as a query's.
            m_bOffsetMode = RECSET_MODE_QUERY;
            m_PageCache.Init(m_nFields, m_pDatabase, m_strTableName);
            m_PageCache.m_strSelectList.clear();
            for (int column = 0; column < m_nFields; ++column)
                m_PageCache.m_strSelectList += (column == 0 ? L"" : L",") + BuildGridColumn(column);
            platform::ShowCaptionLine(m_strReadOnlyReason, platform::CAPTION_LINE_WARNING);
        } else if (m_pDatabase->IsReadOnly()) {
            // Rows addressed by rowid still, but no edit could be stored.
            m_strReadOnlyReason = STR_READ_ONLY_DATABASE;
            platform::ShowCaptionLine(m_strReadOnlyReason, platform::CAPTION_LINE_WARNING);
        }
    } else {
        m_strRowIdName.clear();
        const bool described = mode == RECSET_MODE_STATEMENT ? GetStatementFieldInfos(m_strTableName, m_arrFields)
                                                             : GetFieldInfos(m_strTableName, m_arrFields);
        if (!described)
            return false;
        m_nFields = static_cast<int>(m_arrFields.size());
        m_PageCache.Init(m_nFields, m_pDatabase, m_strTableName);
    }
    m_arrValueBuffers.assign(static_cast<size_t>(m_nFields), std::wstring());
    // A query's first page comes after its whole statement has run once (a sort of every
    // row): the window keeps painting while it waits.
    Requery(m_bOffsetMode != 0);
    return true;
}

void CADbSqlRecSet::ResolveTableNames()
{
    if (m_strColumnOrder.empty())
        m_strColumnOrder = GetDefaultColumnOrder();
    if (m_strTableName.empty())
        m_strTableName = GetDefaultTableName();
}

bool CADbSqlRecSet::GetFieldInfos(const std::wstring& table, std::vector<CADbSqlFieldInfo>& out)
{
    std::wstring sql;
    FormatString(sql, SQL_TABLE_INFO, SqlName{table});
    out.clear();
    SqlStatement stmt;
    while (m_pDatabase->StepIteration(g_pragmaQueryIteration, sql, stmt, L""))
        ReadTableInfoRow(stmt, out);
    return !out.empty();
}

bool CADbSqlRecSet::GetStatementFieldInfos(const std::wstring& statement, std::vector<CADbSqlFieldInfo>& out)
{
    out.clear();
    const SqlStatement stmt = m_pDatabase->ExecuteStmt(statement);
    const int columns = stmt ? sqlite3_column_count(stmt) : 0;
    for (int column = 0; column < columns; ++column) {
        CADbSqlFieldInfo info;
        info.m_nCid = column;
        info.m_strName = sqlite16::ColumnName(stmt, column);
        info.m_strType = sqlite16::ColumnDeclType(stmt, column);
        info.m_nPk = 0;
        info.m_nNotNull = 0;
        info.m_nTypeCode = DeclaredTypeCode(info.m_strType);
        out.push_back(info);
    }
    return !out.empty();
}

void CADbSqlRecSet::GetForeignKeyColumns(const std::wstring& table, std::vector<std::wstring>& out)
{
    std::wstring sql;
    FormatString(sql, SQL_FOREIGN_KEY_LIST, SqlName{table});
    out.clear();
    SqlStatement stmt;
    while (m_pDatabase->StepIteration(g_pragmaQueryIteration, sql, stmt, L""))
        out.push_back(sqlite16::ColumnText(stmt, 4));
}

bool CADbSqlRecSet::IsForeignKeyColumn(const std::wstring& name) const
{
    for (const std::wstring& column : m_arrForeignKeyColumns)
        if (column == name)
            return true;
    return false;
}

void CADbSqlRecSet::DescribeRowAddress()
{
    m_nRowIdAliasColumn = -1;
    m_strRowIdName.clear();
    const std::vector<SqlValue> table{TextValue(m_strTableName)};
    CADbSqlQuery query;
    // A temporary table of the name hides the main one, as in every statement.
    m_pDatabase->Query(query, L"SELECT wr FROM pragma_table_list(?1) ORDER BY schema <> 'temp'", table);
    const bool withoutRowId = !query.Eof() && query.GetIntField(0) != 0;
    query.Finalize();
    if (withoutRowId) {
        m_strReadOnlyReason = STR_TABLE_WITHOUT_ROWID;
        return;
    }

    int keyColumns = 0;
    int keyColumn = -1;
    for (size_t i = 0; i < m_arrFields.size(); ++i) {
        if (m_arrFields[i].m_nPk != 0) {
            ++keyColumns;
            keyColumn = static_cast<int>(i);
        }
    }
    if (keyColumns == 1) {
        std::wstring type = m_arrFields[static_cast<size_t>(keyColumn)].m_strType;
        StringToUpper(type);
        if (type == L"INTEGER") {
            // "INTEGER PRIMARY KEY DESC" as a column constraint is no alias: the engine
            // then keeps the key in an index of its own, which an alias never has.
            m_pDatabase->Query(query, L"SELECT count(*) FROM pragma_index_list(?1) WHERE origin = 'pk'", table);
            if (!query.Eof() && query.GetIntField(0) == 0)
                m_nRowIdAliasColumn = keyColumn;
            query.Finalize();
        }
    }

    for (const wchar_t* name : {L"rowid", L"oid", L"_rowid_"}) {
        const bool shadowed = std::any_of(m_arrFields.begin(), m_arrFields.end(), [name](const CADbSqlFieldInfo& field) {
            // Matched as the engine matches identifiers: ASCII letters in any case.
            return EqualsAsciiNoCase(field.m_strName, name);
        });
        if (!shadowed) {
            m_strRowIdName = name;
            return;
        }
    }
    m_strReadOnlyReason = STR_ROWID_NAMES_SHADOWED;
}

bool CADbSqlRecSet::IsRowIdAlias(int column) const { return column >= 0 && column == m_nRowIdAliasColumn; }

bool CADbSqlRecSet::ParseRowIdText(const std::wstring& text, RowId& value)
{
    if (text.empty())
        return false;
    value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
        const int digit = c - L'0';
        if (value > (std::numeric_limits<RowId>::max() - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    return true;
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
    // Unsorted rows come in rowid order: without the ORDER BY the engine may read the
    // rowids from a covering index, in that index's order.
    clause += L" ORDER BY " + (m_strSort.empty() ? m_strRowIdName : m_strSort);
    return clause;
}

std::wstring CADbSqlRecSet::BuildGridColumn(int column) const
{
    std::wstring expression;
    const SqlName name{m_arrFields[static_cast<size_t>(column)].m_strName};
    // typeof() of a column reads no BLOB bytes, so a BLOB costs the grid nothing; the
    // alias holds integers only.
    if (IsRowIdAlias(column))
        return FormatString(expression, L"[%s]", name);
    return FormatString(expression, L"CASE WHEN typeof([%s]) = 'blob' THEN NULL ELSE [%s] END", name, name);
}

std::wstring CADbSqlRecSet::BuildRowSelectSql(bool exact) const
{
    std::wstring list = m_strSelectList;
    if (!exact) {
        list.clear();
        CStringTokenizer tokens(m_strColumnOrder, L",");
        for (const std::wstring& token : tokens.m_arrTokens) {
            const long number = std::wcstol(token.c_str(), nullptr, 10);
            if (number >= 1 && number <= static_cast<long>(m_arrFields.size()))
                list += (list.empty() ? L" " : L",") + BuildGridColumn(static_cast<int>(number - 1));
        }
    }
    std::wstring sql;
    return FormatString(sql, L"SELECT %s FROM [%s] WHERE %s = ?", list, SqlName{m_strTableName}, m_strRowIdName);
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

bool CADbSqlRecSet::Move(int row, bool exact)
{
    if (m_bOffsetMode)
        return true;
    CloseRowStmt();
    SqlStatement& select = exact ? m_pExactSelect : m_pRowSelect;
    if (!select) {
        try {
            select = m_pDatabase->ExecuteStmt(BuildRowSelectSql(exact));
        } catch (const CADbSqlException& e) {
            ShowFailureLine(e, LOC_RECSET_MOVE);
            return false;
        }
        if (!select)
            return false;
    }
    const RowId rowid = GetRowId(row);
    sqlite3_bind_int64(select, 1, rowid);
    std::wstring message;
    const int rc = sqlite16::Step(select, message);
    if (rc == SQLITE_ROW) {
        m_pRowStmt = select;
        m_nCurrentRowId = rowid;
        return true;
    }
    sqlite3_reset(select);
    // The row no longer exists: false without a message.
    if (rc == SQLITE_DONE)
        return false;
    throw CADbSqlException(SQLITE_ERROR, message, L"");
}

bool CADbSqlRecSet::MoveTo(int row) { return MoveToRow(row, false); }

bool CADbSqlRecSet::MoveToExact(int row) { return MoveToRow(row, true); }

bool CADbSqlRecSet::MoveToRow(int row, bool exact)
{
    if (m_bEditing || m_bAdding)
        return false;
    if (row < 0 || row >= GetRecordCount())
        return false;
    try {
        if (!Move(row, exact))
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
    if (!m_pRowStmt || m_arrFields[static_cast<size_t>(column)].m_nTypeCode == FIELDTYPE_BLOB ||
        sqlite3_column_type(m_pRowStmt, column) == SQLITE_BLOB)
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

void CADbSqlRecSet::Edit(RowId rowid, const std::vector<bool>& columns)
{
    if (m_bAdding)
        return;
    CancelBound();
    m_arrBoundColumns.assign(static_cast<size_t>(m_nFields), false);
    for (size_t i = 0; i < m_arrBoundColumns.size(); ++i)
        m_arrBoundColumns[i] = m_arrFields[i].m_nTypeCode != FIELDTYPE_BLOB &&
                               (columns.empty() || (i < columns.size() && columns[i]));
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
    return sql + FormatString(part, L" WHERE %s = ?%d", m_strRowIdName, m_nFields + 1);
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
    // Only the alias is an integer by force; any other column, a key column too, gets
    // the text as typed and the engine's conversion by the column's affinity.
    if (!IsRowIdAlias(column)) {
        BindText(column, value);
        return;
    }
    if (value.empty()) {
        BindNull(column);
        return;
    }
    RowId rowid = 0;
    if (!ParseRowIdText(value, rowid))
        throw CADbSqlException(SQLITE_MISMATCH, STR_NON_NUMERIC_KEY, L"");
    BindInt(column, rowid);
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
        // An INSERT that the engine ignored (a conflict clause or a trigger's
        // RAISE(IGNORE)) leaves the last insert rowid of an earlier statement.
        if (adding && changes > 0) {
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
    if (row < 0 || static_cast<size_t>(row) >= m_arrRowIds.size())
        return;
    // A row moved to a rowid that the loader, walking the table, had not reached yet meets
    // the loader again there: a copy the loader appended between the move and this call
    // goes, and while the load runs the loader leaves the rowid out.
    const std::ptrdiff_t copy = m_arrRowIds.find(rowid);
    if (copy != -1 && copy != row) {
        m_arrRowIds.erase_indices({static_cast<size_t>(copy)});
        if (copy < row)
            --row;
    }
    if (IsLoading())
        m_arrPlacedRowIds.push_back(rowid);
    m_arrRowIds.set(static_cast<size_t>(row), rowid);
}

int CADbSqlRecSet::FindRowIndex(RowId rowid) const
{
    std::lock_guard lock(g_csRowIds);
    return static_cast<int>(m_arrRowIds.find(rowid));
}

bool CADbSqlRecSet::DeleteRow(int row) { return DeleteRows({row}) == 1; }

int CADbSqlRecSet::DeleteRows(const std::vector<int>& rows)
{
    if (m_bOffsetMode || m_strRowIdName.empty() || !m_strReadOnlyReason.empty())
        return 0;
    platform::WaitCursor wait;
    const int count = GetRecordCount();
    std::vector<bool> seen(static_cast<size_t>(count), false);
    std::vector<size_t> deleted;
    std::vector<RowId> rowids;
    for (int row : rows) {
        if (row < 0 || row >= count || seen[static_cast<size_t>(row)])
            continue;
        seen[static_cast<size_t>(row)] = true;
        deleted.push_back(static_cast<size_t>(row));
        rowids.push_back(GetRowId(row));
    }
    if (deleted.empty())
        return 0;
    SqlStatement stmt;
    // The rows go together or not at all: a savepoint holds them, inside a transaction
    // the caller opened too.
    std::optional<Savepoint> savepoint;
    bool reload = false;
    std::atomic<bool> stopped{false};
    std::atomic<bool> committing{false};
    const CADbSqlException stop(SQLITE_INTERRUPT, L"", L"");
    LongStatement statement(*m_pDatabase);
    try {
        savepoint.emplace(*m_pDatabase, L"delete_rows");
        std::wstring sql;
        stmt = m_pDatabase->ExecuteStmt(
            FormatString(sql, L"DELETE FROM [%s] WHERE %s = ?", SqlName{m_strTableName}, m_strRowIdName));
        // Each row's delete may scan a table that refers to it by a column without an
        // index, and the release may commit: they run as a long statement does, and
        // Escape stops them until the commit begins.
        statement.Run(
            STR_DELETING_ROWS,
            [&] {
                for (RowId rowid : rowids) {
                    if (stopped)
                        throw stop;
                    sqlite3_bind_int64(stmt, 1, rowid);
                    std::wstring message;
                    const int rc = sqlite16::Step(stmt, message);
                    sqlite3_reset(stmt);
                    if (rc != SQLITE_DONE)
                        throw CADbSqlException(SQLITE_ERROR, message, L"");
                }
                stmt.Finalize();
                committing = true;
                if (stopped)
                    throw stop;
                savepoint->Release();
            },
            [&] {
                stopped = true;
                // Interrupted, a write rolls back the whole transaction it runs in: inside
                // the caller's transaction the stop comes after the row being deleted.
                // A stop that comes once the commit has begun is too late to take effect.
                if (savepoint->BeganTransaction() && !committing)
                    statement.Interrupt();
            });
    } catch (const CADbSqlException& e) {
        stmt.Finalize();
        deleted.clear();
        // A conflict clause of ROLLBACK that ended the caller's transaction brought back
        // what it had deleted before this call: the rows are listed anew.
        reload = savepoint && savepoint->Rollback();
        // Said once the rows are back.
        if (stopped)
            platform::ShowCaptionLine(STR_DELETE_STOPPED, platform::CAPTION_LINE_NORMAL);
        else
            ShowFailureLine(e, LOC_RECSET_DELETE);
    }
    if (reload)
        Requery();
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
    if (m_strRowIdName.empty())
        return out;
    // The hits come in the datasheet's order: the sort's, else the rowid order.
    const std::wstring order = L"ORDER BY " + (m_strSort.empty() ? m_strRowIdName : m_strSort);
    static const wchar_t* const formats[] = {
        L"SELECT %s FROM [%s] WHERE [%s] LIKE ? %s",
        L"SELECT %s FROM [%s] WHERE [%s] = ? %s",
        L"SELECT %s FROM [%s] WHERE [%s] LIKE ? %s",
    };
    SqlValue pattern;
    pattern.m_nType = SQLITE_TEXT;
    pattern.m_strText = mode == SEARCH_START_OF_FIELD ? text + L"%"
                        : mode == SEARCH_WHOLE_FIELD  ? text
                                                      : L"%" + text + L"%";
    std::wstring sql;
    FormatString(sql, formats[mode], m_strRowIdName, SqlName{m_strTableName},
                 SqlName{m_arrFields[static_cast<size_t>(column)].m_strName}, order);
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
    if (columns.empty() || row < 0 || row >= GetRecordCount() || m_strRowIdName.empty())
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
        m_pDatabase->Query(source, FormatString(sql, L"SELECT %s FROM [%s] WHERE %s = ?", selectList,
                                                SqlName{m_strTableName}, m_strRowIdName),
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
    return !m_bOffsetMode && !m_strRowIdName.empty() && column >= 0 && column < m_nFields && row >= 0 &&
           row < GetRecordCount();
}

SqlStatement CADbSqlRecSet::PrepareCellRead(int row, int column)
{
    if (!IsBlobCell(row, column))
        return {};
    std::wstring sql;
    FormatString(sql, L"SELECT [%s] FROM [%s] WHERE %s = ?", SqlName{m_arrFields[static_cast<size_t>(column)].m_strName},
                 SqlName{m_strTableName}, m_strRowIdName);
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
    if (!IsBlobCell(row, column))
        return 0;
    // The size of a BLOB comes from its record header: its bytes are never read.
    std::wstring sql;
    FormatString(sql,
                 L"SELECT CASE WHEN typeof([%s]) = 'blob' THEN length([%s]) ELSE length(CAST([%s] AS BLOB)) END FROM [%s] "
                 L"WHERE %s = ?",
                 SqlName{m_arrFields[static_cast<size_t>(column)].m_strName},
                 SqlName{m_arrFields[static_cast<size_t>(column)].m_strName},
                 SqlName{m_arrFields[static_cast<size_t>(column)].m_strName}, SqlName{m_strTableName}, m_strRowIdName);
    SqlStatement stmt;
    if (sqlite16::Prepare(m_pDatabase->m_pDb, sql, stmt) != SQLITE_OK || !stmt)
        return 0;
    sqlite3_bind_int64(stmt, 1, GetRowId(row));
    sqlite3_int64 size = 0;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        size = sqlite3_column_int64(stmt, 0);
    return size;
}

void CADbSqlRecSet::SetBlob(int row, int column, const char* data, sqlite3_int64 length)
{
    sqlite3* db = m_pDatabase->m_pDb;
    if (!IsBlobCell(row, column))
        throw CADbSqlException(SQLITE_RANGE, L"", L"");
    std::wstring sql;
    FormatString(sql, L"UPDATE [%s] SET [%s] = ? WHERE %s = ?", SqlName{m_strTableName},
                 SqlName{m_arrFields[static_cast<size_t>(column)].m_strName}, m_strRowIdName);
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

// ---- The loader's side, run on the loader thread (Requery on the user-interface thread)

bool CADbSqlRecSet::Requery(bool responsive)
{
    m_nCurrentRow = -1;
    m_nCurrentRowId = 0;
    CloseRowStmt();
    CancelBound();
    m_bLoadFailed = false;
    {
        std::lock_guard lock(g_csRowIds);
        m_arrPlacedRowIds.clear();
    }
    if (m_bOffsetMode) {
        // The rows are read afresh after a re-count; a table read by position follows
        // the datasheet's sort.
        m_PageCache.m_nFirstRow = -1;
        if (!m_strReadOnlyReason.empty())
            m_PageCache.m_strOrder = m_strSort.empty() ? L"" : L" ORDER BY " + m_strSort;
    }
    ++m_nPendingLoads;
    RowLoaderState::Instance().RequestLoad(this);
    // A load already running goes on to its end first; the loader never waits for
    // this thread, so this wait ends.
    if (responsive) {
        // The loader's first step may hold the connection for long (a sort): the windows
        // that paint meanwhile read nothing from it.
        const HeldLong held(*m_pDatabase);
        platform::WaitResponsively([](bool brief) {
            if (brief)
                return g_hFirstPageEvent.WaitFor(std::chrono::milliseconds(10));
            g_hFirstPageEvent.Wait();
            return true;
        });
    } else {
        g_hFirstPageEvent.Wait();
    }
    // A page read while the wait painted may hold the rows of the walk before.
    if (m_bOffsetMode)
        m_PageCache.m_nFirstRow = -1;
    return MoveTo(-1);
}

void CADbSqlRecSet::PostLoad(int wParam, int rows) const
{
    if (m_pNotifyWnd)
        platform::PostMessage(m_pNotifyWnd, UM_LOAD_TABLE_DATA, static_cast<WPARAM>(wParam), rows);
}

void CADbSqlRecSet::EndLoad(int rows, bool postFinal, bool setFirstPage)
{
    // The load counts as ended before its final post arrives.
    --m_nPendingLoads;
    RowLoaderState::Instance().JobEnded();
    if (postFinal)
        PostLoad(0, rows);
    if (setFirstPage)
        g_hFirstPageEvent.Set();
}

bool CADbSqlRecSet::IsNewToList(RowId rowid) const
{
    return std::find(m_arrPlacedRowIds.begin(), m_arrPlacedRowIds.end(), rowid) == m_arrPlacedRowIds.end() ||
           m_arrRowIds.find(rowid) == -1;
}

bool CADbSqlRecSet::StepRowIdQuery(const std::wstring& sql, SqlStatement& stmt)
{
    return m_pDatabase->StepIteration(RowLoaderState::Instance().m_rowIdQueryIteration, sql, stmt, L"");
}

void CADbSqlRecSet::LoadRowIds()
{
    enum class End { Complete, RowLimit, Stopped, Failed };

    std::wstring sql;
    FormatString(sql, L"SELECT %s FROM [%s] ", m_strRowIdName, SqlName{m_strTableName});
    sql += BuildWhereOrderClause();
    const int limit = g_nMaxGridRows;
    sqlite3_int64 batch[kAppendBatch];
    size_t inBatch = 0;
    // The rows listed before stay until the new statement gives its first row (or its
    // end), so that a load that fails at once leaves them as they were.
    bool listing = false;
    auto startListing = [&] {
        if (!listing)
            m_arrRowIds.clear();
        listing = true;
    };
    auto flush = [&] {
        if (inBatch == 0)
            return;
        std::lock_guard lock(g_csRowIds);
        startListing();
        if (m_arrPlacedRowIds.empty()) {
            m_arrRowIds.append(batch, inBatch);
        } else {
            for (size_t i = 0; i < inBatch; ++i)
                if (IsNewToList(batch[i]))
                    m_arrRowIds.push_back(batch[i]);
        }
        inBatch = 0;
    };

    int n = 0;
    bool firstPage = false;
    SqlStatement stmt;
    End end = End::Complete;
    std::wstring failure;
    try {
        while (StepRowIdQuery(sql, stmt)) {
            batch[inBatch++] = sqlite3_column_int64(stmt, 0);
            ++n;
            if (n == LOADER_FIRST_PAGE_ROWS) {
                flush();
                PostLoad(1, n);
                g_hFirstPageEvent.Set();
                firstPage = true;
            }
            if (g_bLoaderStop.load(std::memory_order_relaxed) || m_bCancelLoad.load(std::memory_order_relaxed)) {
                end = End::Stopped;
                break;
            }
            if (LimitReached(n, limit)) {
                end = End::RowLimit;
                break;
            }
            if (n % LOADER_PROGRESS_ROWS == 0) {
                flush();
                PostLoad(1, n);
            }
            if (inBatch == kAppendBatch)
                flush();
        }
    } catch (const CADbSqlException& e) {
        end = End::Failed;
        failure = e.GetErrorText();
    }
    flush();
    int listed = 0;
    {
        std::lock_guard lock(g_csRowIds);
        // A statement without rows empties the list; a failure before the first row
        // leaves it.
        if (end == End::Complete || end == End::RowLimit)
            startListing();
        listed = static_cast<int>(m_arrRowIds.size());
    }
    if (end == End::Failed && !listing)
        m_bLoadFailed = true;

    if (end == End::RowLimit) {
        PostLoad(1, n);
        // The waiting re-query is released before the warning, so that neither thread
        // waits for the other; the box from this thread is queued and not waited for.
        if (!firstPage) {
            g_hFirstPageEvent.Set();
            firstPage = true;
        }
        platform::ShowCaptionLine(STR_ROW_LIMIT_REACHED, platform::CAPTION_LINE_WARNING);
        platform::MessageBox(nullptr, STR_ROW_LIMIT_REACHED, STR_WARNING_CAPTION,
                             platform::MB_OK | platform::MB_ICONWARNING);
    }
    if (stmt)
        sqlite3_reset(stmt);
    stmt.Finalize();
    RowLoaderState::Instance().m_rowIdQueryIteration.End();
    if (end == End::Failed)
        platform::ShowCaptionLine(failure, platform::CAPTION_LINE_ERROR);
    // A stopped or cancelled load answers no re-query and posts nothing more.
    const bool ended = end != End::Stopped;
    EndLoad(listed, ended, ended && !firstPage);
}

int CADbSqlRecSet::CountRowsOffsetMode(const std::wstring& source)
{
    // The count walks the rows once and keeps them, so that any page can be read later
    // by its position without running the statement again. Only rows the store has
    // committed are counted, so a row the window shows stays whole whatever fails later.
    std::wstring sql = source;
    if (m_bOffsetMode != RECSET_MODE_STATEMENT)
        FormatString(sql, L"SELECT %s FROM [%s]%s", m_PageCache.m_strSelectList, SqlName{source}, m_PageCache.m_strOrder);
    const int limit = g_nMaxGridRows;
    int n = 0;
    bool firstPage = false;
    bool cancelled = false;
    std::wstring failure;
    // A failure of the store itself (its reason): the rows stop at those it keeps whole.
    std::wstring notKept;
    bool storeFailed = false;
    SqlStatement stmt;
    auto store = std::make_shared<ResultStore>();
    bool published = false;
    // The pages read the new rows from the first report on; until then the rows of the
    // walk before stay, with their count.
    auto report = [&] {
        if (!store->Commit(notKept)) {
            storeFailed = true;
            return false;
        }
        if (!published)
            m_PageCache.SetStore(store);
        published = true;
        m_nOffsetRowCount = n;
        PostLoad(1, n);
        return true;
    };
    try {
        stmt = m_pDatabase->ExecuteStmt(sql);
        std::wstring message;
        if (stmt && !store->Create(stmt, notKept))
            storeFailed = true;
        while (stmt && !storeFailed) {
            const int rc = sqlite16::Step(stmt, message);
            if (rc == SQLITE_DONE)
                break;
            // A failed step ends the count like its end, instead of being stepped again.
            if (rc != SQLITE_ROW)
                throw CADbSqlException(SQLITE_ERROR, message, L"");
            if (!store->Append(stmt, notKept)) {
                storeFailed = true;
                break;
            }
            ++n;
            if (n == LOADER_FIRST_PAGE_ROWS) {
                if (!report())
                    break;
                g_hFirstPageEvent.Set();
                firstPage = true;
            }
            if (n % LOADER_COUNT_PROGRESS_ROWS == 0 && !report())
                break;
            if (LimitReached(n, limit)) {
                if (!report())
                    break;
                if (!firstPage) {
                    g_hFirstPageEvent.Set();
                    firstPage = true;
                }
                platform::ShowCaptionLine(STR_ROW_LIMIT_REACHED_COUNT, platform::CAPTION_LINE_WARNING);
                break;
            }
            if (m_bCancelLoad.load(std::memory_order_relaxed)) {
                cancelled = true;
                break;
            }
        }
    } catch (const CADbSqlException& e) {
        failure = e.GetErrorText();
    }
    stmt.Finalize();
    // The rows walked before the end or a failed step are made whole (a cancelled
    // count's window is going away).
    if (!storeFailed && !cancelled && !store->Commit(notKept))
        storeFailed = true;
    n = store->Rows();
    if (!published)
        m_PageCache.SetStore(store);
    m_nOffsetRowCount = n;
    if (!failure.empty())
        platform::ShowCaptionLine(failure, platform::CAPTION_LINE_ERROR);
    if (storeFailed) {
        std::wstring text;
        platform::MessageBox(nullptr, FormatString(text, STR_RESULT_NOT_KEPT, notKept, store->Folder()),
                             STR_ERROR_CAPTION, platform::MB_OK | platform::MB_ICONERROR);
        platform::ShowCaptionLine(FormatString(text, STR_COUNT_STOPPED, n), platform::CAPTION_LINE_WARNING);
    }
    // A cancelled count still posts its end but answers no re-query.
    EndLoad(n, true, !firstPage && !cancelled);
    return n;
}
