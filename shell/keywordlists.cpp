#include "shell/keywordlists.h"

#include "data/cappdatafile.h"
#include "data/constants.h"
#include "shell/cmainframe.h"
#include "shell/settingsloaders.h"

#include <vector>

namespace {

// The PRAGMA template left out of the console's list.
constexpr size_t kLeftOutPragma = 83; // "synchronous;"

void FillList(CAppDataFile& store, const wchar_t* name, const std::vector<const wchar_t*>& entries)
{
    if (store.NodeExists(name))
        return;
    store.CreateNode(name, NODE_TYPE_TEXT);
    for (const wchar_t* entry : entries)
        store.AddTextValue(name, entry);
}

std::vector<const wchar_t*> PragmaEntries()
{
    std::vector<const wchar_t*> entries;
    for (size_t i = 0; i < g_arrPragmaTemplates.size(); ++i)
        if (i != kLeftOutPragma)
            entries.push_back(g_arrPragmaTemplates[i]);
    return entries;
}

} // namespace

void FillKeywordLists(CAppDataFile& store)
{
    if (!store.NodeExists(NODE_USER_DB_LOCATION)) {
        g_strDbFolder = DefaultDbFolder();
        store.CreateNode(NODE_USER_DB_LOCATION, NODE_TYPE_TEXT);
        store.AddTextValue(NODE_USER_DB_LOCATION, g_strDbFolder);
    }
    std::wstring folder;
    store.GetTextValue(NODE_USER_DB_LOCATION, folder);
    g_strDbFolder = folder;

    FillList(store, NODE_DB_DATA_TYPES,
             {L"Integer", L"Decimal", L"Numeric", L"VarChar", L"Boolean", L"Character", L"Text", L"Clob", L"Blob",
              L"Real", L"Date", L"DateTime", L"Double", L"Float", STR_NEW_TYPE_ENTRY});
    FillList(store, NODE_CONFLICT_TYPES, {L"ROLLBACK", L"ABORT", L"FAIL", L"IGNORE", L"REPLACE"});
    FillList(store, NODE_COLLATE_TYPES, {L"BINARY", L"NOCASE", L"RTRIM"});
    FillList(store, NODE_SORTBY_TYPES, {L"ASC", L"DESC"});
    FillList(store, NODE_FOREIGN_KEY_ACTION_TYPES, {L"SET NULL", L"SET DEFAULT", L"CASCADE", L"RESTRICT", L"NO ACTION"});
    FillList(store, NODE_MATCH_TYPES, {L"SIMPLE", L"FULL", L"PARTIAL"});
    FillList(store, NODE_DEFERRABLE_TYPES, {L"NOT DEFERRABLE", L"DEFERRABLE"});
    FillList(store, NODE_INITIALLY_TYPES, {L"INITIALLY DEFERRED", L"INITIALLY IMMEDIATE"});
    FillList(store, NODE_ENCODE_TYPES, {L"UTF-8", L"UTF-16", L"UTF-16be", L"UTF-16le"});
    FillList(store, NODE_PAGE_SIZES, {L"512", L"1024", L"2048", L"4096", L"8192", L"16384", L"32768", L"65536"});
    FillList(store, NODE_PRAGMAS, PragmaEntries());
}

void CMainFrame::InitKeywordLists()
{
    if (m_pAppDataFile)
        FillKeywordLists(*m_pAppDataFile);
}
