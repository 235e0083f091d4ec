#pragma once
// One column of a table or view as "PRAGMA table_info" describes it.
#include <string>

// Type codes: the program's classification of a declared type.
inline constexpr int FIELDTYPE_INTEGER = 1;
inline constexpr int FIELDTYPE_FLOAT = 2;
inline constexpr int FIELDTYPE_TEXT = 3;
inline constexpr int FIELDTYPE_BLOB = 4;
inline constexpr int FIELDTYPE_NULL = 5;
inline constexpr int FIELDTYPE_DATE = 6;
inline constexpr int FIELDTYPE_TIME = 7;
inline constexpr int FIELDTYPE_DATETIME = 8;

class CADbSqlFieldInfo {
public:
    CADbSqlFieldInfo() = default;
    CADbSqlFieldInfo(const CADbSqlFieldInfo&) = default;
    CADbSqlFieldInfo& operator=(const CADbSqlFieldInfo&) = default;
    virtual ~CADbSqlFieldInfo() = default;

    // Upper-cases the stored declared type in place and returns its type code; an
    // empty declared type returns m_nTypeCode.
    int GetType();

    int m_nCid = -1;
    std::wstring m_strName;
    std::wstring m_strType;
    std::wstring m_strDefault;
    int m_nTypeCode = -1;
    int m_nPk = -1;
    int m_nNotNull = -1;
};

// The type code of an upper-case declared type; the first matching rule decides.
int GetTypeCode(const std::wstring& upperType);
// The type code of a declared type as it was written, in any case.
int DeclaredTypeCode(std::wstring declaredType);
