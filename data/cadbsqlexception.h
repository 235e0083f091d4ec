#pragma once
// A failed engine call: its result code, the engine's message and where it failed.
// Thrown and caught by value.
#include <string>

// Codes of this system beside the engine's result codes.
inline constexpr int ADBSQL_NULL_POINTER = 1000;

class CADbSqlException {
public:
    CADbSqlException(int code, const std::wstring& message, const std::wstring& location);

    // "NAME", then ":<message>" when there is one, then ":<location>".
    std::wstring GetErrorText() const;

    std::wstring m_strLocation;
    std::wstring m_strMessage;
    int m_nCode;
};

// The display name of a result code ("SQLITE_BUSY", "NULL_POINTER", "UNKNOWN_ERROR").
const wchar_t* ResultCodeName(int code);
