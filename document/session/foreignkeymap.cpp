#include "document/session/foreignkeymap.h"

bool SameSqlName(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

const ForeignKey* ForeignKeyMapEntry::FindKeyTo(const std::wstring& parent) const
{
    for (const ForeignKey& key : m_arrForeignKeys)
        if (SameSqlName(key.m_strParentTable, parent))
            return &key;
    return nullptr;
}

int ForeignKeyMap::FindTable(const std::wstring& name) const
{
    for (size_t i = 0; i < m_arrEntries.size(); ++i)
        if (SameSqlName(m_arrEntries[i].m_strTableName, name))
            return static_cast<int>(i);
    return -1;
}
