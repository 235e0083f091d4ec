#pragma once
// Reading and changing the schema of the open database on the current connection.
#include "data/cadbsqlfieldinfo.h"
#include "data/cadbsqlquery.h"

#include <sqlite3.h>

#include <string>
#include <vector>

class CADbSqlDb;

// Appends the description of one "PRAGMA table_info" row.
void ReadTableInfoRow(sqlite3_stmt* stmt, std::vector<CADbSqlFieldInfo>& out);
// The table's columns; false (and an empty list) for a table that does not exist. Throws.
bool GetTableFieldInfo(const std::wstring& table, std::vector<CADbSqlFieldInfo>& out);
// The result column names of a statement, read when its first step gives a row;
// false for a text without a statement. Throws when the text does not prepare.
bool GetColumnNames(const std::wstring& sql, std::vector<std::wstring>& names);
// Row iterator (one iteration at a time in the process, see RowIteration): appends the
// texts of the current row ("" for NULL) and returns true; false at the end or on a
// failed step. A call with another text ends the iteration in progress and starts anew.
bool FetchRow(const std::wstring& sql, std::vector<std::wstring>& values);

// The type ("table", "view", "index" or "trigger") of the object that holds the name where
// an object of the type would be made: triggers have names of their own, while tables,
// views and indexes share theirs. An object of the type itself comes first. Names are
// matched as the engine matches them, ignoring ASCII case; the main schema is looked at,
// with `temporary` the temporary one too. "" when the name is free. Throws.
std::wstring SchemaNameHolder(const wchar_t* type, const std::wstring& name, bool temporary);

// The schema lists of the open database. The workspace shows the objects of the main and
// the temporary schema together.

// The names of the objects of the type ("table", "index", "trigger", "view") in the main
// and the temporary schema, by name: the engine's own objects and the temporary views
// behind query windows left out. Throws.
CADbSqlQuery& GetObjectNames(CADbSqlQuery& out, const wchar_t* type);
// The names of the main schema's tables on the connection, by name, the engine's own left
// out: the first read of a file that is opened, and the designers' choice of a table. A
// failure is shown in a box with the tables' location code, its text also given in
// errorText, and gives the empty result.
CADbSqlQuery& GetTableNames(CADbSqlDb& db, CADbSqlQuery& out, std::wstring& errorText);
// The whole rows (type, name, tbl_name, rootpage, sql) of the objects of the type in the
// main schema, or with `temporary` in the temporary one, by name, the engine's own among
// them. A failure is shown with the type's own location code (in a box; for triggers in
// the caption strip) and gives the empty result.
CADbSqlQuery& GetSchemaRows(CADbSqlQuery& out, const wchar_t* type, bool temporary = false);
// The table's foreign keys as "PRAGMA foreign_key_list" gives them; a failure is shown
// in a box and gives the empty result.
CADbSqlQuery& GetForeignKeys(CADbSqlQuery& out, const std::wstring& table);

// Each drops the named object; false after showing the failure.
bool DropTable(const std::wstring& name);
bool DropIndex(const std::wstring& name);
bool DropTrigger(const std::wstring& name);
bool DropView(const std::wstring& name);

// VACUUM, then "Vacuum Completed"; a failure is shown instead.
void VacuumDatabase();
