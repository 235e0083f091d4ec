#pragma once
// One value exactly as the engine stores it: its storage class and its bytes. Used
// where a value must be written back unchanged (an edit's untouched cells, undo).
#include <sqlite3.h>

#include <memory>
#include <string>

struct SqlValue {
    int m_nType = SQLITE_NULL; // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL
    sqlite3_int64 m_nInt = 0;
    double m_dFloat = 0;
    std::wstring m_strText;
    std::string m_blob;
    // A text read from a statement keeps the engine's own copy of its bytes, which is what
    // gets bound back: a text that is no valid UTF-8 (or holds a NUL) has no exact UTF-16
    // form. Shared by copies; never changed.
    std::shared_ptr<sqlite3_value> m_pStored;

    bool IsNull() const { return m_nType == SQLITE_NULL; }
};

// A text value, as a parameter to bind.
SqlValue TextValue(const std::wstring& text);
// The value of a column of the row the statement stands on.
SqlValue ReadSqlValue(sqlite3_stmt* stmt, int column);
// Binds the value with its own storage class (a stored text with its exact bytes); the
// engine's result code.
int BindSqlValue(sqlite3_stmt* stmt, int parameter, const SqlValue& value);
