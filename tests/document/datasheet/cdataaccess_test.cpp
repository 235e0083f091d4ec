// The datasheet model over a real table, view and query: reading, editing, undo,
// insert, sort, search, related rows, and the bridge's item count and edit state.
#include "document/datasheet/cdataaccess.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "data/settings.h"
#include "document/strip/cacaptionbar.h"
#include "document/strip/ccaptiondlg.h"
#include "document/datasheet/cdatainterface.h"
#include "document/session/currentdatabase.h"
#include "document/datasheet/datasheetlines.h"
#include "platform/waitcursor.h"
#include "platform/widgets/presenters.h"
#include "databasefixture.h"
#include "testsupport.h"
#include "heartbeat.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QWidget>
#include <QTest>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

using testing_support::CaptionRecorder;
using testing_support::ExecRaw;
using testing_support::QueryRaw;

namespace {

// Rows by rowid 1 to 5; an unsorted datasheet shows row r as id r + 1. The values
// test exactness: a REAL that prints as 0.3 only when rounded, BLOBs, an empty text
// beside NULL, and a column without a declared type holding an integer, a BLOB, a
// text and a real.
const char* const kFixture =
    "CREATE TABLE items(id INTEGER PRIMARY KEY, name TEXT, price REAL, photo BLOB,"
    "  qty INTEGER DEFAULT 7, note TEXT DEFAULT 'none', extra);"
    "INSERT INTO items VALUES(1, 'apple', 0.30000000000000004, x'00FF10', 3, '', 12);"
    "INSERT INTO items VALUES(2, 'pear', 2.5, NULL, 4, NULL, x'CAFE');"
    "INSERT INTO items VALUES(3, 'Apricot', 1.0, x'01', 5, 'x', 'txt');"
    "INSERT INTO items VALUES(4, 'o''neil', 3.0, NULL, 6, NULL, NULL);"
    "INSERT INTO items VALUES(5, 'banana', 0.5, x'02', 8, 'b', 2.5);"
    "CREATE VIEW cheap AS SELECT name, price FROM items WHERE price < 1 ORDER BY name;"
    "CREATE TABLE parent(code TEXT PRIMARY KEY, title);"
    "INSERT INTO parent VALUES('A', 'first'), ('B', 'second');"
    "CREATE TABLE child(id INTEGER PRIMARY KEY, pcode REFERENCES parent, label);"
    "INSERT INTO child VALUES(1, 'A', 'one'), (2, 'B', 'two'), (3, 'A', 'three');";

enum Column { ID, NAME, PRICE, PHOTO, QTY, NOTE, EXTRA };

// The lines as the bridge tells them: every line count it gives is recorded.
class RecordingLines : public DatasheetLines {
public:
    void UpdateLineCount(int count) override { counts.push_back(count); }
    int Last() const { return counts.empty() ? -1 : counts.back(); }
    std::vector<int> counts;
};

class DataAccess : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        ResetDatabaseGlobals();
        ASSERT_NO_FATAL_FAILURE(OpenDatabase(L"shop.db", kFixture));
        m_bridge.m_pLines = &m_shownLines;
    }
    void TearDown() override
    {
        m_model.reset();
        DatabaseFixture::TearDown();
    }

    // A model wired to the bridge as the document and view wire it, opened and fully loaded.
    CDataAccess& OpenModel(const std::wstring& source, int mode = RECSET_MODE_TABLE)
    {
        m_model = std::make_unique<CDataAccess>();
        m_model->m_pDataInterface = &m_bridge;
        m_bridge.m_pDataAccess = m_model.get();
        EXPECT_TRUE(m_model->Open(source, mode));
        m_model->InitRowBuffers();
        WaitLoaded();
        return *m_model;
    }

    void WaitLoaded()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] {
            return m_model->IsLoadEnded() && m_shownLines.Last() == m_model->GetRecordCount() + 1;
        }, 10000));
    }

    // Every row of items, ordered by id, with each value's exact type and bytes.
    std::string Items() const
    {
        return QueryRaw(m_path, "SELECT group_concat(v, ' | ') FROM (SELECT id || ':' || quote(name) || ':' ||"
                                " typeof(price) || printf('%!.17g', price) || ':' || quote(photo) || ':' ||"
                                " quote(qty) || ':' || quote(note) || ':' || typeof(extra) || quote(extra) AS v"
                                " FROM items ORDER BY id)");
    }

    std::wstring Text(int row, int column) { return m_model->GetCellText(row, column); }

    int Changes() const { return sqlite3_total_changes(g_pCurrentDb->m_pDb); }

    CaptionRecorder m_lines;
    RecordingLines m_shownLines;
    CDataInterface m_bridge;
    std::unique_ptr<CDataAccess> m_model;
};

const std::string kItems =
    "1:'apple':real0.30000000000000004:X'00FF10':3:'':integer12 | "
    "2:'pear':real2.5:NULL:4:NULL:blobX'CAFE' | "
    "3:'Apricot':real1.0:X'01':5:'x':text'txt' | "
    "4:'o''neil':real3.0:NULL:6:NULL:nullNULL | "
    "5:'banana':real0.5:X'02':8:'b':real2.5";

TEST_F(DataAccess, FixtureIsAsWritten) { EXPECT_EQ(Items(), kItems); }

// Reading: cells by row, NULL and BLOB as empty text, the new-row line after loading,
// and every index out of range answered with an empty text.
TEST_F(DataAccess, CellTextsAndTheNewRowLine)
{
    CDataAccess& model = OpenModel(L"items");
    EXPECT_EQ(model.GetRecordCount(), 5);
    EXPECT_EQ(model.GetItemCount(), 6);
    EXPECT_EQ(Text(0, NAME), L"apple");
    EXPECT_EQ(Text(0, PHOTO), L"");
    EXPECT_EQ(Text(1, NOTE), L"");
    EXPECT_EQ(Text(3, NAME), L"o'neil");
    EXPECT_EQ(Text(4, QTY), L"8");
    EXPECT_EQ(Text(2, NAME), L"Apricot");
    EXPECT_EQ(Text(5, NAME), L""); // the new-row line, empty
    for (auto [row, column] : {std::pair{-1, 0}, {6, 0}, {0, -1}, {0, 7}, {100, 100}})
        EXPECT_EQ(Text(row, column), L"") << row << "," << column;
    EXPECT_EQ(model.GetColumnName(EXTRA), L"extra");
    EXPECT_EQ(model.GetColumnName(7), L"");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A key column declared INTEGER takes digits only; everything else passes.
TEST_F(DataAccess, NonNumericKeyIsRefused)
{
    CDataAccess& model = OpenModel(L"items");
    const int before = Changes();
    for (const wchar_t* text : {L"12a", L"-5", L" 5", L"+5", L"5 ", L"99999999999999999999"}) {
        m_boxes.Clear();
        EXPECT_EQ(model.SetCellValue(1, ID, text, false), CELL_REFUSED) << testing_support::Utf8(text);
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_EQ(m_boxes.Last().text,
                  L"None numeric inputs are not allowed for Integer primary key.\n Location <00013>");
        EXPECT_EQ(m_boxes.Last().caption, L"Error");
    }
    int isKey = -1;
    EXPECT_TRUE(model.ValidateCell(ID, L"", isKey));
    EXPECT_EQ(isKey, 0);
    EXPECT_TRUE(model.ValidateCell(QTY, L"12a", isKey)); // not a key: the engine stores the text
    EXPECT_EQ(Changes(), before);
    EXPECT_EQ(Items(), kItems);
}

// Retyping a cell's own text writes nothing and starts no row edit.
TEST_F(DataAccess, UnchangedRetypeWritesNothing)
{
    auto bar = std::make_unique<CACaptionBar>();
    m_mainFrame.m_pCaptionBar = bar.get();
    CDataAccess& model = OpenModel(L"items");
    const int before = Changes();
    EXPECT_EQ(model.SetCellValue(0, NAME, L"apple", false), CELL_UNCHANGED);
    EXPECT_EQ(model.SetCellValue(0, NOTE, L"", false), CELL_UNCHANGED);
    EXPECT_EQ(model.SetCellValue(1, NOTE, L"", false), CELL_UNCHANGED); // NULL shows as empty text
    EXPECT_EQ(Changes(), before);
    EXPECT_EQ(model.m_nEditRow, -1);
    EXPECT_FALSE(bar->GetCaptionDlg()->GetControl(CCaptionDlg::UndoRow)->isEnabled());
}

// An edit writes only the cell the user changed: every other value keeps its type and
// bytes (REAL, BLOB in typed and untyped columns, empty text beside NULL), and undo
// writes the exact originals back.
TEST_F(DataAccess, EditAndUndoKeepEveryOtherValueExact)
{
    CDataAccess& model = OpenModel(L"items");
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(model.SetCellValue(row, QTY, L"99", false), CELL_STORED) << row;
        EXPECT_EQ(model.UndoRowEdit(), row);
    }
    EXPECT_EQ(Items(), kItems);

    EXPECT_EQ(model.SetCellValue(0, NAME, L"APPLE", false), CELL_STORED);
    EXPECT_EQ(model.SetCellValue(1, NAME, L"Pear", false), CELL_STORED);
    std::string expected = kItems;
    expected.replace(expected.find("'apple'"), 7, "'APPLE'");
    expected.replace(expected.find("'pear'"), 6, "'Pear'");
    EXPECT_EQ(Items(), expected);
    EXPECT_EQ(Text(0, NAME), L"APPLE");
    EXPECT_EQ(model.SetCellValue(2, PHOTO, L"text", false), CELL_REFUSED); // no text into a BLOB column
    EXPECT_EQ(Items(), expected);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Undo restores every cell of the row under edit from before its first change; a
// change of another row moves the undo to that row.
TEST_F(DataAccess, UndoRestoresTheRowUnderEdit)
{
    auto bar = std::make_unique<CACaptionBar>();
    m_mainFrame.m_pCaptionBar = bar.get();
    QWidget* undo = bar->GetCaptionDlg()->GetControl(CCaptionDlg::UndoRow);
    CDataAccess& model = OpenModel(L"items");
    EXPECT_EQ(model.UndoRowEdit(), -1);

    EXPECT_EQ(model.SetCellValue(3, NAME, L"first", false), CELL_STORED);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(model.SetCellValue(3, NOTE, L"second", false), CELL_STORED);
    EXPECT_EQ(model.SetCellValue(3, PRICE, L"", false), CELL_STORED); // an emptied cell is NULL
    EXPECT_EQ(QueryRaw(m_path, "SELECT name || note || quote(price) FROM items WHERE id = 4"), "firstsecondNULL");
    EXPECT_EQ(model.UndoRowEdit(), 3);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(model.m_nEditRow, -1);
    EXPECT_EQ(Items(), kItems);
    EXPECT_EQ(Text(3, NAME), L"o'neil");
    EXPECT_EQ(model.UndoRowEdit(), -1);

    EXPECT_EQ(model.SetCellValue(0, NAME, L"row one", false), CELL_STORED);
    EXPECT_EQ(model.SetCellValue(2, NAME, L"row three", false), CELL_STORED);
    EXPECT_EQ(model.UndoRowEdit(), 2);
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(name, ',') FROM (SELECT name FROM items ORDER BY id)"),
              "row one,pear,Apricot,o'neil,banana");
}

// Changing the rowid alias moves the row to the new rowid: the row keeps its place and
// is read under the new key, and undo moves it back.
TEST_F(DataAccess, KeyChangeKeepsThePlaceAndUndoMovesItBack)
{
    CDataAccess& model = OpenModel(L"items");
    EXPECT_EQ(model.SetCellValue(4, ID, L"50", false), CELL_STORED);
    EXPECT_EQ(model.m_pRecSet->GetRowId(4), 50);
    EXPECT_EQ(Text(4, ID), L"50");
    EXPECT_EQ(Text(4, NAME), L"banana");
    EXPECT_EQ(model.SetCellValue(4, NAME, L"plantain", false), CELL_STORED); // written under rowid 50
    EXPECT_EQ(QueryRaw(m_path, "SELECT name FROM items WHERE id = 50"), "plantain");

    EXPECT_EQ(model.UndoRowEdit(), 4);
    EXPECT_EQ(model.m_pRecSet->GetRowId(4), 5);
    EXPECT_EQ(Text(4, NAME), L"banana");
    EXPECT_EQ(Items(), kItems);

    // A key taken by another row: the engine refuses it and no row changes.
    EXPECT_EQ(model.SetCellValue(0, ID, L"2", false), CELL_REFUSED);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00016>"), std::wstring::npos);
    EXPECT_EQ(model.m_pRecSet->GetRowId(0), 1);
    EXPECT_EQ(Items(), kItems);
}

// A row deleted by another program: the edit is refused in the caption strip and no
// other row is touched; undo of such a row writes nothing either.
TEST_F(DataAccess, RowDeletedBehindTheGridIsRefused)
{
    CDataAccess& model = OpenModel(L"items");
    EXPECT_EQ(model.SetCellValue(2, NAME, L"apricot", false), CELL_STORED);
    ExecRaw(m_path, "DELETE FROM items WHERE id = 3;");
    const std::string before = Items();
    m_lines.Clear();
    EXPECT_EQ(model.SetCellValue(2, NOTE, L"gone", false), CELL_REFUSED);
    ASSERT_GE(m_lines.Count(), 1u);
    EXPECT_EQ(m_lines.Last().type, platform::CAPTION_LINE_ERROR);
    EXPECT_NE(m_lines.Last().text.find(L"\n Location <00031>"), std::wstring::npos);
    EXPECT_EQ(model.UndoRowEdit(), -1);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00021>"), std::wstring::npos);
    EXPECT_EQ(Items(), before);
    EXPECT_EQ(Text(1, NAME), L"pear");
    EXPECT_EQ(Text(3, NAME), L"o'neil");
}

// Sort reloads the rows in the new order; undo after a re-sort still writes the row
// that was edited, wherever it stands now.
TEST_F(DataAccess, ResortDuringAnEditThenUndo)
{
    CDataAccess& model = OpenModel(L"items");
    EXPECT_EQ(model.SetCellValue(1, NAME, L"zucchini", false), CELL_STORED); // id 2
    ASSERT_TRUE(model.Sort(L"name", SORT_DESCENDING));
    WaitLoaded();
    std::vector<std::wstring> names;
    for (int row = 0; row < model.GetRecordCount(); ++row)
        names.push_back(Text(row, NAME));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"zucchini", L"o'neil", L"banana", L"apple", L"Apricot"}));
    EXPECT_EQ(model.m_pRecSet->m_strSort, L"[name] DESC ");

    EXPECT_EQ(model.UndoRowEdit(), 0);
    EXPECT_EQ(Items(), kItems);
    EXPECT_EQ(Text(0, NAME), L"pear");

    ASSERT_TRUE(model.Sort(L"name", SORT_ASCENDING));
    WaitLoaded();
    EXPECT_EQ(Text(0, NAME), L"Apricot"); // the column's own collation: capitals first
    EXPECT_EQ(model.m_pRecSet->m_strSort, L"[name] ASC ");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The new-row line inserts only the cells the user touched, so the others take their
// defaults; a typed-then-emptied cell is NULL; an untouched line inserts nothing.
TEST_F(DataAccess, NewRowInsertsTouchedCellsOnly)
{
    CDataAccess& model = OpenModel(L"items");
    const int before = Changes();
    EXPECT_EQ(model.SetCellValue(5, NAME, L"", true), CELL_REFUSED);
    EXPECT_EQ(Changes(), before);

    EXPECT_EQ(model.SetCellValue(5, NAME, L"kiwi", false), CELL_STORED);
    EXPECT_EQ(Text(5, NAME), L"kiwi");
    EXPECT_EQ(model.SetCellValue(5, NOTE, L"typed", false), CELL_STORED);
    EXPECT_EQ(model.SetCellValue(5, NOTE, L"", false), CELL_STORED);
    EXPECT_EQ(model.SetCellValue(5, PRICE, L"1.25", true), CELL_ROW_INSERTED);
    EXPECT_EQ(QueryRaw(m_path, "SELECT id || quote(name) || quote(price) || quote(photo) || quote(qty) ||"
                               " quote(note) || quote(extra) FROM items WHERE name = 'kiwi'"),
              "6'kiwi'1.25NULL7NULLNULL");
    EXPECT_EQ(model.GetRecordCount(), 6);
    EXPECT_EQ(model.m_pRecSet->GetRowId(5), 6);
    EXPECT_EQ(Text(5, NAME), L"kiwi"); // now a row of the table
    EXPECT_EQ(Text(6, NAME), L"");     // and the new-row line is empty again
    EXPECT_EQ(model.GetItemCount(), 7);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(DataAccess, RefusedInsertKeepsTheTypedTexts)
{
    CDataAccess& model = OpenModel(L"items");
    EXPECT_EQ(model.SetCellValue(5, ID, L"3", false), CELL_STORED);
    EXPECT_EQ(model.SetCellValue(5, NAME, L"dup", true), CELL_REFUSED);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00017>"), std::wstring::npos);
    EXPECT_EQ(Text(5, ID), L"3");
    EXPECT_EQ(Text(5, NAME), L"dup");
    EXPECT_EQ(model.GetRecordCount(), 5);
    EXPECT_EQ(Items(), kItems);
    // The record set is free again: a corrected key goes in.
    EXPECT_EQ(model.SetCellValue(5, ID, L"30", true), CELL_ROW_INSERTED);
    EXPECT_EQ(QueryRaw(m_path, "SELECT name FROM items WHERE id = 30"), "dup");
}

// Search binds its text (a quote is just a character), keeps LIKE's wildcards and its
// ASCII case folding, and steps through the hits in both directions without wrapping.
TEST_F(DataAccess, SearchModesAndStepping)
{
    CDataAccess& model = OpenModel(L"items");
    struct Case {
        const wchar_t* text;
        int mode;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {L"ap", SEARCH_START_OF_FIELD, {0, 2}},      // apple, Apricot
        {L"o'n", SEARCH_START_OF_FIELD, {3}},        // a quote
        {L"o'neil", SEARCH_WHOLE_FIELD, {3}},
        {L"pear", SEARCH_WHOLE_FIELD, {1}},
        {L"pea", SEARCH_WHOLE_FIELD, {}},
        {L"an", SEARCH_ANY_PART_OF_FIELD, {4}},
        {L"_p", SEARCH_START_OF_FIELD, {0, 2}},     // '_' matches any one character
        {L"%a%a", SEARCH_START_OF_FIELD, {4}},
        {L"'; DROP TABLE items; --", SEARCH_ANY_PART_OF_FIELD, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing_support::Utf8(c.text));
        EXPECT_EQ(model.Search(c.text, c.mode, NAME), !c.rows.empty());
        std::vector<int> found;
        for (int row = model.FindNext(); row != -1; row = model.FindNext())
            found.push_back(row);
        EXPECT_EQ(found, c.rows);
        EXPECT_FALSE(model.HasNextHit());
    }
    EXPECT_EQ(m_boxes.Count(), 0u);

    ASSERT_TRUE(model.Search(L"a", SEARCH_ANY_PART_OF_FIELD, NAME)); // apple, pear, Apricot, banana
    EXPECT_EQ(model.FindPrev(), -1);
    EXPECT_EQ(model.FindNext(), 0);
    EXPECT_EQ(model.FindPrev(), -1);
    EXPECT_EQ(model.FindNext(), 1);
    EXPECT_EQ(model.FindNext(), 2);
    EXPECT_EQ(model.FindPrev(), 1);
    EXPECT_EQ(model.FindNext(), 2);
    EXPECT_TRUE(model.HasNextHit());
    // The statement is released at once: another connection can write meanwhile.
    ExecRaw(m_path, "UPDATE items SET qty = qty + 1 WHERE id = 1;");
    EXPECT_EQ(model.FindNext(), 4);
    EXPECT_EQ(model.FindNext(), -1);
    EXPECT_EQ(model.FindPrev(), 2);
}

// A hit whose row is not among the rows of the datasheet is skipped.
TEST_F(DataAccess, SearchSkipsHitsNotLoaded)
{
    CDataAccess& model = OpenModel(L"items");
    ASSERT_TRUE(model.Search(L"a", SEARCH_ANY_PART_OF_FIELD, NAME));
    model.m_pRecSet->DeleteRows({1}); // pear leaves the datasheet (and the table)
    ExecRaw(m_path, "INSERT INTO items(id, name) VALUES(2, 'pear');");
    EXPECT_EQ(model.FindNext(), 0);
    EXPECT_EQ(model.FindNext(), 1); // Apricot, now at index 1
    EXPECT_EQ(model.FindNext(), 3);
    EXPECT_EQ(model.FindPrev(), 1);
    EXPECT_EQ(model.FindPrev(), 0);
}

// Related rows in both directions of a foreign key that names no parent column.
TEST_F(DataAccess, RelatedRowsThroughTheForeignKey)
{
    BuildForeignKeyMap();
    const ForeignKeyMapEntry& child = g_pForeignKeyMap->m_arrEntries.at(static_cast<size_t>(g_pForeignKeyMap->FindTable(L"child")));
    ASSERT_EQ(child.m_strParentTable, L"parent");

    CDataAccess& model = OpenModel(L"child");
    ASSERT_TRUE(model.StartRelatedQuery(2, child.m_strParentTable, child.m_arrForeignKeyColumns, child.m_arrParentColumns));
    EXPECT_EQ(model.GetRelatedFieldName(0), L"code");
    EXPECT_EQ(model.GetRelatedFieldText(1), L"first");
    model.m_RelatedQuery.NextRow();
    EXPECT_TRUE(model.m_RelatedQuery.Eof());

    CDataAccess parent;
    CDataInterface bridge;
    parent.m_pDataInterface = &bridge;
    bridge.m_pDataAccess = &parent;
    ASSERT_TRUE(parent.Open(L"parent", RECSET_MODE_TABLE));
    ASSERT_TRUE(QTest::qWaitFor([&] { return parent.IsLoadEnded(); }, 10000));
    ASSERT_TRUE(parent.StartRelatedQuery(0, L"child", child.m_arrParentColumns, child.m_arrForeignKeyColumns));
    std::vector<std::wstring> labels;
    for (bool end = parent.m_RelatedQuery.Eof(); !end; end = parent.m_RelatedQuery.NextRow())
        labels.push_back(parent.GetRelatedFieldText(2));
    EXPECT_EQ(labels, (std::vector<std::wstring>{L"one", L"three"}));

    ExecRaw(m_path, "INSERT INTO parent VALUES('C', 'lonely');");
    ASSERT_TRUE(parent.Sort(L"code", SORT_DESCENDING));
    ASSERT_TRUE(QTest::qWaitFor([&] { return parent.IsLoadEnded(); }, 10000));
    EXPECT_FALSE(parent.StartRelatedQuery(0, L"child", child.m_arrParentColumns, child.m_arrForeignKeyColumns));
    EXPECT_FALSE(parent.StartRelatedQuery(9, L"child", child.m_arrParentColumns, child.m_arrForeignKeyColumns));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A query window: read-only rows by position, the new-row line after loading, the
// statement kept among the database's saved queries.
TEST_F(DataAccess, AQueryWindowReadsByPositionRefusesEditsAndKeepsItsStatement)
{
    const std::wstring sql = L"SELECT name, qty FROM items WHERE name <> 'x' ORDER BY qty DESC";
    CDataAccess& model = OpenModel(sql, RECSET_MODE_QUERY);
    EXPECT_EQ(model.m_strSource, sql);
    EXPECT_EQ(model.GetRecordCount(), 5);
    EXPECT_EQ(model.GetItemCount(), 6);
    EXPECT_EQ(Text(0, 0), L"banana");
    EXPECT_EQ(Text(4, 1), L"3");
    EXPECT_EQ(model.SetCellValue(0, 0, L"changed", false), CELL_REFUSED);
    EXPECT_FALSE(model.Search(L"a", SEARCH_START_OF_FIELD, 0));
    EXPECT_EQ(Items(), kItems);
    EXPECT_EQ(m_store.ReadExactTextValues(m_mainFrame.m_strRecentQueryNode), std::vector<std::wstring>{sql});
}

// A statement that gives rows but that no view can hold (one with a parameter here, an
// EXPLAIN in the console) is read from the statement itself, its rows kept as a query's
// are: past its first page, by position, read-only, and among the saved queries.
TEST_F(DataAccess, AQueryNoViewCanHoldShowsTheStatementsOwnRows)
{
    const std::wstring sql = L"WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 5000)"
                             L" SELECT x, ?1 AS unbound, name FROM n LEFT JOIN items ON id = x ORDER BY x DESC";
    CDataAccess& model = OpenModel(sql, RECSET_MODE_QUERY);
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(model.m_strSource, sql);
    EXPECT_EQ(model.GetRecordCount(), 5000);
    EXPECT_EQ(model.GetItemCount(), 5001);
    EXPECT_EQ(model.GetColumnName(1), L"unbound");
    EXPECT_EQ(Text(0, 0), L"5000");
    EXPECT_EQ(Text(0, 1), L"");
    EXPECT_EQ(Text(4999, 0), L"1");
    EXPECT_EQ(Text(4999, 2), L"apple");
    EXPECT_EQ(Text(2500, 0), L"2500");
    EXPECT_EQ(Text(4997, 2), L"Apricot");
    EXPECT_EQ(model.SetCellValue(4999, 2, L"changed", false), CELL_REFUSED);
    EXPECT_EQ(Items(), kItems);
    EXPECT_TRUE(m_store.ValueExists(m_mainFrame.m_strRecentQueryNode, sql));
}

// A database view is shown whole through a temporary view over its name: its text is
// never taken apart, so letter case in literals, a name holding "select" or a view
// without SELECT all work; the source shown is the stored SELECT with its case.
TEST_F(DataAccess, AViewIsShownWholeWhateverItsStatementHolds)
{
    ExecRaw(m_path, "CREATE VIEW selection_v AS\n  select name FROM items WHERE name = 'pear';"
                    "CREATE VIEW \"odd]v\" AS VALUES(1), (2), (3);");
    CDataAccess& model = OpenModel(L"cheap", RECSET_MODE_VIEW);
    EXPECT_EQ(model.m_strSource, L"SELECT name, price FROM items WHERE price < 1 ORDER BY name");
    EXPECT_EQ(model.GetRecordCount(), 2);
    EXPECT_EQ(Text(0, 0), L"apple");
    EXPECT_EQ(Text(1, 1), L"0.5");
    EXPECT_EQ(model.GetColumnName(1), L"price");

    CDataAccess selection;
    ASSERT_TRUE(selection.Open(L"selection_v", RECSET_MODE_VIEW));
    selection.InitRowBuffers();
    ASSERT_TRUE(QTest::qWaitFor([&] { return selection.IsLoadEnded(); }, 10000));
    EXPECT_EQ(selection.m_strSource, L"select name FROM items WHERE name = 'pear'");
    EXPECT_EQ(selection.GetRecordCount(), 1);
    EXPECT_EQ(std::wstring(selection.GetCellText(0, 0)), L"pear");

    CDataAccess values;
    ASSERT_TRUE(values.Open(L"odd]v", RECSET_MODE_VIEW));
    ASSERT_TRUE(QTest::qWaitFor([&] { return values.IsLoadEnded(); }, 10000));
    EXPECT_EQ(values.m_strSource, L"odd]v");
    EXPECT_EQ(values.GetRecordCount(), 3);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// An open that fails leaves the model without rows, and a second open is refused; a query
// over a missing table throws, and a text that is no statement shows both its failures
// with their locations.
TEST_F(DataAccess, AFailedOpenLeavesTheModelClosedAndShowsWhereItFailed)
{
    CDataAccess model;
    EXPECT_FALSE(model.Open(L"no_such_table", RECSET_MODE_TABLE));
    EXPECT_EQ(model.m_bOpen, 0);
    EXPECT_FALSE(model.Open(L"items", RECSET_MODE_TABLE)); // a record set exists already
    EXPECT_EQ(model.GetCellText(0, 0), std::wstring());

    // A query over a missing table makes its view, whose columns then cannot be read.
    CDataAccess missing;
    EXPECT_THROW(missing.Open(L"SELECT * FROM nowhere", RECSET_MODE_QUERY), CADbSqlException);

    CDataAccess query;
    EXPECT_FALSE(query.Open(L"SELECT * FROM", RECSET_MODE_QUERY));
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_NE(m_boxes.Boxes()[0].text.find(L"\n Location <00020>"), std::wstring::npos);
    EXPECT_EQ(m_boxes.Boxes()[1].text, L"Failed creating view\n Location <00023>");
}

// The bridge: the grid's line count comes from the model's state, so a stale load
// message changes nothing; the final state lifts File > Open's loading lock.
TEST_F(DataAccess, BridgeDerivesTheItemCount)
{
    m_mainFrame.m_bDatasheetLoading = true;
    CDataAccess& model = OpenModel(L"items");
    EXPECT_FALSE(m_mainFrame.m_bDatasheetLoading);
    EXPECT_EQ(m_shownLines.Last(), 6);

    platform::SendMessage(&m_bridge, UM_LOAD_TABLE_DATA, 1, 2000);
    EXPECT_EQ(m_shownLines.Last(), 6);
    platform::SendMessage(&m_bridge, UM_LOAD_TABLE_DATA, 0, 3);
    EXPECT_EQ(m_shownLines.Last(), 6);

    model.m_pRecSet->DeleteRows({0, 4});
    m_bridge.UpdateItemCount();
    EXPECT_EQ(m_shownLines.Last(), 4);
    EXPECT_EQ(Text(0, NAME), L"pear");
}

// Holds the row loader at one rowid of its row-id query (an SQL function in the record
// set's filter) until the test releases it, so that a load is still running for sure.
struct LoaderGate {
    sqlite3_int64 at = 0;
    std::atomic<bool> reached{false};
    std::atomic<bool> release{false};
};

void GateFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    auto* gate = static_cast<LoaderGate*>(sqlite3_user_data(context));
    if (sqlite3_value_int64(args[0]) == gate->at && !gate->reached.exchange(true)) {
        QDeadlineTimer deadline(10000);
        while (!gate->release && !deadline.hasExpired())
            std::this_thread::yield();
    }
    sqlite3_result_int(context, 1);
}

// While rows still load, the row after the last one known is no new-row line: it shows
// nothing, takes nothing, and the grid gets no extra line; File > Open stays locked.
// Once the load has ended the line is there, with what was typed into it before.
TEST_F(DataAccess, NewRowLineOnlyAfterLoadingEnded)
{
    ExecRaw(m_path, "WITH RECURSIVE n(i) AS (SELECT 6 UNION ALL SELECT i + 1 FROM n WHERE i < 5000)"
                    " INSERT INTO items(id, name) SELECT i, 'n' || i FROM n;");
    CDataAccess& model = OpenModel(L"items");
    EXPECT_EQ(model.SetCellValue(5000, NAME, L"typed", false), CELL_STORED);

    LoaderGate gate;
    gate.at = 4000;
    sqlite3_create_function(g_pCurrentDb->m_pDb, "gate", 1, SQLITE_UTF8, &gate, GateFunction, nullptr, nullptr);
    model.m_pRecSet->m_strFilter = L"gate(rowid)";
    m_mainFrame.m_bDatasheetLoading = true;
    ASSERT_TRUE(model.Sort(L"id", SORT_ASCENDING));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.reached.load(); }, 10000));
    QCoreApplication::processEvents();

    // The loader holds the connection now: nothing below may reach the engine.
    const int known = model.GetRecordCount();
    EXPECT_GE(known, 2000);
    EXPECT_LT(known, 4000);
    EXPECT_FALSE(model.IsLoadEnded());
    EXPECT_EQ(model.GetItemCount(), known);
    EXPECT_LE(m_shownLines.Last(), known); // no new-row line among the lines shown
    EXPECT_EQ(Text(known, NAME), L"");
    EXPECT_EQ(model.SetCellValue(known, NAME, L"early", true), CELL_REFUSED);
    EXPECT_TRUE(m_mainFrame.m_bDatasheetLoading);

    gate.release = true;
    WaitLoaded();
    EXPECT_FALSE(m_mainFrame.m_bDatasheetLoading);
    EXPECT_EQ(model.GetRecordCount(), 5000);
    EXPECT_EQ(Text(4999, NAME), L"n5000");
    EXPECT_EQ(Text(5000, NAME), L"typed");
    EXPECT_EQ(model.SetCellValue(5000, QTY, L"1", true), CELL_ROW_INSERTED);
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(name) FROM items WHERE id > 5000"), "typed");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Takes the keys it is given, noting whether the sort had returned by then.
class KeyTaker : public QWidget {
public:
    const bool* sortReturned = nullptr;
    std::vector<bool> keys; // for each key: had the sort returned
protected:
    void keyPressEvent(QKeyEvent*) override { keys.push_back(*sortReturned); }
};

// A sort whose first rows are long in coming keeps the window alive: timers fire and
// the window repaints (blank cells, no read), the wait cursor and a caption line show,
// and a key typed meanwhile reaches its window only after the sort has returned. A
// second sort, a search and a delete started during the wait are refused.
TEST_F(DataAccess, SlowSortKeepsTheWindowAliveAndHoldsTheInput)
{
    ExecRaw(m_path, "WITH RECURSIVE n(i) AS (SELECT 6 UNION ALL SELECT i + 1 FROM n WHERE i < 5000)"
                    " INSERT INTO items(id, name) SELECT i, 'n' || i FROM n;");
    CDataAccess& model = OpenModel(L"items");

    const platform::WaitPump oldPump = platform::SetWaitPump(platform::PumpWhileWaiting);
    std::vector<bool> cursor;
    const platform::WaitCursorHook oldCursor = platform::SetWaitCursorHook([&](bool show) { cursor.push_back(show); });
    bool sortReturned = false;
    KeyTaker taker;
    taker.sortReturned = &sortReturned;
    taker.show();
    taker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&taker));

    LoaderGate gate;
    gate.at = 4990; // before the first page of the new order
    sqlite3_create_function(g_pCurrentDb->m_pDb, "gate", 1, SQLITE_UTF8, &gate, GateFunction, nullptr, nullptr);
    model.m_pRecSet->m_strFilter = L"gate(rowid)";
    m_lines.Clear();

    int beats = 0;
    bool refused = false;
    Heartbeat heartbeat([&] {
        if (!gate.reached || sortReturned)
            return;
        if (++beats == 1) {
            // Typed by the user while the sort waits.
            QCoreApplication::postEvent(&taker, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
            refused = !model.Sort(L"name", SORT_ASCENDING) && !model.Search(L"n1", SEARCH_START_OF_FIELD, NAME) &&
                      model.DeleteRows({0}) == 0 && Text(0, NAME).empty();
        }
        if (beats == 10)
            gate.release = true;
    });
    heartbeat.Start();
    ASSERT_TRUE(model.Sort(L"id", SORT_DESCENDING));
    sortReturned = true;
    EXPECT_GE(beats, 10);
    EXPECT_TRUE(refused);
    EXPECT_LE(heartbeat.LongestGap(), 100);
    EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
    ASSERT_GE(m_lines.Count(), 1u);
    EXPECT_EQ(m_lines.Lines().front().text, L"Sorting...");
    EXPECT_EQ(m_lines.Lines().front().type, platform::CAPTION_LINE_NORMAL);
    EXPECT_TRUE(taker.keys.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !taker.keys.empty(); }, 10000));
    EXPECT_EQ(taker.keys, std::vector<bool>{true});

    heartbeat.Stop();
    WaitLoaded();
    EXPECT_EQ(Text(0, NAME), L"n5000");
    platform::SetWaitCursorHook(oldCursor);
    platform::SetWaitPump(oldPump);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A window closed while its rows load lifts the loading lock all the same.
TEST_F(DataAccess, ClosingALoadingWindowLiftsTheLoadingLock)
{
    m_mainFrame.m_bDatasheetLoading = true;
    {
        CDataInterface bridge;
        CDataAccess model;
        bridge.m_pDataAccess = &model;
        model.m_pDataInterface = &bridge;
    }
    EXPECT_FALSE(m_mainFrame.m_bDatasheetLoading);
}

} // namespace

namespace {

// Closing the database while a datasheet still loads: the load is stopped and the
// loader has let go before the connection closes; the model stays, without rows.
TEST_F(DataAccess, ClosingTheDatabaseReleasesEveryModel)
{
    ExecRaw(m_path, "WITH RECURSIVE n(i) AS (SELECT 6 UNION ALL SELECT i + 1 FROM n WHERE i < 200000)"
                    " INSERT INTO items(id, name) SELECT i, 'n' || i FROM n;");
    m_model = std::make_unique<CDataAccess>();
    m_model->m_pDataInterface = &m_bridge;
    m_bridge.m_pDataAccess = m_model.get();
    ASSERT_TRUE(m_model->Open(L"items", RECSET_MODE_TABLE));
    m_model->InitRowBuffers();
    EXPECT_EQ(Text(1, NAME), L"pear");
    ASSERT_TRUE(m_model->StartRelatedQuery(0, L"items", {L"id"}));

    DestroyDatabaseGlobals();
    EXPECT_EQ(m_model->m_pRecSet, nullptr);
    EXPECT_EQ(m_model->m_RelatedQuery.m_pStmt.get(), nullptr);
    EXPECT_EQ(m_model->GetItemCount(), 0);
    EXPECT_EQ(Text(1, NAME), L"");
    EXPECT_EQ(m_model->SetCellValue(1, NAME, L"x", true), CELL_REFUSED);
    QCoreApplication::processEvents(); // load messages still queued reach a model without rows
    m_model.reset();

    CreateDatabaseGlobals();
    ASSERT_TRUE(CDataAccess::OpenDatabase());
    CDataAccess& again = OpenModel(L"items");
    EXPECT_EQ(again.GetRecordCount(), 200000);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

} // namespace

namespace {

// Another program's lock on the file: the engine's calls on it fail at once.
class FileLock {
public:
    explicit FileLock(const std::wstring& path)
    {
        sqlite3_busy_timeout(g_pCurrentDb->m_pDb, 0);
        sqlite3_open(testing_support::Utf8(path).c_str(), &m_pDb);
        m_bHeld = sqlite3_exec(m_pDb, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~FileLock()
    {
        sqlite3_exec(m_pDb, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(m_pDb);
    }
    bool Held() const { return m_bHeld; }

private:
    sqlite3* m_pDb = nullptr;
    bool m_bHeld = false;
};

// In the DESC column-constraint form the key is no rowid alias: a changed key keeps
// the line on its own row, and undo writes back that row only.
TEST_F(DataAccess, AKeyThatIsNoAliasKeepsItsLineAndUndoItsRow)
{
    ExecRaw(m_path, "CREATE TABLE d(x INTEGER PRIMARY KEY DESC, v TEXT); INSERT INTO d VALUES(10, 'a'), (20, 'b');");
    CDataAccess& model = OpenModel(L"d");
    EXPECT_EQ(model.SetCellValue(0, 0, L"2", false), CELL_STORED);
    EXPECT_EQ(Text(0, 0), L"2");
    EXPECT_EQ(Text(0, 1), L"a");
    EXPECT_EQ(Text(1, 1), L"b");
    EXPECT_EQ(model.UndoRowEdit(), 0);
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(x || v) FROM (SELECT * FROM d ORDER BY rowid)"), "10a,20b");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A value typed into a key column that is no rowid alias is stored as typed, with the
// column's affinity; only the alias refuses a text that is no rowid.
TEST_F(DataAccess, KeyColumnsThatAreNoAliasStoreTheTextAsTyped)
{
    ExecRaw(m_path, "CREATE TABLE k(a INT PRIMARY KEY, v); INSERT INTO k VALUES(1, 'one');"
                    "CREATE TABLE c(x INTEGER, y BIGINT, v, PRIMARY KEY(x, y)); INSERT INTO c VALUES(1, 2, 'one');");
    struct Case {
        const wchar_t* table;
        int column;
        const wchar_t* text;
        const char* stored;
    };
    const Case cases[] = {
        {L"k", 0, L"12.5", "real 12.5"},
        {L"k", 0, L"A-17", "text 'A-17'"},
        {L"k", 0, L"40", "integer 40"},
        {L"c", 0, L"A-17", "text 'A-17'"},
        {L"c", 1, L"7.25", "real 7.25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing_support::Utf8(c.text));
        CDataAccess& model = OpenModel(c.table);
        EXPECT_EQ(model.SetCellValue(0, c.column, c.text, false), CELL_STORED);
        const std::string name = testing_support::Utf8(c.table);
        const std::string column = c.column == 0 ? (name == "k" ? "a" : "x") : "y";
        EXPECT_EQ(QueryRaw(m_path, "SELECT typeof(" + column + ") || ' ' || quote(" + column + ") FROM " + name), c.stored);
        EXPECT_EQ(model.UndoRowEdit(), 0);
        m_model.reset();
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// An INSERT that the engine ignores adds no line; the user is told, and the typed
// texts stay in the new-row line.
TEST_F(DataAccess, AnIgnoredInsertAddsNoLineAndSaysSo)
{
    ExecRaw(m_path, "CREATE TABLE g(id INTEGER PRIMARY KEY, name TEXT UNIQUE ON CONFLICT IGNORE);"
                    "INSERT INTO g VALUES(1, 'a');");
    CDataAccess& model = OpenModel(L"g");
    EXPECT_EQ(model.SetCellValue(1, 1, L"a", true), CELL_REFUSED);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, std::wstring(STR_ROW_NOT_INSERTED) + L"\n Location <00017>");
    EXPECT_EQ(model.GetRecordCount(), 1);
    EXPECT_EQ(Text(1, 1), L"a");
    EXPECT_EQ(model.SetCellValue(1, 1, L"b", true), CELL_ROW_INSERTED);
    EXPECT_EQ(model.GetRecordCount(), 2);
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(id || name) FROM g"), "1a,2b");
}

// Texts that are no valid UTF-8 (Latin-1 data) or hold a NUL keep their exact bytes when
// another cell of the row is edited, and through undo.
TEST_F(DataAccess, UntouchedTextsKeepTheirBytesThroughEditAndUndo)
{
    ExecRaw(m_path, "CREATE TABLE l(id INTEGER PRIMARY KEY, latin TEXT, nul TEXT, n INTEGER);"
                    "INSERT INTO l VALUES(1, CAST(x'436166E9' AS TEXT), CAST(x'610062' AS TEXT), 1);");
    const std::string bytes = "SELECT hex(latin) || ' ' || hex(nul) || ' ' || n FROM l";
    CDataAccess& model = OpenModel(L"l");
    EXPECT_EQ(model.SetCellValue(0, 3, L"2", false), CELL_STORED);
    EXPECT_EQ(QueryRaw(m_path, bytes), "436166E9 610062 2");
    EXPECT_EQ(model.UndoRowEdit(), 0);
    EXPECT_EQ(QueryRaw(m_path, bytes), "436166E9 610062 1");
}

// Deleting the row under edit ends its edit: Undo is off and can never write the old
// values into a later row that gets the same rowid.
TEST_F(DataAccess, DeletingTheRowUnderEditEndsTheEdit)
{
    auto bar = std::make_unique<CACaptionBar>();
    m_mainFrame.m_pCaptionBar = bar.get();
    QWidget* undo = bar->GetCaptionDlg()->GetControl(CCaptionDlg::UndoRow);
    CDataAccess& model = OpenModel(L"items");
    EXPECT_EQ(model.SetCellValue(2, NAME, L"edited", false), CELL_STORED); // id 3
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(model.DeleteRows({0}), 1); // another row: the edit goes on
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(model.DeleteRows({1}), 1); // id 3, now the second row
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(model.m_nEditRow, -1);

    EXPECT_EQ(model.SetCellValue(3, ID, L"3", false), CELL_STORED);
    EXPECT_EQ(model.SetCellValue(3, NAME, L"fresh", true), CELL_ROW_INSERTED);
    EXPECT_EQ(model.UndoRowEdit(), -1);
    EXPECT_EQ(QueryRaw(m_path, "SELECT name FROM items WHERE id = 3"), "fresh");
}

// Holds a statement on the connection (its thread's engine steps) until released, or
// for at most 20 s.
struct StatementGate {
    std::atomic<bool> reached{false};
    std::atomic<bool> release{false};
    std::atomic<bool> timedOut{false};
    static int Progress(void* context)
    {
        auto* gate = static_cast<StatementGate*>(context);
        if (gate->reached.exchange(true))
            return 0;
        const QDeadlineTimer deadline(20000);
        while (!gate->release && !deadline.hasExpired())
            std::this_thread::yield();
        gate->timedOut = deadline.hasExpired();
        return 0;
    }
};

// VACUUM and a long UPDATE typed in the console run as a slow sort waits: timers fire
// and the windows repaint (the datasheet reads nothing from the held connection), the
// wait cursor and a caption line show, and a key typed meanwhile reaches its window only
// after the statement has ended; the statement's work is done and reported as before.
TEST_F(DataAccess, ALongStatementKeepsTheWindowAliveAndHoldsTheInput)
{
    struct Case {
        const char* what;
        std::function<bool()> run;
        const wchar_t* line;
        std::string check;    // a query on the file after the statement
        std::string expected; // its answer
    };
    const Case cases[] = {
        {"long console UPDATE", [] { return ExecuteSql(L"UPDATE items SET qty = qty + 100"); }, STR_RUNNING_STATEMENT,
         "SELECT sum(qty) FROM items", "526"},
        {"VACUUM",
         [] {
             VacuumDatabase();
             return true;
         },
         STR_VACUUMING, "PRAGMA freelist_count", "0"},
    };
    ExecRaw(m_path, "CREATE TABLE filler(x); INSERT INTO filler SELECT zeroblob(4000) FROM items;"
                    "DROP TABLE filler;");
    CDataAccess& model = OpenModel(L"items");
    ASSERT_EQ(Text(0, NAME), L"apple");
    model.m_pRecSet->CloseRowStmt();
    const platform::WaitPump oldPump = platform::SetWaitPump(platform::PumpWhileWaiting);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<bool> cursor;
        const platform::WaitCursorHook oldCursor =
            platform::SetWaitCursorHook([&](bool show) { cursor.push_back(show); });
        bool returned = false;
        KeyTaker taker;
        taker.sortReturned = &returned;
        taker.show();
        taker.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&taker));
        StatementGate gate;
        sqlite3_progress_handler(g_pCurrentDb->m_pDb, 1, StatementGate::Progress, &gate);
        m_lines.Clear();
        m_boxes.Clear();

        int beats = 0;
        bool blank = false;
        Heartbeat heartbeat([&] {
            if (!gate.reached || returned)
                return;
            if (++beats == 1) {
                // Typed by the user while the statement runs.
                QCoreApplication::postEvent(&taker, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
                blank = Text(1, NAME).empty();
            }
            if (beats == 10)
                gate.release = true;
        });
        heartbeat.Start();
        EXPECT_TRUE(c.run());
        returned = true;
        heartbeat.Stop();
        sqlite3_progress_handler(g_pCurrentDb->m_pDb, 0, nullptr, nullptr);
        EXPECT_FALSE(gate.timedOut);
        EXPECT_GE(beats, 10);
        EXPECT_TRUE(blank) << "the datasheet read from the held connection";
        EXPECT_LE(heartbeat.LongestGap(), 100);
        EXPECT_EQ(cursor.front(), true);
        EXPECT_EQ(cursor.back(), false);
        ASSERT_GE(m_lines.Count(), 1u);
        EXPECT_EQ(m_lines.Lines().front().text, c.line);
        EXPECT_EQ(m_lines.Lines().front().type, platform::CAPTION_LINE_NORMAL);
        EXPECT_TRUE(taker.keys.empty());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !taker.keys.empty(); }, 10000));
        EXPECT_EQ(taker.keys, std::vector<bool>{true});
        EXPECT_EQ(QueryRaw(m_path, c.check), c.expected);
        EXPECT_EQ(Text(1, NAME), L"pear");
        platform::SetWaitCursorHook(oldCursor);
    }
    platform::SetWaitPump(oldPump);
}

// A table without rowids shows its rows read-only and says so when asked to change.
TEST_F(DataAccess, ATableWithoutRowidsShowsItsRowsReadOnly)
{
    ExecRaw(m_path, "CREATE TABLE w(k TEXT PRIMARY KEY, v, b BLOB) WITHOUT ROWID;"
                    "INSERT INTO w VALUES('x', 1, zeroblob(33554432)), ('y', 2, NULL);");
    CDataAccess& model = OpenModel(L"w");
    EXPECT_EQ(model.GetRecordCount(), 2);
    sqlite3_memory_highwater(1);
    const sqlite3_int64 before = sqlite3_memory_used();
    EXPECT_EQ(Text(0, 0), L"x");
    EXPECT_EQ(Text(1, 1), L"2");
    EXPECT_EQ(Text(0, 2), L"");
    EXPECT_LT(sqlite3_memory_highwater(0) - before, 4 * 1024 * 1024) << "a BLOB's bytes were read for the grid";
    m_lines.Clear();
    EXPECT_EQ(model.SetCellValue(0, 1, L"9", false), CELL_REFUSED);
    EXPECT_EQ(model.DeleteRows({0}), 0);
    ASSERT_EQ(m_lines.Count(), 2u);
    EXPECT_EQ(m_lines.Last().text, STR_TABLE_WITHOUT_ROWID);
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(k || v) FROM w"), "x1,y2");
    ASSERT_TRUE(model.Sort(L"k", 1));
    WaitLoaded();
    EXPECT_EQ(Text(0, 0), L"y");
    EXPECT_EQ(Text(1, 0), L"x");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The foreign keys the database declares hold on the program's connection: a delete,
// an edit or an insert that would break one is refused with the engine's message, and
// the file keeps every row as it was, without a dangling reference.
TEST_F(DataAccess, ForeignKeysRefuseADeleteAnEditAndAnInsertAndChangeNothing)
{
    ExecRaw(m_path, "INSERT INTO parent VALUES('C', 'unused');");
    const std::string children = QueryRaw(m_path, "SELECT group_concat(id || pcode || label) FROM child");
    const auto said = [this](const std::wstring& text) {
        for (const auto& box : m_boxes.Boxes())
            if (box.text.find(text) != std::wstring::npos)
                return true;
        for (const auto& line : m_lines.Lines())
            if (line.text.find(text) != std::wstring::npos)
                return true;
        return false;
    };
    {
        CDataAccess& parents = OpenModel(L"parent");
        ASSERT_EQ(parents.GetRecordCount(), 3);
        // C alone could go, A has children: the delete takes neither.
        EXPECT_EQ(parents.DeleteRows({2, 0}), 0);
        EXPECT_EQ(parents.GetRecordCount(), 3);
        EXPECT_TRUE(said(L"FOREIGN KEY constraint failed"));
        EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(code) FROM parent"), "A,B,C");
    }
    CDataAccess& child = OpenModel(L"child");
    m_boxes.Clear();
    m_lines.Clear();
    EXPECT_EQ(child.SetCellValue(0, 1, L"Z", false), CELL_REFUSED);
    EXPECT_TRUE(said(L"FOREIGN KEY constraint failed"));
    m_boxes.Clear();
    m_lines.Clear();
    EXPECT_EQ(child.SetCellValue(3, 0, L"9", false), CELL_STORED);
    EXPECT_EQ(child.SetCellValue(3, 1, L"Q", true), CELL_REFUSED);
    EXPECT_TRUE(said(L"FOREIGN KEY constraint failed"));
    EXPECT_EQ(child.GetRecordCount(), 3);
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(id || pcode || label) FROM child"), children);
    EXPECT_EQ(QueryRaw(m_path, "SELECT count(*) FROM pragma_foreign_key_check"), "0");
}

// A row whose foreign key was broken before (written while the keys were off, or by
// another program) keeps its other cells editable: an edit writes the cells the user
// changed and no other, so the broken key is neither written nor checked again, a column
// that another program changed meanwhile keeps its value, and no UPDATE OF trigger of an
// untouched column fires; Undo writes back only what the edit changed. In both journal
// modes, with another connection writing the file between the edits.
TEST_F(DataAccess, AnEditWritesOnlyTheCellsTheUserChanged)
{
    for (const std::string mode : {"delete", "wal"}) {
        SCOPED_TRACE(mode);
        ExecRaw(m_path, "DROP TABLE IF EXISTS orders; DROP TABLE IF EXISTS written;"
                        "CREATE TABLE orders(id INTEGER PRIMARY KEY, pcode TEXT REFERENCES parent(code), note TEXT,"
                        "  qty INTEGER);"
                        "CREATE TABLE written(what TEXT);"
                        "CREATE TRIGGER orders_pcode AFTER UPDATE OF pcode ON orders"
                        "  BEGIN INSERT INTO written VALUES('pcode'); END;"
                        "CREATE TRIGGER orders_qty AFTER UPDATE OF qty ON orders"
                        "  BEGIN INSERT INTO written VALUES('qty'); END;"
                        "INSERT INTO orders VALUES(1, 'A', 'fine', 1), (2, 'Z', 'broken', 2);");
        testing_support::OtherConnection other(m_path);
        ASSERT_EQ(other.Exec("PRAGMA journal_mode=" + mode), SQLITE_OK);
        ASSERT_EQ(QueryRaw(m_path, "PRAGMA journal_mode"), mode);
        const std::string orders = "SELECT group_concat(id || pcode || note || qty, ',') FROM orders";
        const std::string written = "SELECT count(*) || ':' || ifnull(group_concat(what), '') FROM written";
        CDataAccess& model = OpenModel(L"orders");

        EXPECT_EQ(model.SetCellValue(1, 2, L"still broken", false), CELL_STORED);
        EXPECT_EQ(QueryRaw(m_path, orders), "1Afine1,2Zstill broken2");
        EXPECT_EQ(QueryRaw(m_path, written), "0:");
        ASSERT_EQ(other.Exec("UPDATE orders SET qty = 20 WHERE id = 2"), SQLITE_OK);
        EXPECT_EQ(model.SetCellValue(1, 2, L"twice", false), CELL_STORED);
        EXPECT_EQ(model.SetCellValue(0, 2, L"other row", false), CELL_STORED);
        EXPECT_EQ(model.SetCellValue(1, 2, L"again", false), CELL_STORED);
        ASSERT_EQ(other.Exec("UPDATE orders SET qty = 30 WHERE id = 2"), SQLITE_OK);
        EXPECT_EQ(model.UndoRowEdit(), 1);

        EXPECT_EQ(QueryRaw(m_path, orders), "1Aother row1,2Ztwice30");
        EXPECT_EQ(QueryRaw(m_path, written), "2:qty,qty") << "an untouched column was written";
        EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(rowid) FROM pragma_foreign_key_check('orders')"), "2");
        EXPECT_EQ(Text(1, 2), L"twice");
        EXPECT_EQ(Text(1, 3), L"30");
        EXPECT_EQ(m_boxes.Count(), 0u);
        m_model.reset();
    }
}

// A sort that fails (the file is locked by another program) leaves the rows as they
// were, in their old order, and shows the failure; so does a failed search its hits.
TEST_F(DataAccess, AFailedSortOrSearchLeavesTheRowsAndHits)
{
    CDataAccess& model = OpenModel(L"items");
    ASSERT_TRUE(model.Search(L"a", 2, NAME)); // apple, pear, Apricot, banana
    EXPECT_EQ(model.FindNext(), 0);
    {
        FileLock lock(m_path);
        ASSERT_TRUE(lock.Held());
        m_lines.Clear();
        EXPECT_FALSE(model.Sort(L"name", 1));
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_lines.Count() > 1; }, 10000));
        EXPECT_EQ(m_lines.Lines().front().text, STR_SORTING);
        EXPECT_EQ(m_lines.Last().type, 3);
        EXPECT_EQ(model.GetRecordCount(), 5);
        EXPECT_EQ(model.m_pRecSet->m_strSort, L"");
        EXPECT_FALSE(model.Search(L"p", 0, NAME));
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00002>"), std::wstring::npos);
    }
    WaitLoaded();
    EXPECT_EQ(model.GetRecordCount(), 5);
    EXPECT_EQ(Text(0, NAME), L"apple");
    EXPECT_EQ(Text(4, NAME), L"banana");
    EXPECT_EQ(model.FindNext(), 1);
    EXPECT_EQ(model.FindNext(), 2);
}

// Find Next past the rows loaded costs no scan of the rows per hit, whatever the
// number of hits that are not loaded.
TEST_F(DataAccess, FindingHitsThatAreNotLoadedStaysCheap)
{
    const int saved = g_nMaxGridRows;
    g_nMaxGridRows = 20000;
    ExecRaw(m_path, "WITH RECURSIVE n(i) AS (SELECT 6 UNION ALL SELECT i + 1 FROM n WHERE i < 40000)"
                    " INSERT INTO items(id, name) SELECT i, 'n' || i FROM n;");
    CDataAccess& model = OpenModel(L"items");
    g_nMaxGridRows = saved;
    ASSERT_EQ(model.GetRecordCount(), 20000);
    ASSERT_TRUE(model.Search(L"n", 0, NAME));
    int found = 0;
    for (int row = model.FindNext(); row != -1; row = model.FindNext())
        ++found;
    EXPECT_EQ(found, 19995);
    const auto start = std::chrono::steady_clock::now();
    for (int click = 0; click < 20; ++click)
        EXPECT_EQ(model.FindNext(), -1);
    EXPECT_EQ(model.FindPrev(), 19998);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::milliseconds(500)) << "each click past the loaded rows scanned the rows";
}

// The grid's read of a row holding a large BLOB reads none of the BLOB's bytes.
TEST_F(DataAccess, ARowWithALargeBlobReadsLikeAnyOther)
{
    constexpr int kBlobBytes = 32 * 1024 * 1024;
    ExecRaw(m_path, "UPDATE items SET photo = zeroblob(" + std::to_string(kBlobBytes) + "), extra = zeroblob(" +
                        std::to_string(kBlobBytes) + ") WHERE id = 2;");
    OpenModel(L"items");
    sqlite3_memory_highwater(1);
    const sqlite3_int64 before = sqlite3_memory_used();
    EXPECT_EQ(Text(1, NAME), L"pear");
    EXPECT_EQ(Text(1, PHOTO), L"");
    EXPECT_EQ(Text(1, EXTRA), L"");
    EXPECT_LT(sqlite3_memory_highwater(0) - before, kBlobBytes / 8) << "a BLOB's bytes were read for the grid";
}

} // namespace
