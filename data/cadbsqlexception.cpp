#include "data/cadbsqlexception.h"

CADbSqlException::CADbSqlException(int code, const std::wstring& message, const std::wstring& location)
    : m_strLocation(location)
    , m_strMessage(message)
    , m_nCode(code)
{
}

std::wstring CADbSqlException::GetErrorText() const
{
    std::wstring text = ResultCodeName(m_nCode);
    if (!m_strMessage.empty())
        text += L":<" + m_strMessage + L">";
    text += L":<" + m_strLocation + L">";
    return text;
}

const wchar_t* ResultCodeName(int code)
{
    static const wchar_t* const names[] = {
        L"SQLITE_OK",       L"SQLITE_ERROR",  L"SQLITE_INTERNAL", L"SQLITE_PERM",     L"SQLITE_ABORT",
        L"SQLITE_BUSY",     L"SQLITE_LOCKED", L"SQLITE_NOMEM",    L"SQLITE_READONLY", L"SQLITE_INTERRUPT",
        L"SQLITE_IOERR",    L"SQLITE_CORRUPT", L"SQLITE_NOTFOUND", L"SQLITE_FULL",    L"SQLITE_CANTOPEN",
        L"SQLITE_PROTOCOL", L"SQLITE_EMPTY",  L"SQLITE_SCHEMA",   L"SQLITE_TOOBIG",   L"SQLITE_CONSTRAINT",
        L"SQLITE_MISMATCH", L"SQLITE_MISUSE", L"SQLITE_NOLFS",    L"SQLITE_AUTH",     L"SQLITE_FORMAT",
        L"SQLITE_RANGE",    L"SQLITE_NOTADB",
    };
    if (code >= 0 && code < static_cast<int>(sizeof names / sizeof names[0]))
        return names[code];
    switch (code) {
    case 100: return L"SQLITE_ROW";
    case 101: return L"SQLITE_DONE";
    case ADBSQL_NULL_POINTER: return L"NULL_POINTER";
    default: return L"UNKNOWN_ERROR";
    }
}
