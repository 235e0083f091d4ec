#include "data/sqlvalue.h"

#include "data/sqlite16.h"

SqlValue TextValue(const std::wstring& text)
{
    SqlValue value;
    value.m_nType = SQLITE_TEXT;
    value.m_strText = text;
    return value;
}

SqlValue ReadSqlValue(sqlite3_stmt* stmt, int column)
{
    SqlValue value;
    value.m_nType = sqlite3_column_type(stmt, column);
    switch (value.m_nType) {
    case SQLITE_INTEGER: value.m_nInt = sqlite3_column_int64(stmt, column); break;
    case SQLITE_FLOAT: value.m_dFloat = sqlite3_column_double(stmt, column); break;
    case SQLITE_TEXT:
        // The copy comes first: reading the text as UTF-16 converts the statement's value
        // in place, and a conversion of bytes that are no valid UTF-8 is lossy.
        value.m_pStored.reset(sqlite3_value_dup(sqlite3_column_value(stmt, column)), sqlite3_value_free);
        value.m_strText = sqlite16::ColumnText(stmt, column);
        break;
    case SQLITE_BLOB: {
        // A zero-length BLOB gives a NULL pointer; its value stays an empty BLOB.
        const void* bytes = sqlite3_column_blob(stmt, column);
        const int length = sqlite3_column_bytes(stmt, column);
        if (bytes && length > 0)
            value.m_blob.assign(static_cast<const char*>(bytes), static_cast<size_t>(length));
        break;
    }
    default: value.m_nType = SQLITE_NULL; break;
    }
    return value;
}

int BindSqlValue(sqlite3_stmt* stmt, int parameter, const SqlValue& value)
{
    switch (value.m_nType) {
    case SQLITE_INTEGER: return sqlite3_bind_int64(stmt, parameter, value.m_nInt);
    case SQLITE_FLOAT: return sqlite3_bind_double(stmt, parameter, value.m_dFloat);
    case SQLITE_TEXT:
        if (value.m_pStored)
            return sqlite3_bind_value(stmt, parameter, value.m_pStored.get());
        return sqlite16::BindText(stmt, parameter, value.m_strText);
    case SQLITE_BLOB:
        return sqlite3_bind_blob64(stmt, parameter, value.m_blob.data(), value.m_blob.size(), SQLITE_TRANSIENT);
    default: return sqlite3_bind_null(stmt, parameter);
    }
}
