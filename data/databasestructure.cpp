#include "data/databasestructure.h"

#include "data/cadbsqldb.h"
#include "data/constants.h"
#include "data/formatstring.h"

#include <set>

namespace {

// Empty where the engine cannot list them.
std::set<std::wstring> ShadowTables(CADbSqlDb& db)
{
    std::set<std::wstring> names;
    CADbSqlQuery query;
    try {
        db.Query(query, L"SELECT name FROM pragma_table_list WHERE type = 'shadow'");
        for (bool end = query.Eof(); !end; end = query.NextRow())
            if (const wchar_t* name = query.GetFieldValue(0))
                names.insert(name);
    } catch (const CADbSqlException&) {
        // An engine without the list copies the shadow tables' statements too.
    }
    query.Finalize();
    return names;
}

} // namespace

std::vector<std::wstring> ReadStructureStatements(CADbSqlDb& db)
{
    const std::set<std::wstring> shadows = ShadowTables(db);
    std::vector<std::wstring> statements;
    CADbSqlQuery query;
    db.Query(query, std::wstring(L"Select * FROM sqlite_master WHERE ") + SQL_NOT_RESERVED_NAME);
    // Rows: type, name, tbl_name, rootpage, sql.
    for (bool end = query.Eof(); !end; end = query.NextRow()) {
        const wchar_t* table = query.GetFieldValue(2);
        if (table && shadows.count(table))
            continue;
        const wchar_t* sql = query.GetFieldValue(4);
        if (sql && *sql)
            statements.emplace_back(sql);
    }
    if (query.StepFailed())
        throw query.StepFailure();
    query.Finalize();
    return statements;
}

std::wstring ReadPragmaValue(CADbSqlDb& db, const std::wstring& name)
{
    std::wstring sql;
    FormatString(sql, L"PRAGMA %s;", name);
    std::wstring joined;
    CADbSqlQuery query;
    try {
        db.Query(query, sql);
        bool first = true;
        for (bool end = query.Eof(); !end; end = query.NextRow()) {
            if (!first)
                joined += L",";
            first = false;
            const wchar_t* value = query.GetFieldValue(query.m_nCols >= 2 ? 1 : 0);
            joined += value ? value : L"";
        }
    } catch (const CADbSqlException&) {
        // A setting the engine cannot read has no value.
    }
    query.Finalize();
    return joined;
}
