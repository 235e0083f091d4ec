#include "data/dbschema.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "data/longstatement.h"
#include "data/rowiteration.h"
#include "data/sqlite16.h"
#include "platform/captionline.h"
#include "platform/messagebox.h"

namespace {

// The FetchRow iterator's state.
RowIteration g_fetchRowIteration;
SqlStatement g_pFetchRowStmt;

// Runs a list statement on the connection, the current one when none is given; on failure
// (no current connection included) the result is empty and the failure is shown.
template <typename Show>
CADbSqlQuery& RunList(CADbSqlDb* db, CADbSqlQuery& out, const std::wstring& sql, const std::vector<SqlValue>& values,
                      Show show)
{
    try {
        (db ? *db : CurrentDb()).Query(out, sql, values);
    } catch (const CADbSqlException& e) {
        out = CADbSqlQuery();
        show(e);
    }
    return out;
}

bool Drop(const wchar_t* format, const std::wstring& name, const wchar_t* code)
{
    std::wstring sql;
    FormatString(sql, format, SqlName{name});
    try {
        CADbSqlQuery query;
        CurrentDb().Query(query, sql);
        query.Finalize();
        return true;
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, code);
        return false;
    }
}

} // namespace

void ReadTableInfoRow(sqlite3_stmt* stmt, std::vector<CADbSqlFieldInfo>& out)
{
    CADbSqlFieldInfo info;
    info.m_nCid = sqlite3_column_int(stmt, 0);
    info.m_strName = sqlite16::ColumnText(stmt, 1);
    info.m_strType = sqlite16::ColumnText(stmt, 2);
    info.m_nPk = sqlite3_column_int(stmt, 5);
    info.m_strDefault = sqlite16::ColumnText(stmt, 4);
    info.m_nNotNull = sqlite3_column_int(stmt, 3);
    info.m_nTypeCode = DeclaredTypeCode(info.m_strType);
    out.push_back(info);
}

bool GetTableFieldInfo(const std::wstring& table, std::vector<CADbSqlFieldInfo>& out)
{
    std::wstring sql;
    FormatString(sql, SQL_TABLE_INFO, SqlName{table});
    out.clear();
    CADbSqlDb& db = CurrentDb();
    SqlStatement stmt;
    while (db.QueryData(sql, stmt))
        ReadTableInfoRow(stmt, out);
    return !out.empty();
}

bool GetColumnNames(const std::wstring& sql, std::vector<std::wstring>& names)
{
    const SqlStatement stmt = CurrentDb().ExecuteStmt(sql);
    if (!stmt)
        return false;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        const int count = sqlite3_column_count(stmt);
        for (int i = 0; i < count; ++i)
            names.push_back(sqlite16::ColumnName(stmt, i));
    }
    return true;
}

bool FetchRow(const std::wstring& sql, std::vector<std::wstring>& values)
{
    if (!g_fetchRowIteration.Continues(sql, g_pFetchRowStmt)) {
        // An iteration of another text that was left early ends here.
        g_fetchRowIteration.End();
        g_pFetchRowStmt.Finalize();
        g_pFetchRowStmt = CurrentDb().ExecuteStmt(sql);
        if (!g_pFetchRowStmt)
            return false;
        g_fetchRowIteration.Begin(sql, g_pFetchRowStmt);
    }
    const int rc = sqlite3_step(g_pFetchRowStmt);
    if (rc == SQLITE_ROW) {
        const int count = sqlite3_column_count(g_pFetchRowStmt);
        for (int i = 0; i < count; ++i)
            values.push_back(sqlite16::ColumnText(g_pFetchRowStmt, i));
        return true;
    }
    if (rc == SQLITE_DONE)
        sqlite3_reset(g_pFetchRowStmt);
    g_pFetchRowStmt.Finalize();
    g_fetchRowIteration.End();
    return false;
}

std::wstring SchemaNameHolder(const wchar_t* type, const std::wstring& name, bool temporary)
{
    const std::wstring objects = temporary ? L"(SELECT type, name FROM sqlite_master UNION ALL "
                                             L"SELECT type, name FROM sqlite_temp_master)"
                                           : L"sqlite_master";
    const std::wstring sql = L"SELECT type FROM " + objects +
                             L" WHERE name = ?2 COLLATE NOCASE AND (type = ?1 OR (?1 <> 'trigger' AND type IN "
                             L"('table', 'view', 'index'))) ORDER BY type <> ?1 LIMIT 1";
    CADbSqlQuery query;
    CurrentDb().Query(query, sql, {TextValue(type), TextValue(name)});
    const wchar_t* holder = query.Eof() ? nullptr : query.GetFieldValue(0);
    const std::wstring result = holder ? holder : L"";
    query.Finalize();
    return result;
}

CADbSqlQuery& GetObjectNames(CADbSqlQuery& out, const wchar_t* type)
{
    const std::wstring sql = std::wstring(L"SELECT name FROM (SELECT type, name FROM sqlite_master UNION ALL "
                                          L"SELECT type, name FROM sqlite_temp_master WHERE name NOT GLOB ?2) "
                                          L"WHERE type = ?1 AND ") +
                             SQL_NOT_RESERVED_NAME + L" ORDER BY name";
    return CurrentDb().Query(out, sql, {TextValue(type), TextValue(std::wstring(STR_QUERY_VIEW_PREFIX) + L"*")});
}

CADbSqlQuery& GetTableNames(CADbSqlDb& db, CADbSqlQuery& out, std::wstring& errorText)
{
    const std::wstring sql = std::wstring(L"SELECT name FROM sqlite_master WHERE type = 'table' AND ") +
                             SQL_NOT_RESERVED_NAME + L" ORDER BY name";
    return RunList(&db, out, sql, {}, [&errorText](const CADbSqlException& e) {
        errorText = FailureText(e.GetErrorText(), LOC_LIST_TABLES);
        ShowFailureBox(e, LOC_LIST_TABLES);
    });
}

CADbSqlQuery& GetSchemaRows(CADbSqlQuery& out, const wchar_t* type, bool temporary)
{
    const std::wstring kind = type;
    const std::wstring sql = std::wstring(L"SELECT * FROM ") + (temporary ? L"sqlite_temp_master" : L"sqlite_master") +
                             L" WHERE type = ?1 ORDER BY name";
    return RunList(nullptr, out, sql, {TextValue(kind)}, [&kind](const CADbSqlException& e) {
        if (kind == L"trigger")
            ShowFailureLine(e, LOC_LIST_TRIGGERS);
        else if (kind == L"table")
            ShowFailureBox(e, LOC_LIST_TABLES);
        else
            ShowFailureBox(e, kind == L"index" ? LOC_LIST_INDEXES : LOC_LIST_VIEWS);
    });
}

CADbSqlQuery& GetForeignKeys(CADbSqlQuery& out, const std::wstring& table)
{
    std::wstring sql;
    FormatString(sql, L"PRAGMA foreign_key_list([%s])", SqlName{table});
    return RunList(nullptr, out, sql, {}, [](const CADbSqlException& e) { ShowFailureBox(e, LOC_LIST_FOREIGN_KEYS); });
}

bool DropTable(const std::wstring& name) { return Drop(L"DROP TABLE IF EXISTS [%s]", name, LOC_DROP_TABLE); }
bool DropIndex(const std::wstring& name) { return Drop(L"DROP INDEX IF EXISTS [%s]", name, LOC_DROP_INDEX); }
bool DropTrigger(const std::wstring& name) { return Drop(L"DROP TRIGGER IF EXISTS [%s]", name, LOC_DROP_TRIGGER); }
bool DropView(const std::wstring& name) { return Drop(L"DROP VIEW IF EXISTS [%s]", name, LOC_DROP_VIEW); }

void VacuumDatabase()
{
    try {
        CADbSqlDb& db = CurrentDb();
        LongStatement(db).Run(STR_VACUUMING, [&db] {
            CADbSqlQuery query;
            db.Query(query, L"VACUUM");
            query.Finalize();
        });
        platform::MessageBox(nullptr, L"Vacuum Completed", STR_PRODUCT_NAME,
                             platform::MB_OK | platform::MB_ICONINFORMATION);
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, LOC_VACUUM);
    }
}
