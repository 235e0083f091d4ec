#include "data/constants.h"
#include "data/failure.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The console's PRAGMA list, every line by value: a slip in any of them changes what users
// are offered and what the stored list holds (the first run adds them one by one).
TEST(PragmaTemplates, KeepTheirOrderAndOddSpellings)
{
    const std::vector<std::wstring> lines = {
        L"application_id;",
        L"application_id = integer;",
        L"auto_vacuum;",
        L"auto_vacuum = 0 | NONE | 1 | FULL | 2 | INCREMENTAL;",
        L"automatic_index;",
        L"automatic_index = boolean;",
        L"busy_timeout;",
        L"busy_timeout = milliseconds;",
        L"cache_size;",
        L"cache_size = pages;",
        L"cache_size = -kibibytes;",
        L"cache_spill;",
        L"cache_spill = boolean;",
        L"case_sensitive_like = boolean;",
        L"checkpoint_fullfsync", // no semicolon
        L"checkpoint_fullfsync = boolean;",
        L"collation_list;",
        L"compile_options;",
        L"count_changes;",
        L"count_changes = boolean;",
        L"data_store_directory;",
        L"data_store_directory = ''directory-name'';", // two single quotes on each side
        L"database_list;",
        L"default_cache_size;",
        L"default_cache_size = Number-of-pages;",
        L"defer_foreign_keys;",
        L"defer_foreign_keys;", // the same text again
        L"empty_result_callbacks;",
        L"empty_result_callbacks = boolean;",
        L"encoding;",
        L"encoding = \"UTF-8\";",
        L"encoding = \"UTF-16\";",
        L"encoding = \"UTF-16le\";",
        L"encoding = \"UTF-16be\";",
        L"foreign_key_check;",
        L"foreign_key_check(table-name);",
        L"foreign_key_list(table-name);",
        L"foreign_keys;",
        L"foreign_keys = boolean;",
        L"freelist_count;",
        L"full_column_names;",
        L"full_column_names = boolean;",
        L"fullfsync;",
        L"fullfsync = boolean;",
        L"ignore_check_constraints = boolean;",
        L"incremental_vacuum(N);",
        L"index_info(index-name);",
        L"index_list(table-name);",
        L"integrity_check;",
        L"PRAGMA integrity_check(integer);", // the only line that begins with the keyword
        L"journal_mode;",
        L"journal_mode = DELETE | TRUNCATE | PERSIST | MEMORY | WAL | OFF;",
        L"journal_size_limit;",
        L"journal_size_limit = N;",
        L"legacy_file_format;",
        L"legacy_file_format = boolean;",
        L"locking_mode;",
        L"locking_mode = NORMAL | EXCLUSIVE;",
        L"max_page_count;",
        L"max_page_count = N;",
        L"mmap_size;",
        L"mmap_size = N;",
        L"page_count;",
        L"page_size = bytes;", // no line of the list reads the page size without setting it
        L"query_only;",
        L"query_only = boolean;",
        L"quick_check;",
        L"quick_check(integer);",
        L"read_uncommitted;",
        L"read_uncommitted = boolean;",
        L"recursive_triggers;",
        L"recursive_triggers = boolean;",
        L"reverse_unordered_selects;",
        L"reverse_unordered_selects = boolean;",
        L"schema_version;",
        L"schema_version = integer;",
        L"user_version;",
        L"user_version = integer;",
        L"secure_delete;",
        L"secure_delete = boolean;",
        L"short_column_names;",
        L"short_column_names = boolean;",
        L"shrink_memory;",
        L"synchronous;",
        L"synchronous = 0 | OFF | 1 | NORMAL | 2 | FULL;",
        L"table_info(table-name);",
        L"temp_store;",
        L"temp_store = 0 | DEFAULT | 1 | FILE | 2 | MEMORY;",
        L"temp_store_directory;",
        L"temp_store_directory = ''directory-name'';", // two single quotes on each side
        L"vdbe_addoptrace = boolean;",
        L"vdbe_listing = boolean;",
        L"vdbe_trace = boolean;",
        L"wal_autocheckpoint;",
        L"wal_autocheckpoint = N;",
        L"wal_checkpoint;",
        L"wal_checkpoint(PASSIVE or FULL or RESTART;", // no closing parenthesis
        L"writable_schema = boolean;",
    };
    ASSERT_EQ(g_arrPragmaTemplates.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(std::wstring(g_arrPragmaTemplates[i]), lines[i]) << "line " << i + 1;
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

// Every LOC_ constant of the header, listed by the build from the header itself.
struct LocationCode {
    const wchar_t* name;
    const wchar_t* code;
};
const LocationCode kLocationCodes[] = {
#include "locationcodes.inc"
};

// A code shared by two sites, or one of the five codes that belong to no site in use,
// makes a reported failure point at the wrong place.
TEST(LocationCodes, AreDistinctFiveDigitCodesOfTheAssignedRange)
{
    const std::set<std::wstring> unassigned = {L"00001", L"00015", L"00030", L"00033", L"00042"};
    std::set<std::wstring> seen;
    for (const LocationCode& location : kLocationCodes) {
        const std::wstring text = location.code;
        SCOPED_TRACE(testing_support::Utf8(location.name));
        ASSERT_EQ(text.size(), 5u) << testing_support::Utf8(text);
        EXPECT_EQ(text.find_first_not_of(L"0123456789"), std::wstring::npos);
        EXPECT_GE(text, L"00002");
        EXPECT_LE(text, L"00043");
        EXPECT_FALSE(unassigned.count(text)) << "code of no site in use: " << testing_support::Utf8(text);
        EXPECT_TRUE(seen.insert(text).second) << "code used twice: " << testing_support::Utf8(text);
    }
    // Each of the other 38 codes has its site.
    EXPECT_EQ(seen.size(), 43u - unassigned.size());
    const std::pair<const wchar_t*, const wchar_t*> store[] = {
        {LOC_NODE_EXISTS, L"00034"},    {LOC_VALUE_EXISTS, L"00035"},   {LOC_CREATE_NODE, L"00036"},
        {LOC_ADD_TEXT_VALUE, L"00037"}, {LOC_NEXT_VALUE, L"00038"},     {LOC_GET_TEXT_VALUE, L"00039"},
        {LOC_UPDATE_TEXT_VALUE, L"00040"}, {LOC_BLOB_TRANSFER, L"00028"},
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
