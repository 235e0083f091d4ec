// The related-records dialog over real database files: both directions, the child
// chooser, rows without a match, keys whose parent columns are named differently or
// in other letter case, composite keys, text keys holding a quote, and a failing row.
#include "document/dialogs/creferencedlg.h"

#include "data/constants.h"
#include "document/dialogs/camfclistctrl.h"
#include "document/datasheet/cdataaccess.h"
#include "document/dialogs/creftabledlg.h"
#include "databasefixture.h"
#include "scopedhandlers.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>

#include <memory>


namespace {

using Rows = std::vector<std::vector<std::wstring>>;
using Names = std::vector<std::wstring>;

// What the related-records dialog showed.
struct Shown {
    std::wstring title;
    Names columns;
    std::vector<int> widths;
    Rows rows;
    Names offeredTables; // the chooser's list, when it was asked
};

// How the test answers the child-table chooser.
struct ChooserAnswer {
    std::wstring table; // the row to mark, "" for none
    bool ok = true;     // OK, or Cancel
};

const char kShop[] = R"(
CREATE TABLE Customers(id INTEGER PRIMARY KEY, name TEXT);
INSERT INTO Customers VALUES (1, 'Ada'), (2, 'Bob'), (3, 'Cy');
-- The key names the parent in other letter case and its column in capitals.
CREATE TABLE orders(ord_no INTEGER PRIMARY KEY, note TEXT, customer_id INTEGER REFERENCES customers(ID));
INSERT INTO orders VALUES (10, 'first', 1), (11, 'second', 1), (12, 'third', 1), (13, 'bob''s', 2), (14, 'lost', 99);
CREATE TABLE lonely(a, b);
INSERT INTO lonely VALUES (1, 2);
)";

class ReferenceDlg : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        ResetDatabaseGlobals();
    }
    void TearDown() override
    {
        m_data.reset();
        DatabaseFixture::TearDown();
    }

    void OpenDatabase(const std::string& script) { DatabaseFixture::OpenDatabase(L"shop.db", script); }

    // Opens the datasheet model of the table (or of a query, mode 1) and runs the dialog
    // on the row.
    Shown Run(const std::wstring& table, int row, int direction, const ChooserAnswer& answer = {}, int mode = RECSET_MODE_TABLE)
    {
        m_data = std::make_unique<CDataAccess>();
        EXPECT_TRUE(m_data->Open(table, mode));
        m_data->InitRowBuffers();
        Shown shown;
        ScopedDialogHandler handler([&](QDialog& dialog) {
            if (auto* chooser = dynamic_cast<CRefTableDlg*>(&dialog)) {
                CAMFCListCtrl* list = chooser->GetList();
                for (int i = 0; i < list->topLevelItemCount(); ++i) {
                    QTreeWidgetItem* item = list->topLevelItem(i);
                    shown.offeredTables.push_back(item->text(0).toStdWString());
                    if (item->text(0).toStdWString() == answer.table)
                        item->setSelected(true);
                }
                QDialogButtonBox* buttons = chooser->findChild<QDialogButtonBox*>();
                QTest::mouseClick(buttons->button(answer.ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel), Qt::LeftButton);
                return chooser->result();
            }
            auto& reference = dynamic_cast<CReferenceDlg&>(dialog);
            shown.title = reference.windowTitle().toStdWString();
            CAMFCListCtrl* list = reference.GetList();
            for (int c = 0; c < list->columnCount(); ++c) {
                shown.columns.push_back(list->headerItem()->text(c).toStdWString());
                shown.widths.push_back(list->header()->sectionSize(c));
            }
            for (int r = 0; r < list->topLevelItemCount(); ++r) {
                std::vector<std::wstring> cells;
                for (int c = 0; c < list->columnCount(); ++c)
                    cells.push_back(list->topLevelItem(r)->text(c).toStdWString());
                shown.rows.push_back(cells);
            }
            dialog.accept();
            return dialog.result();
        });
        CReferenceDlg dialog(row, m_data.get(), nullptr, direction);
        dialog.DoModal();
        return shown;
    }

    std::unique_ptr<CDataAccess> m_data;
};

const Names kOrderColumns = {L"ord_no", L"note", L"customer_id"};

// A table without foreign keys, and a query window, whose source is no table: in
// either direction the list stays without columns and the title as it was.
TEST_F(ReferenceDlg, NoKeysOrNoTableListsNothing)
{
    OpenDatabase(kShop);
    for (int direction : {CReferenceDlg::DIRECTION_PARENT, CReferenceDlg::DIRECTION_CHILDREN}) {
        for (int mode : {RECSET_MODE_TABLE, RECSET_MODE_QUERY}) {
            const Shown shown = Run(mode == RECSET_MODE_TABLE ? L"lonely" : L"SELECT * FROM orders", 0, direction, {}, mode);
            EXPECT_EQ(shown.title, L"Related Table");
            EXPECT_TRUE(shown.columns.empty());
            EXPECT_TRUE(shown.rows.empty());
        }
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// customers(id) is referenced as orders.customer_id, by a key that writes the parent
// as "customers(ID)": the one child is listed without a chooser, its last row first.
TEST_F(ReferenceDlg, OneChildTableListsTheMatchingRowsLastFirst)
{
    OpenDatabase(kShop);
    const Shown shown = Run(L"Customers", 0, CReferenceDlg::DIRECTION_CHILDREN);
    EXPECT_TRUE(shown.offeredTables.empty());
    EXPECT_EQ(shown.title, L"Related To <orders> Table");
    EXPECT_EQ(shown.columns, kOrderColumns);
    EXPECT_EQ(shown.widths, (std::vector<int>{100, 100, 100}));
    EXPECT_EQ(shown.rows, (Rows{{L"12", L"third", L"1"}, {L"11", L"second", L"1"}, {L"10", L"first", L"1"}}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A child with keys to two parents is the child of both; from the parent its first key
// does not name, the rows come through the key to that parent.
TEST_F(ReferenceDlg, ChildOfTwoParentsIsListedFromEachThroughItsOwnKey)
{
    OpenDatabase(R"(
CREATE TABLE stores(code TEXT PRIMARY KEY, city TEXT);
INSERT INTO stores VALUES ('N', 'north'), ('S', 'south');
CREATE TABLE staff(id INTEGER PRIMARY KEY, name TEXT);
INSERT INTO staff VALUES (1, 'Ann'), (2, 'Ben');
CREATE TABLE sales(n INTEGER PRIMARY KEY, store TEXT REFERENCES stores(code), seller INTEGER REFERENCES staff(id));
INSERT INTO sales VALUES (100, 'N', 2), (101, 'S', 1), (102, 'S', 2);
)");
    // Rows in name order: staff is row 0 and 1 of its own table; Ben is row 1.
    const Shown fromStaff = Run(L"staff", 1, CReferenceDlg::DIRECTION_CHILDREN);
    EXPECT_EQ(fromStaff.title, L"Related To <sales> Table");
    EXPECT_EQ(fromStaff.rows, (Rows{{L"102", L"S", L"2"}, {L"100", L"N", L"2"}}));
    const Shown fromStores = Run(L"stores", 1, CReferenceDlg::DIRECTION_CHILDREN);
    EXPECT_EQ(fromStores.rows, (Rows{{L"102", L"S", L"2"}, {L"101", L"S", L"1"}}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(ReferenceDlg, ParentDirectionListsTheReferencedRow)
{
    OpenDatabase(kShop);
    const Shown shown = Run(L"orders", 3, CReferenceDlg::DIRECTION_PARENT);
    EXPECT_EQ(shown.title, L"Related To <customers> Table");
    EXPECT_EQ(shown.columns, (Names{L"id", L"name"}));
    EXPECT_EQ(shown.rows, (Rows{{L"2", L"Bob"}}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A key value that matches nothing, in either direction: the one column that says so.
TEST_F(ReferenceDlg, NoMatchShowsTheNoRecordColumn)
{
    OpenDatabase(kShop);
    struct Case {
        std::wstring table;
        int row;
        int direction;
    };
    for (const Case& c : {Case{L"orders", 4, CReferenceDlg::DIRECTION_PARENT},
                          Case{L"Customers", 2, CReferenceDlg::DIRECTION_CHILDREN}}) {
        SCOPED_TRACE(testing_support::Utf8(c.table));
        const Shown shown = Run(c.table, c.row, c.direction);
        EXPECT_EQ(shown.title, L"Related Table");
        EXPECT_EQ(shown.columns, (Names{L"No related record found"}));
        EXPECT_EQ(shown.widths, (std::vector<int>{250}));
        EXPECT_TRUE(shown.rows.empty());
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

const char kHub[] = R"(
CREATE TABLE hub(id INTEGER PRIMARY KEY, name TEXT);
INSERT INTO hub VALUES (1, 'one'), (2, 'two');
CREATE TABLE c_kid(k INTEGER PRIMARY KEY, hub_id REFERENCES hub(id));
CREATE TABLE a_kid(k INTEGER PRIMARY KEY, hub_id REFERENCES hub(id));
CREATE TABLE b_kid(k INTEGER PRIMARY KEY, owner REFERENCES HUB);
INSERT INTO a_kid VALUES (1, 1);
INSERT INTO b_kid VALUES (5, 1), (6, 2), (7, 1);
INSERT INTO c_kid VALUES (9, 1);
)";

// Several child tables: the chooser offers them in the map's order; the chosen one is
// listed, while Cancel or OK without a marked row leaves the list empty.
TEST_F(ReferenceDlg, SeveralChildTablesAskWhichOne)
{
    OpenDatabase(kHub);
    const Names kids = {L"a_kid", L"b_kid", L"c_kid"};

    Shown shown = Run(L"hub", 0, CReferenceDlg::DIRECTION_CHILDREN, {L"b_kid", true});
    EXPECT_EQ(shown.offeredTables, kids);
    EXPECT_EQ(shown.title, L"Related To <b_kid> Table");
    EXPECT_EQ(shown.rows, (Rows{{L"7", L"1"}, {L"5", L"1"}}));

    for (const ChooserAnswer& answer : {ChooserAnswer{L"b_kid", false}, ChooserAnswer{L"", true}}) {
        shown = Run(L"hub", 0, CReferenceDlg::DIRECTION_CHILDREN, answer);
        EXPECT_EQ(shown.offeredTables, kids);
        EXPECT_EQ(shown.title, L"Related Table");
        EXPECT_TRUE(shown.columns.empty());
        EXPECT_TRUE(shown.rows.empty());
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A key that names no parent column refers to the parent's primary key; a text key
// holding a quote is found in both directions.
TEST_F(ReferenceDlg, TextKeyWithAQuoteThroughThePrimaryKey)
{
    OpenDatabase(R"(
CREATE TABLE authors(born INTEGER, name TEXT PRIMARY KEY);
INSERT INTO authors VALUES (1900, 'Flann O''Brien'), (1920, 'Other');
CREATE TABLE books(title TEXT, author TEXT REFERENCES authors);
INSERT INTO books VALUES ('The Third Policeman', 'Flann O''Brien'), ('Else', 'Other');
)");
    Shown shown = Run(L"books", 0, CReferenceDlg::DIRECTION_PARENT);
    EXPECT_EQ(shown.title, L"Related To <authors> Table");
    EXPECT_EQ(shown.rows, (Rows{{L"1900", L"Flann O'Brien"}}));

    shown = Run(L"authors", 0, CReferenceDlg::DIRECTION_CHILDREN);
    EXPECT_EQ(shown.title, L"Related To <books> Table");
    EXPECT_EQ(shown.rows, (Rows{{L"The Third Policeman", L"Flann O'Brien"}}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A two-column key whose columns pair up crosswise (b with x, a with y): each child
// column is compared with its own parent column, in both directions.
TEST_F(ReferenceDlg, CompositeKeyPairsEachColumnWithItsParentColumn)
{
    OpenDatabase(R"(
CREATE TABLE p(x INTEGER, y INTEGER, label TEXT, PRIMARY KEY(x, y));
INSERT INTO p VALUES (1, 2, 'one-two'), (2, 1, 'two-one');
CREATE TABLE c(a INTEGER, b INTEGER, FOREIGN KEY(b, a) REFERENCES p(x, y));
INSERT INTO c VALUES (2, 1);
)");
    Shown shown = Run(L"c", 0, CReferenceDlg::DIRECTION_PARENT);
    EXPECT_EQ(shown.rows, (Rows{{L"1", L"2", L"one-two"}}));

    shown = Run(L"p", 0, CReferenceDlg::DIRECTION_CHILDREN);
    EXPECT_EQ(shown.rows, (Rows{{L"2", L"1"}}));
    shown = Run(L"p", 1, CReferenceDlg::DIRECTION_CHILDREN);
    EXPECT_EQ(shown.columns, (Names{L"No related record found"}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A table whose key names itself is its own parent and its own child.
TEST_F(ReferenceDlg, SelfReferenceWorksBothWays)
{
    OpenDatabase(R"(
CREATE TABLE staff(id INTEGER PRIMARY KEY, boss INTEGER REFERENCES Staff(id), name TEXT);
INSERT INTO staff VALUES (1, NULL, 'chief'), (2, 1, 'deputy'), (3, 1, 'clerk'), (4, 2, 'aide');
)");
    Shown shown = Run(L"staff", 3, CReferenceDlg::DIRECTION_PARENT);
    EXPECT_EQ(shown.title, L"Related To <Staff> Table");
    EXPECT_EQ(shown.rows, (Rows{{L"2", L"1", L"deputy"}}));

    shown = Run(L"staff", 0, CReferenceDlg::DIRECTION_CHILDREN);
    EXPECT_TRUE(shown.offeredTables.empty());
    EXPECT_EQ(shown.title, L"Related To <staff> Table");
    EXPECT_EQ(shown.rows, (Rows{{L"3", L"1", L"clerk"}, {L"2", L"1", L"deputy"}}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A row that fails while the list is read ends the list with the error shown; the
// rows read before it stay listed.
TEST_F(ReferenceDlg, FailingRowEndsTheListWithTheError)
{
    OpenDatabase(R"(
CREATE TABLE Customers(id INTEGER PRIMARY KEY, name TEXT);
INSERT INTO Customers VALUES (1, 'Ada');
CREATE TABLE gen(id INTEGER PRIMARY KEY, cust INTEGER REFERENCES Customers(id), v INTEGER);
INSERT INTO gen VALUES (1, 1, -5), (2, 1, -9223372036854775807 - 1), (3, 1, 7);
-- Computed when read: the second row fails with an integer overflow.
ALTER TABLE gen ADD COLUMN g AS (abs(v));
)");
    const Shown shown = Run(L"Customers", 0, CReferenceDlg::DIRECTION_CHILDREN);
    EXPECT_EQ(shown.title, L"Related To <gen> Table");
    EXPECT_EQ(shown.rows, (Rows{{L"1", L"1", L"-5", L"5"}}));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"integer overflow"), std::wstring::npos);
    EXPECT_NE(m_boxes.Last().text.find(L"Location <00003>"), std::wstring::npos);
    EXPECT_EQ(m_boxes.Last().caption, L"Error");
}

} // namespace
