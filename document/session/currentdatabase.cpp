#include "document/session/currentdatabase.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/cappdatafile.h"
#include "document/session/cmainframebase.h"
#include "document/session/connectionuser.h"
#include "data/constants.h"
#include "data/csplitpath.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "data/longstatement.h"
#include "platform/messagebox.h"
#include "platform/waitcursor.h"

#include <cwctype>

ForeignKeyMap* g_pForeignKeyMap = nullptr;
std::wstring g_strCurrentDbPath;
std::wstring g_strDocDbPath;
std::wstring g_strOpenDbPath;
std::vector<std::wstring> g_arrTableNames;
std::vector<std::wstring> g_arrIndexNames;
std::vector<std::wstring> g_arrTriggerNames;
std::vector<std::wstring> g_arrViewNames;

namespace {

// Number of the next temporary query view; runs for the whole process.
int g_nNextQueryView = 1;

// Appends the first column of every row of a names-only list, then finalizes it. A
// step that fails ends the list; it is shown as the list's own failures are.
template <typename Show>
void CollectNames(CADbSqlQuery& query, std::vector<std::wstring>& into, Show show)
{
    for (bool end = query.Eof(); !end; end = query.NextRow()) {
        const wchar_t* name = query.GetFieldValue(0);
        into.push_back(name ? name : L"");
    }
    if (query.StepFailed())
        show(query.StepFailure());
    query.Finalize();
}

// Refills the list with the names of the objects of the type, main and temporary schema
// together; a failure is shown with the list's own location code and leaves the list empty
// or holding what was read before it.
void LoadNames(const wchar_t* type, std::vector<std::wstring>& into, const wchar_t* location,
               void (*show)(const CADbSqlException&, const wchar_t*))
{
    into.clear();
    if (!g_pCurrentDb)
        return;
    const auto shown = [location, show](const CADbSqlException& e) { show(e, location); };
    CADbSqlQuery query;
    try {
        GetObjectNames(query, type);
    } catch (const CADbSqlException& e) {
        shown(e);
        return;
    }
    CollectNames(query, into, shown);
}

bool IsPowerOfTwoPageSize(const std::wstring& text)
{
    if (text.empty() || text.size() > 5)
        return false;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + (c - L'0');
    }
    return value >= 512 && value <= 65536 && (value & (value - 1)) == 0;
}

} // namespace

void CreateDatabaseGlobals()
{
    if (!g_pCurrentDb)
        g_pCurrentDb = new CADbSqlDb;
    if (!g_pForeignKeyMap)
        g_pForeignKeyMap = new ForeignKeyMap;
}

void DestroyDatabaseGlobals()
{
    // Closing the connection finalizes its statements: no window and no load may still use one.
    ConnectionUser::ReleaseAll();
    delete g_pCurrentDb;
    g_pCurrentDb = nullptr;
    delete g_pForeignKeyMap;
    g_pForeignKeyMap = nullptr;
    g_arrTableNames.clear();
    g_arrIndexNames.clear();
    g_arrTriggerNames.clear();
    g_arrViewNames.clear();
}

bool ProbeDatabaseFile(const std::wstring& path)
{
    CADbSqlDb probe;
    try {
        probe.OpenDb(path);
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, LOC_OPEN_CURRENT_DB);
        return false;
    }
    std::wstring errorText;
    CADbSqlQuery query;
    GetTableNames(probe, query, errorText);
    query.Finalize();
    try {
        probe.CloseDb();
    } catch (const CADbSqlException&) {
        // The probe's own connection; its destructor tries again.
    }
    return errorText.empty();
}

bool LoadTableNames()
{
    // The schema may have changed: the next reader of the map builds it afresh.
    if (g_pForeignKeyMap)
        g_pForeignKeyMap->m_bIndexed = 0;
    LoadNames(L"table", g_arrTableNames, LOC_LIST_TABLES, ShowFailureBox);
    return !g_arrTableNames.empty();
}

void LoadIndexNames()
{
    LoadNames(L"index", g_arrIndexNames, LOC_LIST_INDEXES, ShowFailureBox);
}

void LoadTriggerNames()
{
    LoadNames(L"trigger", g_arrTriggerNames, LOC_LIST_TRIGGERS, ShowFailureLine);
}

void LoadViewNames()
{
    LoadNames(L"view", g_arrViewNames, LOC_LIST_VIEWS, ShowFailureBox);
}

void LoadSchemaNames()
{
    LoadIndexNames();
    LoadTriggerNames();
    LoadViewNames();
    // The table names come with the map.
    BuildForeignKeyMap();
}

void BuildForeignKeyMap()
{
    platform::WaitCursor wait;
    if (!g_pForeignKeyMap)
        return;
    LoadTableNames();
    g_pForeignKeyMap->m_arrEntries.clear();
    for (const std::wstring& table : g_arrTableNames) {
        ForeignKeyMapEntry entry;
        entry.m_strTableName = table;
        CADbSqlQuery keys;
        GetForeignKeys(keys, table);
        // Rows: id, seq, table, from, to, ...; the rows of one key follow one another.
        for (bool end = keys.Eof(); !end; end = keys.NextRow()) {
            const wchar_t* parent = keys.GetFieldValue(2);
            if (!parent)
                continue;
            const int id = keys.GetIntField(0);
            if (entry.m_arrForeignKeys.empty() || entry.m_arrForeignKeys.back().m_nId != id)
                entry.m_arrForeignKeys.push_back(ForeignKey{id, parent, {}, {}});
            const wchar_t* from = keys.GetFieldValue(3);
            const wchar_t* to = keys.GetFieldValue(4);
            entry.m_arrForeignKeys.back().m_arrColumns.push_back(from ? from : L"");
            entry.m_arrForeignKeys.back().m_arrParentColumns.push_back(to ? to : L"");
        }
        // The first key names the table's parent in the diagram and the dialog.
        if (!entry.m_arrForeignKeys.empty()) {
            const ForeignKey& first = entry.m_arrForeignKeys.front();
            entry.m_strParentTable = first.m_strParentTable;
            entry.m_nForeignKeyId = first.m_nId;
            entry.m_arrForeignKeyColumns = first.m_arrColumns;
            entry.m_arrParentColumns = first.m_arrParentColumns;
        }
        if (keys.StepFailed())
            ShowFailureBox(keys.StepFailure(), LOC_LIST_FOREIGN_KEYS);
        keys.Finalize();
        g_pForeignKeyMap->m_arrEntries.push_back(entry);
    }
    IndexForeignKeyMap();
}

void IndexForeignKeyMap()
{
    if (!g_pForeignKeyMap)
        return;
    std::vector<ForeignKeyMapEntry>& entries = g_pForeignKeyMap->m_arrEntries;
    for (size_t i = 0; i < entries.size(); ++i) {
        // A table is a child of every table it has a key to, once each; a table without
        // keys is nobody's child, whatever table names there are (the empty one too).
        for (const ForeignKey& key : entries[i].m_arrForeignKeys) {
            const int parent = g_pForeignKeyMap->FindTable(key.m_strParentTable);
            if (parent == -1)
                continue;
            std::vector<int>& children = entries[static_cast<size_t>(parent)].m_arrChildren;
            if (children.empty() || children.back() != static_cast<int>(i))
                children.push_back(static_cast<int>(i));
        }
    }
    g_pForeignKeyMap->m_bIndexed = 1;
}

std::wstring& GetViewSelect(std::wstring& out, const std::wstring& viewName)
{
    out.clear();
    CADbSqlQuery views;
    GetSchemaRows(views, L"view");
    for (bool end = views.Eof(); !end; end = views.NextRow()) {
        const wchar_t* name = views.GetFieldValue(1);
        const wchar_t* sql = views.GetFieldValue(4);
        if (!name || !sql || viewName != name)
            continue;
        // The first SELECT that stands as a word of its own, found without regard to case.
        const std::wstring text = sql;
        auto isWordChar = [](wchar_t c) { return std::iswalnum(c) || c == L'_'; };
        for (size_t at = 0; at + 6 <= text.size(); ++at) {
            bool match = true;
            for (size_t k = 0; k < 6 && match; ++k)
                match = static_cast<wchar_t>(std::towupper(text[at + k])) == L"SELECT"[k];
            if (match && (at == 0 || !isWordChar(text[at - 1])) &&
                (at + 6 == text.size() || !isWordChar(text[at + 6]))) {
                out = text.substr(at);
                break;
            }
        }
    }
    if (views.StepFailed())
        ShowFailureBox(views.StepFailure(), LOC_LIST_VIEWS);
    views.Finalize();
    return out;
}

std::wstring CreateQueryView(const std::wstring& statement, bool showFailure)
{
    std::wstring name;
    FormatString(name, L"%s%d", STR_QUERY_VIEW_PREFIX, g_nNextQueryView++);
    std::wstring sql;
    FormatString(sql, L"CREATE TEMP VIEW %s AS %s", name, statement);
    if (showFailure) {
        if (ExecuteSql(sql))
            return name;
        ShowFailureBox(STR_FAILED_CREATING_VIEW, LOC_CREATE_QUERY_VIEW);
        return L"";
    }
    try {
        if (ExecuteResponsively(CurrentDb(), sql, STR_RUNNING_STATEMENT))
            return name;
    } catch (const CADbSqlException&) {
        // The caller has another way to show the statement's rows.
    }
    return L"";
}

bool ExecuteSql(const std::wstring& statement)
{
    try {
        // A long statement (an UPDATE of every row) runs while the window keeps painting.
        return ExecuteResponsively(CurrentDb(), statement, STR_RUNNING_STATEMENT);
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, LOC_EXECUTE_SQL);
        return false;
    }
}

bool IsQueryStatement(const std::wstring& statement)
{
    int columns = 0;
    bool readOnly = false;
    try {
        return CurrentDb().DescribeStatement(statement, columns, readOnly) && readOnly && columns > 0;
    } catch (const CADbSqlException&) {
        // Run as a statement, it shows why it does not prepare.
        return false;
    }
}

bool EndOpenTransaction()
{
    if (!g_pCurrentDb || !g_pCurrentDb->InTransaction())
        return true;
    const int answer = platform::MessageBox(nullptr, STR_COMMIT_OPEN_TRANSACTION, STR_OPEN_TRANSACTION_CAPTION,
                                            platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
    if (answer != platform::IDYES && answer != platform::IDNO)
        return false;
    try {
        g_pCurrentDb->ExecuteCmd(answer == platform::IDYES ? L"COMMIT" : L"ROLLBACK");
    } catch (const CADbSqlException& e) {
        // A refused commit (a deferred foreign key, a full disk) keeps the database open
        // with its transaction, so nothing is lost unasked.
        ShowFailureBox(e, LOC_EXECUTE_SQL);
        return false;
    }
    return true;
}

bool ExecuteSingleStep(const std::wstring& statement)
{
    try {
        CADbSqlDb& db = CurrentDb();
        int rc = SQLITE_OK;
        std::wstring message;
        if (!db.ExecuteStep(statement, rc, message))
            return false;
        if (rc == SQLITE_ROW || rc == SQLITE_DONE)
            return true;
        throw CADbSqlException(rc, message, L"");
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, LOC_EXECUTE_SQL);
        return false;
    }
}

bool GetTableFields(const std::wstring& table, std::vector<CADbSqlFieldInfo>& out)
{
    return GetTableFieldInfo(table, out);
}

bool ApplyNewDatabasePragmas(const std::wstring& encoding, const std::wstring& pageSize, int autoVacuum)
{
    static const wchar_t* const encodings[] = {L"UTF-8", L"UTF-16", L"UTF-16le", L"UTF-16be"};
    bool knownEncoding = false;
    for (const wchar_t* known : encodings)
        knownEncoding = knownEncoding || encoding == known;
    if (!knownEncoding) {
        std::wstring text;
        ShowFailureBox(FormatString(text, STR_UNSUPPORTED_ENCODING, encoding), LOC_NEW_DB_PRAGMAS);
        return false;
    }
    if (!IsPowerOfTwoPageSize(pageSize)) {
        std::wstring text;
        ShowFailureBox(FormatString(text, STR_UNSUPPORTED_PAGE_SIZE, pageSize), LOC_NEW_DB_PRAGMAS);
        return false;
    }
    try {
        CADbSqlDb& db = CurrentDb();
        std::wstring statements[3];
        FormatString(statements[0], L"PRAGMA encoding = \"%s\"", encoding);
        FormatString(statements[1], L"PRAGMA page_size = %s", pageSize);
        FormatString(statements[2], L"PRAGMA auto_vacuum = %d", autoVacuum);
        for (const std::wstring& statement : statements) {
            int rc = SQLITE_OK;
            std::wstring message;
            db.ExecuteStep(statement, rc, message);
        }
        // The engine writes the file's header, and these three with it, only with the
        // first schema object: one made and dropped at once writes it now, so the options
        // hold even when the database is closed before its first table.
        try {
            db.ExecuteCmd(L"BEGIN");
            db.ExecuteCmd(L"CREATE TABLE [_new_database_header](x)");
            db.ExecuteCmd(L"DROP TABLE [_new_database_header]");
            db.ExecuteCmd(L"COMMIT");
        } catch (const CADbSqlException&) {
            db.ExecuteQuietly(L"ROLLBACK");
            throw;
        }
        return true;
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, LOC_NEW_DB_PRAGMAS);
        return false;
    }
}
