#pragma once
// The engine's UTF-16 interface, with the conversions between its UTF-16 and the
// program's std::wstring. Every engine call that takes or gives text goes through here.
#include "data/sqlstatement.h"

#include <sqlite3.h>

#include <string>

namespace sqlite16 {

int Open(const std::wstring& path, sqlite3** db);
// Prepares the first statement of the text into the owner (empty for a text without a
// statement or on failure).
int Prepare(sqlite3* db, const std::wstring& sql, SqlStatement& stmt);
std::wstring ErrorMessage(sqlite3* db);
// The column's text; "" for SQL NULL, with isNull set when given.
std::wstring ColumnText(sqlite3_stmt* stmt, int column, bool* isNull = nullptr);
std::wstring ColumnName(sqlite3_stmt* stmt, int column);
// Binds a copy of the text.
int BindText(sqlite3_stmt* stmt, int parameter, const std::wstring& text);

} // namespace sqlite16
