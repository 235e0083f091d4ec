#include "document/windows/ctabulondoc.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "data/sqlite16.h"
#include "data/sqlstatement.h"
#include "document/session/cmainframebase.h"
#include "document/session/currentdatabase.h"
#include "document/session/openrequest.h"
#include "platform/messagebox.h"
#include "platform/messagetarget.h"
#include "platform/utf16.h"
#include "platform/waitcursor.h"

#include <sqlite3.h>

#include <algorithm>
#include <cwctype>
#include <set>

std::vector<PragmaSetting> PragmaSettingList;

namespace {

BackupCheck g_backupCheck;

int g_nQueryTitle = 0;

const wchar_t* const kPragmaSettingNames[] = {
    L"application_id", L"auto_vacuum", L"automatic_index", L"busy_timeout", L"cache_size",
    L"case_sensitive_like", L"checkpoint_fullfsync", L"collation_list", L"compile_options", L"count_changes",
    L"encoding", L"foreign_keys", L"freelist_count", L"fullfsync", L"ignore_check_constraints",
    L"journal_mode", L"journal_size_limit", L"legacy_file_format", L"locking_mode", L"max_page_count",
    L"mmap_count", L"page_count", L"page_size", L"parser_trace", L"read_uncommitted",
    L"recursive_triggers", L"reverse_unordered_selects", L"schema_version", L"secure_delete", L"synchronous",
    L"temp_store", L"user_version", L"vdbe_addoptrace", L"vdbe_listing", L"vdbe_trace",
    L"wal_autocheckpoint", L"writable_schema"};

// Settings that are read but never written back: they cannot change on a database that
// has content, or are lists.
constexpr size_t kNotWritten[] = {1, 7, 8, 10};

std::wstring Upper(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

// A read-only connection of its own on another database file.
class ReadOnlyConnection {
public:
    explicit ReadOnlyConnection(const std::wstring& path)
    {
        const QByteArray name = platform::ToQString(path).toUtf8();
        const int rc = sqlite3_open_v2(name.constData(), &m_pDb, SQLITE_OPEN_READONLY, nullptr);
        if (rc != SQLITE_OK) {
            const std::wstring message = m_pDb ? sqlite16::ErrorMessage(m_pDb) : L"";
            sqlite3_close(m_pDb);
            m_pDb = nullptr;
            throw CADbSqlException(rc, message, L"OpenDb");
        }
    }
    // Its statements are finalized first.
    ~ReadOnlyConnection()
    {
        SqlStatement::FinalizeAll(m_pDb);
        sqlite3_close(m_pDb);
    }
    ReadOnlyConnection(const ReadOnlyConnection&) = delete;
    ReadOnlyConnection& operator=(const ReadOnlyConnection&) = delete;

    // Prepares the statement. Throws on failure.
    SqlStatement Prepare(const std::wstring& sql) const
    {
        SqlStatement stmt;
        const int rc = sqlite16::Prepare(m_pDb, sql, stmt);
        if (rc != SQLITE_OK) {
            throw CADbSqlException(rc, sqlite16::ErrorMessage(m_pDb), L"ExecuteStmt");
        }
        return stmt;
    }
    sqlite3* Handle() const { return m_pDb; }

private:
    sqlite3* m_pDb = nullptr;
};

// The shadow tables that the source's virtual tables keep their contents in; the copied
// CREATE VIRTUAL TABLE makes them anew. Empty where the engine cannot list them.
std::set<std::wstring> ShadowTables(const ReadOnlyConnection& source)
{
    std::set<std::wstring> names;
    SqlStatement stmt;
    if (sqlite16::Prepare(source.Handle(), L"SELECT name FROM pragma_table_list WHERE type = 'shadow'", stmt) ==
        SQLITE_OK) {
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
            names.insert(sqlite16::ColumnText(stmt, 0));
    }
    return names;
}

} // namespace

BackupCheck SetBackupCheck(BackupCheck check) { return std::exchange(g_backupCheck, std::move(check)); }

std::wstring NextQueryTitle()
{
    std::wstring title;
    return FormatString(title, L"<Query%d>", ++g_nQueryTitle);
}

std::vector<std::wstring> StatementTokens(const std::wstring& text)
{
    std::vector<std::wstring> tokens;
    std::wstring token;
    for (wchar_t c : text) {
        if (std::iswspace(c)) {
            if (!token.empty())
                tokens.push_back(std::move(token));
            token.clear();
        } else {
            token.push_back(c);
        }
    }
    if (!token.empty())
        tokens.push_back(std::move(token));
    return tokens;
}

CTabulonDoc::CTabulonDoc()
    : m_pDataAccess(std::make_unique<CDataAccess>())
{
    // The model tells the bridge when it goes, even when no rows were ever opened.
    m_pDataAccess->m_pDataInterface = &m_wndDataInterface;
}

CTabulonDoc::~CTabulonDoc()
{
    // The model stops its load and waits for the loader to leave its record set before
    // the record set goes; the bridge goes after it.
    if (m_pDataAccess && m_pDataAccess->m_pRecSet)
        m_pDataAccess->m_pRecSet->m_bCancelLoad = 1;
    m_pDataAccess.reset();
}

bool CTabulonDoc::OnNewDocument()
{
    if (!m_pDataAccess) {
        m_pDataAccess = std::make_unique<CDataAccess>();
        m_pDataAccess->m_pDataInterface = &m_wndDataInterface;
    }
    const std::wstring text = GetOpenRequestText();
    switch (m_nKind) {
    case OpenTableData:
    case OpenSqlQuery:
    case OpenViewData:
        return OpenDatasheet(text);
    case OpenRelationships:
        SetTitle(text);
        g_openRequest.m_strText.clear();
        // Import/Export closes the connection; the diagram opens it again.
        if (!g_pCurrentDb || (!g_pCurrentDb->m_bOpen && !CDataAccess::OpenDatabase()))
            return false;
        BuildForeignKeyMap();
        return true;
    case OpenPragmaQuery:
        return OpenPragma(text);
    case OpenDatabaseSettings:
        SetTitle(text);
        g_openRequest.m_strText.clear();
        return true;
    default:
        return false;
    }
}

bool CTabulonDoc::OpenDatasheet(const std::wstring& text)
{
    if (text.empty())
        return false;
    g_openRequest.m_strText.clear();
    int mode = 0;
    std::wstring title = text;
    if (m_nKind == OpenSqlQuery) {
        const std::vector<std::wstring> tokens = StatementTokens(text);
        if (tokens.empty() || Upper(tokens.front()) != L"SELECT") {
            if (ExecuteSql(text))
                platform::MessageBox(nullptr, STR_EXECUTED_STATEMENT, STR_PRODUCT_NAME,
                                     platform::MB_OK | platform::MB_ICONINFORMATION);
            return false;
        }
        title = NextQueryTitle();
        mode = 1;
    } else if (m_nKind == OpenViewData) {
        mode = 2;
    }
    if (m_nKind != OpenSqlQuery)
        m_strObject = text;
    SetTitle(title);
    m_pDataAccess->m_pDataInterface = &m_wndDataInterface;
    try {
        return m_pDataAccess->Open(text, mode);
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, LOC_EXECUTE_SQL);
        return false;
    }
}

bool CTabulonDoc::OpenPragma(const std::wstring& text)
{
    m_arrPragmaColumns.clear();
    m_arrPragmaRows.clear();
    // One run of the statement: an assignment's success box, or the rows the window shows.
    try {
        platform::WaitCursor wait;
        CADbSqlDb& db = CurrentDb();
        SqlStatement stmt = db.ExecuteStmt(text);
        int rc = SQLITE_DONE;
        while (stmt && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const int count = sqlite3_column_count(stmt);
            if (m_arrPragmaColumns.empty())
                for (int i = 0; i < count; ++i)
                    m_arrPragmaColumns.push_back(sqlite16::ColumnName(stmt, i));
            std::vector<std::wstring>& row = m_arrPragmaRows.emplace_back();
            for (int i = 0; i < count; ++i)
                row.push_back(sqlite16::ColumnText(stmt, i));
        }
        const std::wstring message = rc == SQLITE_DONE ? L"" : sqlite16::ErrorMessage(db.m_pDb);
        stmt.Finalize();
        if (rc != SQLITE_DONE)
            throw CADbSqlException(rc, message, L"");
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, LOC_EXECUTE_SQL);
        g_openRequest.m_strText.clear();
        return false;
    }
    g_openRequest.m_strText.clear();
    const std::vector<std::wstring> tokens = StatementTokens(text);
    if (std::find(tokens.begin(), tokens.end(), L"=") != tokens.end()) {
        platform::MessageBox(nullptr, STR_PRAGMA_SUCCEEDED, STR_PRODUCT_NAME,
                             platform::MB_OK | platform::MB_ICONINFORMATION);
        return false;
    }
    SetTitle(text);
    m_strPragmaText = text;
    return true;
}

bool CTabulonDoc::OnOpenDocument(const std::wstring& path)
{
    platform::WaitCursor wait;
    g_strDocDbPath = path;
    if (path.empty())
        return false;
    // The copy is made before the file is opened.
    if (g_backupCheck)
        g_backupCheck(path);
    g_strCurrentDbPath = path;
    if (!CDataAccess::OpenDatabase())
        return false;
    g_strOpenDbPath = path;
    bool loadNames = true;
    if (g_pMainFrame && g_pMainFrame->m_bCreatingDatabase) {
        ApplyNewDatabasePragmas(g_pMainFrame->m_strNewDbEncoding, g_pMainFrame->m_strNewDbPageSize,
                                g_pMainFrame->m_bNewDbAutoVacuum ? 1 : 0);
        loadNames = g_pMainFrame->m_bNewDbFromExisting;
        if (g_pMainFrame->m_bNewDbFromExisting) {
            WritePragmaSettings();
            CopySchemaFromDatabase(g_pMainFrame->m_strNewDbSourcePath);
            g_pMainFrame->m_bNewDbFromExisting = false;
        }
    }
    if (loadNames) {
        LoadTableNames();
        LoadIndexNames();
        LoadTriggerNames();
        LoadViewNames();
    }
    platform::SendMessage(g_pMainFrame, UM_DATABASE_OPENED, 0, reinterpret_cast<LPARAM>(m_pDataAccess.get()));
    SetPathName(path, true);
    return false;
}

void InitPragmaSettingList()
{
    if (!PragmaSettingList.empty())
        return;
    for (const wchar_t* name : kPragmaSettingNames)
        PragmaSettingList.emplace_back(name, L"");
}

std::wstring ReadPragmaValue(const std::wstring& name)
{
    std::wstring sql;
    FormatString(sql, L"PRAGMA %s;", name);
    std::wstring joined;
    std::vector<std::wstring> values;
    bool first = true;
    try {
        while (FetchRow(sql, values)) {
            if (!first)
                joined += L",";
            first = false;
            joined += values.size() >= 2 ? values[1] : values.front();
            values.clear();
        }
    } catch (const CADbSqlException&) {
        // A setting the engine cannot read has no value.
    }
    return joined;
}

void ReadPragmaSettings()
{
    for (PragmaSetting& setting : PragmaSettingList)
        setting.second = ReadPragmaValue(setting.first);
}

void WritePragmaSettings()
{
    ReadPragmaSettings();
    for (size_t i = 0; i < PragmaSettingList.size(); ++i) {
        const PragmaSetting& setting = PragmaSettingList[i];
        if (setting.second.empty() || std::find(std::begin(kNotWritten), std::end(kNotWritten), i) != std::end(kNotWritten))
            continue;
        std::wstring sql;
        FormatString(sql, L"PRAGMA %s = %s", setting.first, setting.second);
        try {
            const SqlStatement stmt = CurrentDb().ExecuteStmt(sql);
            if (stmt)
                sqlite3_step(stmt);
        } catch (const CADbSqlException&) {
            // A setting that cannot be written is left as it is.
        }
    }
}

void CopySchemaFromDatabase(const std::wstring& source)
{
    if (source.empty())
        return;
    try {
        const ReadOnlyConnection db(source);
        const std::set<std::wstring> shadows = ShadowTables(db);
        std::wstring sql;
        FormatString(sql, L"Select * FROM sqlite_master WHERE name NOT LIKE 'sqlite%%'");
        SqlStatement stmt = db.Prepare(sql);
        platform::WaitCursor wait;
        int rc = SQLITE_DONE;
        while (stmt && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const std::wstring table = sqlite16::ColumnText(stmt, 2);
            if (shadows.count(table))
                continue;
            const std::wstring statement = sqlite16::ColumnText(stmt, 4);
            if (!statement.empty() && !ExecuteSql(statement)) {
                rc = SQLITE_DONE;
                break;
            }
        }
        const std::wstring message = rc == SQLITE_DONE ? L"" : sqlite16::ErrorMessage(db.Handle());
        stmt.Finalize();
        if (rc != SQLITE_DONE)
            throw CADbSqlException(rc, message, L"");
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, LOC_COPY_STRUCTURE);
    }
}
