#include "document/session/foreignkeymap.h"

#include "platform/names.h"

const ForeignKey* ForeignKeyMapEntry::FindKeyTo(const std::wstring& parent) const
{
    for (const ForeignKey& key : m_arrForeignKeys)
        if (platform::EqualsAsciiNoCase(key.m_strParentTable, parent))
            return &key;
    return nullptr;
}

int ForeignKeyMap::FindTable(const std::wstring& name) const
{
    for (size_t i = 0; i < m_arrEntries.size(); ++i)
        if (platform::EqualsAsciiNoCase(m_arrEntries[i].m_strTableName, name))
            return static_cast<int>(i);
    return -1;
}
