#include "data/constants.h"
#include "data/failure.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// The console's PRAGMA list: a slip in any of these lines changes what users are offered
// and what the stored list holds (the first run adds them one by one).
TEST(PragmaTemplates, KeepTheirOrderAndOddSpellings)
{
    ASSERT_EQ(g_arrPragmaTemplates.size(), 98u);
    struct Line {
        size_t number; // 1-based
        const wchar_t* text;
    };
    const Line lines[] = {
        {1, L"application_id;"},
        {15, L"checkpoint_fullfsync"}, // no semicolon
        {16, L"checkpoint_fullfsync = boolean;"},
        {22, L"data_store_directory = ''directory-name'';"},
        {26, L"defer_foreign_keys;"},
        {27, L"defer_foreign_keys;"}, // the same text again
        {31, L"encoding = \"UTF-8\";"},
        {32, L"encoding = \"UTF-16\";"},
        {33, L"encoding = \"UTF-16le\";"},
        {34, L"encoding = \"UTF-16be\";"},
        {50, L"PRAGMA integrity_check(integer);"},
        {63, L"page_count;"},
        {64, L"page_size = bytes;"},
        {84, L"synchronous;"},
        {90, L"temp_store_directory = ''directory-name'';"},
        {97, L"wal_checkpoint(PASSIVE or FULL or RESTART;"}, // no closing parenthesis
        {98, L"writable_schema = boolean;"},
    };
    for (const Line& line : lines)
        EXPECT_EQ(std::wstring(g_arrPragmaTemplates[line.number - 1]), line.text) << "line " << line.number;
}

TEST(PragmaTemplates, OnlyTheMarkedLinesBreakThePattern)
{
    for (size_t i = 0; i < g_arrPragmaTemplates.size(); ++i) {
        const std::wstring line = g_arrPragmaTemplates[i];
        const size_t number = i + 1;
        EXPECT_EQ(line.rfind(L"PRAGMA", 0) == 0, number == 50) << "line " << number;
        EXPECT_EQ(line.back() == L';', number != 15) << "line " << number;
        EXPECT_EQ(line.find(L'\'') != std::wstring::npos, number == 22 || number == 90) << "line " << number;
    }
}

// Every store user spells node names through these constants; a slip here strands the
// settings and lists that earlier runs stored under the right name.
TEST(NodeNames, MatchTheStoredNames)
{
    const std::pair<const wchar_t*, const wchar_t*> names[] = {
        {NODE_CURFONT, L"CONFIG\\DATASHEET\\CURFONT"},
        {NODE_CURFONTSIZE, L"CONFIG\\DATASHEET\\CURFONTSIZE"},
        {NODE_CURTEXTCOLOR, L"CONFIG\\DATASHEET\\CURTEXTCOLOR"},
        {NODE_CURODDROWCOLOR, L"CONFIG\\DATASHEET\\CURODDROWCOLOR"},
        {NODE_CUREVENROWCOLOR, L"CONFIG\\DATASHEET\\CUREVENROWCOLOR"},
        {NODE_DEF_COL_WIDTH, L"CONFIG\\DATASHEET\\DEF_COL_WIDTH"},
        {NODE_DEF_REPORT_COL_WIDTH, L"CONFIG\\DATASHEET\\DEF_REPORT_COL_WIDTH"},
        {NODE_REPORT_HEADER_TEXT, L"CONFIG\\DATASHEET\\REPORT_HEADER_TEXT"},
        {NODE_REPORT_FOOTER_TEXT, L"CONFIG\\DATASHEET\\REPORT_FOOTER_TEXT"},
        {NODE_MAX_GRID_ROW, L"CONFIG\\DATASHEET\\MAX_GRID_ROW"},
        {NODE_BUP_AUTO, L"CONFIG\\DB\\BUP_AUTO"},
        {NODE_BUP_PERIOD, L"CONFIG\\DB\\BUP_PERIOD"},
        {NODE_BUP_WORK_FILE, L"CONFIG\\DB\\BUP_WORK_FILE"},
        {NODE_BUP_LOCATION, L"CONFIG\\DB\\BUP_LOCATION"},
        {NODE_BACKUP_DATE_TIME, L"BACKUP\\DATE_TIME"},
        {NODE_USER_DB_LOCATION, L"USER\\DB\\LOCATION"},
        {NODE_DB_DATA_TYPES, L"SQLITE_DB_DATA_TYPES"},
        {NODE_CONFLICT_TYPES, L"SQLITE_CONFLICT_TYPES"},
        {NODE_COLLATE_TYPES, L"SQLITE_COLLATE_TYPES"},
        {NODE_SORTBY_TYPES, L"SQLITE_SORTBY_TYPES"},
        {NODE_FOREIGN_KEY_ACTION_TYPES, L"SQLITE_FOREIGN_KEY_ACTION_TYPES"},
        {NODE_MATCH_TYPES, L"SQLITE_MATCH_TYPES"},
        {NODE_DEFERRABLE_TYPES, L"SQLITE_DEFERRABLE_TYPES"},
        {NODE_INITIALLY_TYPES, L"SQLITE_INITIALLY_TYPES:"}, // the colon belongs to the name
        {NODE_ENCODE_TYPES, L"SQLITE_ENCODE_TYPES"},
        {NODE_PAGE_SIZES, L"SQLITE_PAGE_SIZES"},
        {NODE_PRAGMAS, L"SQLITE_PRAGMAS"},
    };
    std::set<std::wstring> distinct;
    for (const auto& [constant, expected] : names) {
        EXPECT_EQ(std::wstring(constant), expected);
        distinct.insert(constant);
    }
    EXPECT_EQ(distinct.size(), std::size(names));
}

TEST(GeneralTexts, MatchTheirUsersSpelling)
{
    EXPECT_EQ(std::wstring(STR_REGISTRY_KEY), L"Corvellan Software");
    EXPECT_EQ(std::wstring(STR_PRODUCT_NAME), L"Tabulon");
    EXPECT_EQ(std::wstring(STR_NO_BACKUP_TIME), L"1899-12-30 00:00:00.0000");
    EXPECT_EQ(std::wstring(STR_DEFAULT_FONT_FACE), L"Tahoma");
    EXPECT_EQ(std::wstring(STR_DEFAULT_FONT_SIZE), L"14");
    EXPECT_EQ(std::wstring(STR_RECENT_QUERY_PREFIX), L"RecentQuery.");
    EXPECT_EQ(SQL_TABLE_INFO, L"PRAGMA table_info([%s])");
    EXPECT_EQ(SQL_FOREIGN_KEY_LIST, L"PRAGMA FOREIGN_KEY_LIST([%s])");
}

// A code shared by two sites, or one of the five unassigned codes in use, makes a
// reported failure point at the wrong place.
TEST(LocationCodes, AreDistinctFiveDigitCodesOfTheAssignedRange)
{
    const wchar_t* const codes[] = {
        LOC_RECSET_SEARCH,     LOC_RECSET_RELATED_ROWS, LOC_LIST_INDEXES,     LOC_LIST_TABLES,
        LOC_LIST_VIEWS,        LOC_LIST_FOREIGN_KEYS,   LOC_DROP_TABLE,       LOC_DROP_INDEX,
        LOC_DROP_TRIGGER,      LOC_DROP_VIEW,           LOC_VACUUM,           LOC_CELL_CHECK,
        LOC_OPEN_CURRENT_DB,   LOC_WRITE_ROW,           LOC_INSERT_ROW,       LOC_SAVE_UNDO_ROW,
        LOC_SORT,              LOC_EXECUTE_SQL,         LOC_UNDO_ROW,         LOC_NEW_DB_PRAGMAS,
        LOC_CREATE_QUERY_VIEW, LOC_RECSET_MOVE,         LOC_RECSET_MOVE_TO,   LOC_LIST_TRIGGERS,
        LOC_RECSET_DELETE,     LOC_BLOB_FILE_OPEN,      LOC_COPY_STRUCTURE,   LOC_LOAD_CURRENT_ROW,
        LOC_BACKUP_FOLDER,     LOC_NODE_EXISTS,         LOC_VALUE_EXISTS,     LOC_CREATE_NODE,
        LOC_ADD_TEXT_VALUE,    LOC_NEXT_VALUE,          LOC_GET_TEXT_VALUE,   LOC_UPDATE_TEXT_VALUE,
        LOC_LAUNCH_COMPANION,  LOC_PAGE_CACHE_LOAD,
    };
    const std::set<std::wstring> unassigned = {L"00001", L"00015", L"00030", L"00033", L"00042"};
    std::set<std::wstring> seen;
    for (const wchar_t* code : codes) {
        const std::wstring text = code;
        ASSERT_EQ(text.size(), 5u) << testing_support::Utf8(text);
        EXPECT_EQ(text.find_first_not_of(L"0123456789"), std::wstring::npos);
        EXPECT_GE(text, L"00002");
        EXPECT_LE(text, L"00043");
        EXPECT_FALSE(unassigned.count(text)) << "unassigned code in use";
        EXPECT_TRUE(seen.insert(text).second) << "code used twice";
    }
    EXPECT_EQ(seen.size(), 43u - unassigned.size());
    const std::pair<const wchar_t*, const wchar_t*> store[] = {
        {LOC_NODE_EXISTS, L"00034"},    {LOC_VALUE_EXISTS, L"00035"},   {LOC_CREATE_NODE, L"00036"},
        {LOC_ADD_TEXT_VALUE, L"00037"}, {LOC_NEXT_VALUE, L"00038"},     {LOC_GET_TEXT_VALUE, L"00039"},
        {LOC_UPDATE_TEXT_VALUE, L"00040"},
    };
    for (const auto& [code, expected] : store)
        EXPECT_EQ(std::wstring(code), expected);
}

TEST(LocationFormat, PutsTheCodeOnASecondLineAfterABlank)
{
    EXPECT_EQ(std::wstring(STR_LOCATION_FORMAT), L"%s\n Location <%s>");
    EXPECT_EQ(FailureText(L"SQLITE_ERROR:<no such table: x>:<>", LOC_NODE_EXISTS),
              L"SQLITE_ERROR:<no such table: x>:<>\n Location <00034>");
    // A text holding a percent sign is shown as it is, never read as a format.
    EXPECT_EQ(FailureText(L"50% %s done", LOC_VACUUM), L"50% %s done\n Location <00012>");
}

} // namespace
