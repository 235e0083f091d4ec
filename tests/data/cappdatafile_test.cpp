#include "data/cappdatafile.h"
#include "data/constants.h"
#include "platform/utf16.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <functional>

#include <string>
#include <vector>

using testing_support::BoxRecorder;
using testing_support::ExecRaw;
using testing_support::QueryRaw;
using testing_support::TempFolder;
using testing_support::Utf8;

namespace {

const std::wstring kMissingText = L"Application data file <KVZDATA.KVZ> is missing.\nCan not continue.";

// A store on a fresh copy of the shipped file; every box is answered and recorded.
class AppDataFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_path = m_folder.CopyAppDataFile();
        ASSERT_TRUE(m_store.SetFile(m_path));
    }

    std::string Raw(const std::string& sql) const { return QueryRaw(m_path, sql); }

    std::vector<std::wstring> Enumerate(const std::wstring& name)
    {
        std::vector<std::wstring> values;
        std::wstring value;
        while (m_store.NextValue(name, value) && values.size() < 100)
            values.push_back(value);
        return values;
    }

    TempFolder m_folder;
    std::wstring m_path;
    CAppDataFile m_store;
    BoxRecorder m_boxes;
};

TEST(ShippedAppDataFile, HoldsBothTablesWithTheirColumnsAndNoRows)
{
    ASSERT_TRUE(QFile::exists(QStringLiteral(TABULON_APPDATA_FILE))) << "the build makes " << TABULON_APPDATA_FILE;
    const std::wstring path = platform::FromQString(QStringLiteral(TABULON_APPDATA_FILE));
    // Statements read "SELECT *" by position and compare NodeID under integer affinity.
    EXPECT_EQ(QueryRaw(path, "SELECT group_concat(name || ' ' || type || ' ' || pk, ',') FROM pragma_table_info('Node')"),
              "NodeID INTEGER 1,NodeName TEXT 0,NodeType INTEGER 0");
    EXPECT_EQ(QueryRaw(path, "SELECT group_concat(name || ' ' || type || ' ' || pk, ',') FROM "
                             "pragma_table_info('NodeValue')"),
              "ValueID INTEGER 1,NodeID INTEGER 0,TextVal TEXT 0,BlobVal BLOB 0");
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM sqlite_master WHERE type = 'table'"), "2");
    EXPECT_EQ(QueryRaw(path, "SELECT (SELECT count(*) FROM Node) + (SELECT count(*) FROM NodeValue)"), "0");
}

TEST(AppDataFileSetFile, ReportsAMissingFileWithOneBoxAndKeepsThePath)
{
    TempFolder folder;
    BoxRecorder boxes;
    CAppDataFile store;
    const std::wstring missing = folder.Path(L"Data/KVZDATA.KVZ");
    EXPECT_FALSE(store.SetFile(missing));
    EXPECT_EQ(store.m_strFilePath, missing);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, kMissingText);
    EXPECT_EQ(boxes.Last().caption, L"Error");
    EXPECT_EQ(boxes.Last().style, platform::MB_OK | platform::MB_ICONERROR);
    EXPECT_FALSE(QFile::exists(platform::ToQString(missing))) << "the store never creates its file";

    // A folder of that name is no data file either.
    boxes.Clear();
    EXPECT_FALSE(store.SetFile(folder.Path(L"")));
    EXPECT_EQ(boxes.Count(), 1u);

    // An empty path fails silently.
    boxes.Clear();
    EXPECT_FALSE(store.SetFile(L""));
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(store.m_strFilePath, L"");
}

TEST_F(AppDataFileTest, MissingNodeFailsEveryOperationQuietly)
{
    const std::wstring name = L"NO\\SUCH\\NODE";
    EXPECT_FALSE(m_store.NodeExists(name));
    EXPECT_FALSE(m_store.ValueExists(name, L"x"));
    EXPECT_FALSE(m_store.AddTextValue(name, L"x"));
    std::wstring out = L"untouched";
    EXPECT_FALSE(m_store.GetTextValue(name, out));
    EXPECT_EQ(out, L"untouched");
    EXPECT_FALSE(m_store.UpdateTextValue(name, L"x"));
    EXPECT_FALSE(m_store.NextValue(name, out));
    EXPECT_EQ(out, L"untouched");
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(Raw("SELECT (SELECT count(*) FROM Node) + (SELECT count(*) FROM NodeValue)"), "0");

    // The failed enumeration armed the next start: another name starts afresh.
    ASSERT_TRUE(m_store.CreateNode(L"LIST", NODE_TYPE_TEXT));
    ASSERT_TRUE(m_store.AddTextValue(L"LIST", L"first"));
    EXPECT_EQ(Enumerate(L"LIST"), std::vector<std::wstring>{L"first"});
}

TEST_F(AppDataFileTest, NodeNamesAreComparedExactly)
{
    ASSERT_TRUE(m_store.CreateNode(NODE_USER_DB_LOCATION, NODE_TYPE_TEXT));
    EXPECT_TRUE(m_store.NodeExists(L"USER\\DB\\LOCATION"));
    EXPECT_FALSE(m_store.NodeExists(L"user\\db\\location"));
    EXPECT_FALSE(m_store.NodeExists(L"USER\\DB\\LOCATION "));
    EXPECT_FALSE(m_store.NodeExists(L"USER\\DB\\%"));
}

TEST_F(AppDataFileTest, CreateNodeOfAnExistingNameChangesNothing)
{
    ASSERT_TRUE(m_store.CreateNode(L"CONFIG\\DB\\BUP_PERIOD", NODE_TYPE_NUMBER));
    EXPECT_FALSE(m_store.CreateNode(L"CONFIG\\DB\\BUP_PERIOD", NODE_TYPE_NUMBER));
    EXPECT_FALSE(m_store.CreateNode(L"CONFIG\\DB\\BUP_PERIOD", NODE_TYPE_TEXT));
    EXPECT_EQ(Raw("SELECT count(*) || ':' || NodeType FROM Node"), "1:1");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(AppDataFileTest, SingleQuotesAreStoredAsBackquotesAndNeverTwice)
{
    ASSERT_TRUE(m_store.CreateNode(NODE_REPORT_HEADER_TEXT, NODE_TYPE_TEXT));
    EXPECT_TRUE(m_store.AddTextValue(NODE_REPORT_HEADER_TEXT, L"Anne's 'report'"));
    EXPECT_EQ(Raw("SELECT group_concat(TextVal, '|') FROM NodeValue"), "Anne`s `report`");
    // The same text again, or its stored form, adds nothing.
    EXPECT_FALSE(m_store.AddTextValue(NODE_REPORT_HEADER_TEXT, L"Anne's 'report'"));
    EXPECT_FALSE(m_store.AddTextValue(NODE_REPORT_HEADER_TEXT, L"Anne`s `report`"));
    EXPECT_FALSE(m_store.AddTextValue(NODE_REPORT_HEADER_TEXT, L"Anne`s 'report`"));
    EXPECT_EQ(Raw("SELECT count(*) FROM NodeValue"), "1");
    EXPECT_TRUE(m_store.ValueExists(NODE_REPORT_HEADER_TEXT, L"Anne`s `report`"));
    // ValueExists compares the text as given.
    EXPECT_FALSE(m_store.ValueExists(NODE_REPORT_HEADER_TEXT, L"Anne's 'report'"));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Saved queries are stored exactly; the values stored with backquotes for their single
// quotes still read with their quotes, and a text is not stored twice in either form.
TEST_F(AppDataFileTest, ExactTextsAreStoredAsGivenBesideTheOnesWithBackquotes)
{
    const std::wstring node = L"RecentQuery.shop";
    ASSERT_TRUE(m_store.CreateNode(node, NODE_TYPE_TEXT));
    ASSERT_TRUE(m_store.AddTextValue(node, L"SELECT 'old'"));
    struct Case {
        const wchar_t* text;
        bool added;
    };
    const Case cases[] = {
        {L"SELECT `name` FROM t", true},
        {L"SELECT 'it''s', \"q\" FROM t WHERE `name` <> 'a`b' -- 😀", true},
        {L"SELECT 'old'", false},  // reads as the value stored with backquotes
        {L"SELECT `old`", true},   // which does not read as this one
        {L"SELECT `name` FROM t", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m_store.AddExactTextValue(node, c.text), c.added) << Utf8(c.text);
    EXPECT_EQ(m_store.ReadExactTextValues(node),
              (std::vector<std::wstring>{L"SELECT 'old'", L"SELECT `name` FROM t",
                                         L"SELECT 'it''s', \"q\" FROM t WHERE `name` <> 'a`b' -- 😀", L"SELECT `old`"}));
    EXPECT_EQ(Raw("SELECT group_concat(quote(BlobVal) || ' ' || TextVal, '|') FROM NodeValue"),
              "NULL SELECT `old`|1 SELECT `name` FROM t|1 SELECT 'it''s', \"q\" FROM t WHERE `name` <> 'a`b' -- 😀|"
              "1 SELECT `old`");
    // A missing node takes nothing and has nothing.
    EXPECT_FALSE(m_store.AddExactTextValue(L"RecentQuery.none", L"SELECT 1"));
    EXPECT_TRUE(m_store.ReadExactTextValues(L"RecentQuery.none").empty());
    EXPECT_EQ(Raw("SELECT count(*) FROM NodeValue"), "4");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Names built from file names and texts users type hold quotes, brackets, SQL and
// letters beyond ASCII; each must work as typed and touch only its own literal.
TEST_F(AppDataFileTest, NamesAndTextsWithQuotesAndNonAsciiLettersWorkAsTyped)
{
    const std::wstring names[] = {
        L"RecentQuery.bob's",
        L"RecentQuery.Grüße 表 😀",
        L"x' OR '1'='1",
        L"a\"b]c[d",
        L"'; DROP TABLE Node; --",
    };
    const std::wstring text = L"Anne's \"Größe\" report 😀 '; DELETE FROM NodeValue; --";
    for (const std::wstring& name : names) {
        SCOPED_TRACE(Utf8(name));
        EXPECT_FALSE(m_store.NodeExists(name));
        ASSERT_TRUE(m_store.CreateNode(name, NODE_TYPE_TEXT));
        EXPECT_TRUE(m_store.NodeExists(name));
        EXPECT_TRUE(m_store.AddTextValue(name, L"first 'one'"));
        EXPECT_TRUE(m_store.AddTextValue(name, L"zweite Größe"));
        EXPECT_EQ(Enumerate(name), (std::vector<std::wstring>{L"first `one`", L"zweite Größe"}));
        EXPECT_TRUE(m_store.UpdateTextValue(name, text));
        std::wstring out;
        ASSERT_TRUE(m_store.GetTextValue(name, out));
        EXPECT_EQ(out, text) << "an updated text is stored unchanged";
        EXPECT_TRUE(m_store.ValueExists(name, text));
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(Raw("SELECT count(*) FROM Node"), std::to_string(std::size(names)));
    EXPECT_EQ(Raw("SELECT count(*) FROM NodeValue"), std::to_string(2 * std::size(names)));
    EXPECT_EQ(Raw("SELECT NodeName FROM Node WHERE NodeID = 1"), "RecentQuery.bob's");
}

TEST_F(AppDataFileTest, ListEnumeratesInOrderAndRestarts)
{
    ASSERT_TRUE(m_store.CreateNode(NODE_SORTBY_TYPES, NODE_TYPE_TEXT));
    ASSERT_TRUE(m_store.CreateNode(NODE_MATCH_TYPES, NODE_TYPE_TEXT));
    // Interleaved inserts, so values of the two lists alternate in the table.
    for (const wchar_t* value : {L"zeta", L" ", L"ASC"}) {
        ASSERT_TRUE(m_store.AddTextValue(NODE_SORTBY_TYPES, value));
        ASSERT_TRUE(m_store.AddTextValue(NODE_MATCH_TYPES, std::wstring(L"m-") + value));
    }
    std::wstring out;
    ASSERT_TRUE(m_store.NextValue(NODE_SORTBY_TYPES, out));
    EXPECT_EQ(out, L"zeta");
    ASSERT_TRUE(m_store.NextValue(NODE_SORTBY_TYPES, out));
    EXPECT_EQ(out, L" ");
    ASSERT_TRUE(m_store.NextValue(NODE_SORTBY_TYPES, out));
    EXPECT_EQ(out, L"ASC");
    out = L"after";
    EXPECT_FALSE(m_store.NextValue(NODE_SORTBY_TYPES, out));
    EXPECT_EQ(out, L"after");
    // The fifth call starts again, the same list or another.
    ASSERT_TRUE(m_store.NextValue(NODE_SORTBY_TYPES, out));
    EXPECT_EQ(out, L"zeta");
    while (m_store.NextValue(NODE_SORTBY_TYPES, out)) {
    }
    EXPECT_EQ(Enumerate(NODE_MATCH_TYPES), (std::vector<std::wstring>{L"m-zeta", L"m- ", L"m-ASC"}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(AppDataFileTest, EnumerationOfAnotherListOrFileStartsAfresh)
{
    ASSERT_TRUE(m_store.CreateNode(NODE_SORTBY_TYPES, NODE_TYPE_TEXT));
    ASSERT_TRUE(m_store.CreateNode(NODE_MATCH_TYPES, NODE_TYPE_TEXT));
    for (const wchar_t* value : {L"ASC", L"DESC"})
        ASSERT_TRUE(m_store.AddTextValue(NODE_SORTBY_TYPES, value));
    for (const wchar_t* value : {L"FULL", L"PARTIAL", L"SIMPLE"})
        ASSERT_TRUE(m_store.AddTextValue(NODE_MATCH_TYPES, value));
    // A caller that stops after the first value leaves the enumeration unfinished.
    std::wstring out;
    ASSERT_TRUE(m_store.NextValue(NODE_SORTBY_TYPES, out));
    EXPECT_EQ(out, L"ASC");
    EXPECT_EQ(Enumerate(NODE_MATCH_TYPES), (std::vector<std::wstring>{L"FULL", L"PARTIAL", L"SIMPLE"}));

    // The same node name in another store is another list.
    TempFolder otherFolder;
    CAppDataFile other;
    ASSERT_TRUE(other.SetFile(otherFolder.CopyAppDataFile()));
    ASSERT_TRUE(other.CreateNode(NODE_SORTBY_TYPES, NODE_TYPE_TEXT));
    ASSERT_TRUE(other.AddTextValue(NODE_SORTBY_TYPES, L"other"));
    ASSERT_TRUE(m_store.NextValue(NODE_SORTBY_TYPES, out));
    EXPECT_EQ(out, L"ASC");
    ASSERT_TRUE(other.NextValue(NODE_SORTBY_TYPES, out));
    EXPECT_EQ(out, L"other");
    EXPECT_FALSE(other.NextValue(NODE_SORTBY_TYPES, out));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(AppDataFileTest, NumberNodeEnumeratesNothingButGivesItsValue)
{
    ASSERT_TRUE(m_store.CreateNode(NODE_MAX_GRID_ROW, NODE_TYPE_NUMBER));
    ASSERT_TRUE(m_store.AddTextValue(NODE_MAX_GRID_ROW, L"100000"));
    EXPECT_EQ(Enumerate(NODE_MAX_GRID_ROW), std::vector<std::wstring>{});
    std::wstring out;
    ASSERT_TRUE(m_store.GetTextValue(NODE_MAX_GRID_ROW, out));
    EXPECT_EQ(out, L"100000");
    // A node without values, and a value that is SQL NULL.
    ASSERT_TRUE(m_store.CreateNode(L"EMPTY", NODE_TYPE_TEXT));
    out = L"untouched";
    EXPECT_FALSE(m_store.GetTextValue(L"EMPTY", out));
    EXPECT_EQ(out, L"untouched");
    EXPECT_EQ(Enumerate(L"EMPTY"), std::vector<std::wstring>{});
    ExecRaw(m_path, "INSERT INTO NodeValue (NodeID, TextVal) SELECT NodeID, NULL FROM Node WHERE NodeName = 'EMPTY'");
    ASSERT_TRUE(m_store.GetTextValue(L"EMPTY", out));
    EXPECT_EQ(out, L"");
    EXPECT_EQ(Enumerate(L"EMPTY"), std::vector<std::wstring>{L""});
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(AppDataFileTest, UpdateTextValueSetsEveryValueOfTheNodeOnly)
{
    ASSERT_TRUE(m_store.CreateNode(L"TWO", NODE_TYPE_TEXT));
    ASSERT_TRUE(m_store.CreateNode(L"OTHER", NODE_TYPE_TEXT));
    ASSERT_TRUE(m_store.AddTextValue(L"TWO", L"a"));
    ASSERT_TRUE(m_store.AddTextValue(L"OTHER", L"keep"));
    ASSERT_TRUE(m_store.AddTextValue(L"TWO", L"b"));
    EXPECT_TRUE(m_store.UpdateTextValue(L"TWO", L"c"));
    EXPECT_EQ(Enumerate(L"TWO"), (std::vector<std::wstring>{L"c", L"c"}));
    EXPECT_EQ(Enumerate(L"OTHER"), std::vector<std::wstring>{L"keep"});
    // A node without values stays without, and the update still counts as done.
    ASSERT_TRUE(m_store.CreateNode(L"NONE", NODE_TYPE_TEXT));
    EXPECT_TRUE(m_store.UpdateTextValue(L"NONE", L"x"));
    EXPECT_EQ(Raw("SELECT count(*) FROM NodeValue"), "3");
}

// Node ids are row ids: one beyond 32 bits must still find its own values.
TEST_F(AppDataFileTest, NodeIdsBeyond32BitsFindTheirValues)
{
    ExecRaw(m_path, "INSERT INTO Node VALUES (4294967297, 'BIG', 3);"
                    "INSERT INTO Node VALUES (1, 'SMALL', 3);"
                    "INSERT INTO NodeValue (NodeID, TextVal) VALUES (1, 'small value');");
    ASSERT_TRUE(m_store.AddTextValue(L"BIG", L"big value"));
    EXPECT_EQ(Raw("SELECT NodeID FROM NodeValue WHERE TextVal = 'big value'"), "4294967297");
    std::wstring out;
    ASSERT_TRUE(m_store.GetTextValue(L"BIG", out));
    EXPECT_EQ(out, L"big value");
    EXPECT_EQ(Enumerate(L"BIG"), std::vector<std::wstring>{L"big value"});
    EXPECT_TRUE(m_store.UpdateTextValue(L"BIG", L"new"));
    EXPECT_EQ(Raw("SELECT TextVal FROM NodeValue WHERE NodeID = 1"), "small value");
}

TEST_F(AppDataFileTest, NodeOfAnUnknownTypeIsNotYetSupported)
{
    ExecRaw(m_path, "INSERT INTO Node VALUES (NULL, 'ODD', 2)");
    EXPECT_FALSE(m_store.AddTextValue(L"ODD", L"x"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Not yet supported");
    EXPECT_EQ(m_boxes.Last().caption, L"Tabulon");
    EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONWARNING);
    EXPECT_EQ(Raw("SELECT count(*) FROM NodeValue"), "0");
    EXPECT_TRUE(m_store.ValueExists(L"ODD", L"anything"));
    EXPECT_EQ(m_boxes.Count(), 2u);
}

// A file without the tables: each operation shows the engine's failure with its own
// location code and gives false; the checks made inside CreateNode and AddTextValue
// show theirs first.
TEST(AppDataFileFailures, EachOperationShowsItsOwnLocationCode)
{
    TempFolder folder;
    const std::wstring path = folder.MakeDatabase(L"bare.kvz", "CREATE TABLE Other (x);");
    CAppDataFile store;
    ASSERT_TRUE(store.SetFile(path));
    BoxRecorder boxes;
    std::wstring out = L"untouched";
    struct Case {
        const char* operation;
        std::function<bool()> run;
        std::vector<std::wstring> codes;
    };
    const Case cases[] = {
        {"NodeExists", [&] { return store.NodeExists(L"N"); }, {L"00034"}},
        {"ValueExists", [&] { return store.ValueExists(L"N", L"v"); }, {L"00035"}},
        {"CreateNode", [&] { return store.CreateNode(L"N", NODE_TYPE_TEXT); }, {L"00034", L"00036"}},
        {"AddTextValue", [&] { return store.AddTextValue(L"N", L"v"); }, {L"00035", L"00037"}},
        {"AddExactTextValue", [&] { return store.AddExactTextValue(L"N", L"v"); }, {L"00037"}},
        {"ReadExactTextValues", [&] { return !store.ReadExactTextValues(L"N").empty(); }, {L"00038"}},
        {"NextValue", [&] { return store.NextValue(L"N", out); }, {L"00038"}},
        {"GetTextValue", [&] { return store.GetTextValue(L"N", out); }, {L"00039"}},
        {"UpdateTextValue", [&] { return store.UpdateTextValue(L"N", L"v"); }, {L"00040"}},
        // The failed start armed the next one: the enumerator starts (and fails) again.
        {"NextValue again", [&] { return store.NextValue(L"N", out); }, {L"00038"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        boxes.Clear();
        EXPECT_FALSE(c.run());
        const auto shown = boxes.Boxes();
        ASSERT_EQ(shown.size(), c.codes.size());
        for (size_t i = 0; i < shown.size(); ++i) {
            const std::wstring& text = shown[i].text;
            EXPECT_EQ(shown[i].caption, L"Error");
            EXPECT_EQ(shown[i].style, platform::MB_OK | platform::MB_ICONERROR);
            const size_t lineEnd = text.find(L'\n');
            ASSERT_NE(lineEnd, std::wstring::npos) << Utf8(text);
            // The first line is the exception's display text.
            EXPECT_EQ(text.rfind(L"SQLITE_ERROR:<no such table: Node>:<", 0), 0u) << Utf8(text);
            EXPECT_EQ(text.substr(lineEnd), L"\n Location <" + c.codes[i] + L">");
        }
    }
    EXPECT_EQ(out, L"untouched");
    EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM sqlite_master"), "1");
}

// The store never creates its file: one that vanished while the program runs stays gone.
TEST_F(AppDataFileTest, FileRemovedAfterStartIsReportedNotRecreated)
{
    ASSERT_TRUE(QFile::remove(platform::ToQString(m_path)));
    EXPECT_FALSE(m_store.NodeExists(L"N"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text.substr(m_boxes.Last().text.find(L'\n')), L"\n Location <00034>");
    std::wstring out;
    EXPECT_FALSE(m_store.NextValue(L"N", out));
    EXPECT_EQ(m_boxes.Count(), 2u);
    EXPECT_FALSE(QFile::exists(platform::ToQString(m_path)));
}

} // namespace
