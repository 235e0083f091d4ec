#include "data/cadbsqlfieldinfo.h"

#include "data/textutil.h"

int CADbSqlFieldInfo::GetType()
{
    if (m_strType.empty())
        return m_nTypeCode;
    StringToUpper(m_strType);
    return GetTypeCode(m_strType);
}

int GetTypeCode(const std::wstring& upperType)
{
    auto has = [&upperType](const wchar_t* part) { return upperType.find(part) != std::wstring::npos; };
    if (has(L"INT"))
        return FIELDTYPE_INTEGER;
    if (has(L"CHAR") || has(L"CLOB") || has(L"TEXT"))
        return FIELDTYPE_TEXT;
    if (has(L"BLOB") || has(L"BINARY"))
        return FIELDTYPE_BLOB;
    if (has(L"REAL") || has(L"FLOA") || has(L"NUMERIC") || has(L"DOUB"))
        return FIELDTYPE_FLOAT;
    if (upperType == L"DATETIME")
        return FIELDTYPE_DATETIME;
    if (upperType == L"TIME")
        return FIELDTYPE_TIME;
    if (upperType == L"DATE")
        return FIELDTYPE_DATE;
    return FIELDTYPE_TEXT;
}

int DeclaredTypeCode(std::wstring declaredType)
{
    StringToUpper(declaredType);
    return GetTypeCode(declaredType);
}
