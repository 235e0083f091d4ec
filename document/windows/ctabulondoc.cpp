#include "document/windows/ctabulondoc.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/databasestructure.h"
#include "data/dbschema.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "data/statementtext.h"
#include "document/session/cmainframebase.h"
#include "document/session/currentdatabase.h"
#include "document/session/openrequest.h"
#include "platform/captionline.h"
#include "platform/messagebox.h"
#include "platform/messagetarget.h"
#include "platform/waitcursor.h"

#include <algorithm>

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

} // namespace

BackupCheck SetBackupCheck(BackupCheck check) { return std::exchange(g_backupCheck, std::move(check)); }

std::wstring NextQueryTitle()
{
    std::wstring title;
    return FormatString(title, L"<Query%d>", ++g_nQueryTitle);
}

CTabulonDoc::CTabulonDoc()
    : m_pDataAccess(std::make_unique<CDataAccess>())
{
    WireModel();
}

void CTabulonDoc::WireModel()
{
    // The model tells the bridge when it goes, even when no rows were ever opened.
    m_pDataAccess->m_pDataInterface = &m_wndDataInterface;
    m_wndDataInterface.m_pDataAccess = m_pDataAccess.get();
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
        WireModel();
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
        if (!IsQueryStatement(text)) {
            if (ExecuteSql(text) && !g_openRequest.m_bQuiet)
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
        CADbSqlQuery query;
        CurrentDb().Query(query, text);
        for (bool end = query.Eof(); !end; end = query.NextRow()) {
            if (m_arrPragmaColumns.empty())
                for (int i = 0; i < query.m_nCols; ++i)
                    m_arrPragmaColumns.push_back(query.GetFieldName(i));
            std::vector<std::wstring>& row = m_arrPragmaRows.emplace_back();
            for (int i = 0; i < query.m_nCols; ++i) {
                const wchar_t* value = query.GetFieldValue(i);
                row.push_back(value ? value : L"");
            }
        }
        if (query.StepFailed())
            throw query.StepFailure();
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, LOC_EXECUTE_SQL);
        g_openRequest.m_strText.clear();
        return false;
    }
    g_openRequest.m_strText.clear();
    const std::vector<std::wstring> words = StatementWords(text);
    if (std::find(words.begin(), words.end(), L"=") != words.end()) {
        if (!g_openRequest.m_bQuiet)
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
            WritePragmaSettings(g_pMainFrame->m_strNewDbSourcePath);
            CopySchemaFromDatabase(g_pMainFrame->m_strNewDbSourcePath);
            g_pMainFrame->m_bNewDbFromExisting = false;
        }
    }
    if (loadNames)
        LoadSchemaNames();
    platform::SendMessage(g_pMainFrame, UM_DATABASE_OPENED, 0, reinterpret_cast<LPARAM>(m_pDataAccess.get()));
    // A file that cannot be written is said as it opens, not at the first edit.
    if (CurrentDb().IsReadOnly())
        platform::ShowCaptionLine(STR_READ_ONLY_DATABASE, platform::CAPTION_LINE_WARNING);
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

void ReadPragmaSettings(CADbSqlDb& db)
{
    for (PragmaSetting& setting : PragmaSettingList)
        setting.second = ReadPragmaValue(db, setting.first);
}

void WritePragmaSettings(const std::wstring& source)
{
    CADbSqlDb db;
    try {
        db.OpenReadOnly(source);
    } catch (const CADbSqlException&) {
        // The structure copy that follows says why the source cannot be read.
        return;
    }
    ReadPragmaSettings(db);
    for (size_t i = 0; i < PragmaSettingList.size(); ++i) {
        const PragmaSetting& setting = PragmaSettingList[i];
        if (setting.second.empty() || std::find(std::begin(kNotWritten), std::end(kNotWritten), i) != std::end(kNotWritten))
            continue;
        std::wstring sql;
        FormatString(sql, L"PRAGMA %s = %s", setting.first, setting.second);
        // A setting that cannot be written is left as it is.
        if (g_pCurrentDb)
            g_pCurrentDb->ExecuteQuietly(sql);
    }
}

void CopySchemaFromDatabase(const std::wstring& source)
{
    if (source.empty())
        return;
    try {
        CADbSqlDb db;
        db.OpenReadOnly(source);
        const std::vector<std::wstring> statements = ReadStructureStatements(db);
        platform::WaitCursor wait;
        for (const std::wstring& statement : statements)
            if (!ExecuteSql(statement))
                break;
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, LOC_COPY_STRUCTURE);
    }
}
