#include "document/datasheet/crecset.h"

#include "data/constants.h"
#include "data/currentdb.h"
#include "data/formatstring.h"

CRecSet::CRecSet(int, const std::wstring& name, int mode)
    : CADbSqlRecSet(g_pCurrentDb)
{
    m_strTableName = name;
    if (mode == RECSET_MODE_TABLE)
        m_strColumnOrder = BuildColumnOrder();
}

std::wstring CRecSet::GetDefaultSource() { return {}; }
std::wstring CRecSet::GetDefaultTableName() { return {}; }
std::wstring CRecSet::GetDefaultColumnOrder() { return {}; }

std::wstring CRecSet::BuildColumnOrder()
{
    std::wstring order;
    GetFieldInfos(m_strTableName, m_arrFields);
    for (size_t column = 1; column <= m_arrFields.size(); ++column) {
        std::wstring part;
        order += FormatString(part, L"%c%d", column == 1 ? L' ' : L',', static_cast<int>(column));
    }
    return order;
}
