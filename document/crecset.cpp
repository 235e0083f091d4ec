#include "document/crecset.h"

#include "data/currentdb.h"
#include "data/formatstring.h"

#include <algorithm>

namespace {

std::vector<CRecSet*> g_arrLiveRecSets;

} // namespace

CRecSet::CRecSet(int, const std::wstring& name, int mode)
    : CADbSqlRecSet(g_pCurrentDb)
{
    g_arrLiveRecSets.push_back(this);
    m_strTableName = name;
    if (mode == 0) {
        try {
            m_strColumnOrder = BuildColumnOrder();
        } catch (...) {
            std::erase(g_arrLiveRecSets, this);
            throw;
        }
    }
}

CRecSet::~CRecSet() { std::erase(g_arrLiveRecSets, this); }

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

const std::vector<CRecSet*>& CRecSet::LiveRecordSets() { return g_arrLiveRecSets; }
