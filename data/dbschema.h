#pragma once
// Reading and changing the schema of the open database on the current connection.
#include "data/cadbsqlfieldinfo.h"
#include "data/cadbsqlquery.h"

#include <sqlite3.h>

#include <string>
#include <vector>

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

// The names of the objects of the type ("table", "index", "trigger", "view") in the main
// and the temporary schema, by name: the engine's own objects and the temporary views
// behind query windows left out. Throws.
CADbSqlQuery& GetObjectNames(CADbSqlQuery& out, const wchar_t* type);

// Schema lists; each shows its own failure and then gives the empty result.
CADbSqlQuery& GetTriggers(CADbSqlQuery& out, bool namesOnly);
// The whole rows of the temporary schema's triggers, by name.
CADbSqlQuery& GetTemporaryTriggers(CADbSqlQuery& out);
CADbSqlQuery& GetViews(CADbSqlQuery& out, bool namesOnly);
CADbSqlQuery& GetForeignKeys(CADbSqlQuery& out, const std::wstring& table);

// Each drops the named object; false after showing the failure.
bool DropTable(const std::wstring& name);
bool DropIndex(const std::wstring& name);
bool DropTrigger(const std::wstring& name);
bool DropView(const std::wstring& name);

// VACUUM, then "Vacuum Completed"; a failure is shown instead.
void VacuumDatabase();
