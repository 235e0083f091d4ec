// New Window: a second window on one document, the rows of a table, a view or a query.
// What one window does to the rows (an edit, an insert, a delete, a sort that loads
// them again, a search) shows in the other at once and is in the file, beside another
// program's connection in rollback-journal and WAL mode; the windows are numbered in
// their titles while there are several, each keeps its own selection and open cell and
// stores its typed cell when it closes, and the last one closes the document. New Window
// applies to those rows only.
#include "data/cadbsqldb.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "document/grid/clistctrlcombo.h"
#include "document/grid/cplheaderctrl.h"
#include "document/strip/ccaptiondlg.h"
#include "document/windows/ctabulondoc.h"
#include "document/windows/ctabulonview.h"
#include "document/windows/datasheetframe.h"
#include "document/windows/datawindows.h"
#include "datawindowfixture.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTest>

#include <sqlite3.h>

#include <string>
#include <vector>

using testing_support::ExecRaw;
using testing_support::OtherConnection;
using testing_support::QueryRaw;

namespace {

enum Column { ID, NAME, QTY };

// Rows 1 to 10: id n, name 'n' || n, qty n * 10.
const std::string kNumbered = "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, qty INTEGER);"
                              "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 10)"
                              " INSERT INTO t SELECT x, 'n' || x, x * 10 FROM c;"
                              "CREATE VIEW v AS SELECT id, name FROM t WHERE id > 2;";

class NewWindow : public DataWindowFixture {
protected:
    void Open(const std::string& journal = "DELETE")
    {
        ASSERT_NO_FATAL_FAILURE(
            OpenDatabase(L"windows.db", "PRAGMA journal_mode=" + journal + ";" + kNumbered));
    }

    static std::vector<CTabulonView*> Views(CTabulonDoc* document)
    {
        std::vector<CTabulonView*> views;
        for (CView* view : document->GetViews())
            views.push_back(qobject_cast<CTabulonView*>(view));
        return views;
    }
    // New Window on the document's first window, as the Window menu does it.
    static CTabulonView* NewWindowOn(CTabulonDoc* document)
    {
        Views(document).front()->GetParentFrame()->ActivateFrame();
        return OpenNewDataWindow();
    }
    static CListCtrlCombo* Grid(CTabulonView* view) { return view->m_wndGrid.GetGrid(); }
    static QString Title(CTabulonView* view) { return view->GetParentFrame()->windowTitle(); }
    // Every row's text of the column, the new-row line left out.
    static std::wstring Texts(CListCtrlCombo* grid, int column)
    {
        std::wstring texts;
        for (int row = 0; row < grid->GetRecordCount(); ++row)
            texts += (row ? L"," : L"") + grid->GetItemText(row, column);
        return texts;
    }
    static void WaitLoaded(CTabulonDoc* document)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return Grid(Views(document).front())->HasNewRowLine(); }, 10000));
    }
    // Opens the cell's edit box and types the text over the cell's own.
    static void TypeCell(CListCtrlCombo* grid, int row, int column, const QString& text)
    {
        grid->BeginEdit(row, column, true);
        auto* editor = qobject_cast<QLineEdit*>(grid->GetEditorWidget(column));
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
    }
    static void ClickHeader(CListCtrlCombo* grid, int column)
    {
        CPLHeaderCtrl* header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(),
                          QPoint(header->sectionViewportPosition(column) + 50, header->height() / 2));
    }
    // The temporary views the program's connection has made for query and view windows.
    static int TemporaryViews()
    {
        sqlite3_stmt* count = nullptr;
        sqlite3_prepare_v2(g_pCurrentDb->m_pDb, "SELECT count(*) FROM temp.sqlite_master WHERE type = 'view'", -1,
                           &count, nullptr);
        const int views = sqlite3_step(count) == SQLITE_ROW ? sqlite3_column_int(count, 0) : -1;
        sqlite3_finalize(count);
        return views;
    }
    static std::vector<int> Selected(CListCtrlCombo* grid)
    {
        std::vector<int> rows;
        grid->m_bSelectionRestart = 1;
        for (int row = grid->GetNextSelectedItem(); row >= 0; row = grid->GetNextSelectedItem())
            rows.push_back(row);
        return rows;
    }
};

// The windows of one document are numbered while there are several; a table named like a
// numbered title is a window of its own; the tree's look-up finds the document's first
// window; closing one window keeps the document, closing the last closes it.
TEST_F(NewWindow, WindowsAreNumberedAndTheFirstIsTheOneFound)
{
    Open();
    ExecRaw(m_path, "CREATE TABLE \"t:1\"(x); INSERT INTO \"t:1\" VALUES('own');");
    CTabulonDoc* document = Request(OpenTableData, L"t");
    ASSERT_NE(document, nullptr);
    CTabulonView* first = Views(document).front();
    EXPECT_EQ(Title(first), "t");
    CTabulonView* second = NewWindowOn(document);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(WindowCount(), 1u);
    EXPECT_EQ(Views(document), (std::vector<CTabulonView*>{first, second}));
    EXPECT_EQ(Title(first), "t:1");
    EXPECT_EQ(Title(second), "t:2");
    EXPECT_EQ(m_area.activeSubWindow(), second->GetParentFrame());
    EXPECT_EQ(m_captionBar.GetTargetFrame(), second->m_pDatasheet.get());
    EXPECT_EQ(document->GetTitle(), L"t");

    CTabulonDoc* named = Request(OpenTableData, L"t:1");
    ASSERT_NE(named, nullptr);
    EXPECT_NE(named, document);
    EXPECT_EQ(Title(Views(named).front()), "t:1");
    EXPECT_EQ(FindDataDocument(OpenTableData, L"t:1"), named);
    EXPECT_EQ(FindDataDocument(OpenTableData, L"t"), document);
    EXPECT_TRUE(ActivateDataWindow(OpenTableData, L"t"));
    EXPECT_EQ(m_area.activeSubWindow(), first->GetParentFrame());
    EXPECT_TRUE(ActivateDataWindow(OpenTableData, L"t:1"));
    EXPECT_EQ(m_area.activeSubWindow(), Views(named).front()->GetParentFrame());
    EXPECT_EQ(Grid(Views(named).front())->GetItemText(0, 0), L"own");

    delete first->GetParentFrame();
    EXPECT_EQ(WindowCount(), 2u);
    EXPECT_EQ(Title(second), "t");
    EXPECT_EQ(Grid(second)->GetItemText(0, NAME), L"n1");
    EXPECT_TRUE(ActivateDataWindow(OpenTableData, L"t"));
    EXPECT_EQ(m_area.activeSubWindow(), second->GetParentFrame());
    delete second->GetParentFrame();
    EXPECT_EQ(WindowCount(), 1u);
    EXPECT_EQ(FindDataDocument(OpenTableData, L"t"), nullptr);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// New Window applies to the rows of a table, a view and a query, and to nothing else.
TEST_F(NewWindow, AppliesToTheRowsOfTablesViewsAndQueriesOnly)
{
    Open();
    EXPECT_FALSE(CanOpenNewDataWindow()); // no window at all
    EXPECT_EQ(OpenNewDataWindow(), nullptr);
    InitPragmaSettingList();
    const struct {
        int kind;
        const wchar_t* text;
        bool applies;
    } cases[] = {
        {OpenTableData, L"t", true},
        {OpenViewData, L"v", true},
        {OpenSqlQuery, L"SELECT * FROM t", true},
        {OpenPragmaQuery, L"PRAGMA table_info(t)", false},
        {OpenDatabaseSettings, STR_DATABASE_SETTINGS_TITLE, false},
        {OpenRelationships, STR_TABLE_RELATION_TITLE, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing_support::Utf8(c.text));
        CTabulonDoc* document = Request(c.kind, c.text);
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(CanOpenNewDataWindow(), c.applies);
        const size_t windows = m_area.subWindowList().size();
        CTabulonView* view = OpenNewDataWindow();
        EXPECT_EQ(view != nullptr, c.applies);
        EXPECT_EQ(m_area.subWindowList().size(), windows + (c.applies ? 1 : 0));
        EXPECT_EQ(document->GetViews().size(), c.applies ? 2u : 1u);
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Two windows on one table, in either journal mode, beside another program's connection:
// each change made in one window shows in the other at once and is in the file.
class NewWindowOnATable : public NewWindow, public testing::WithParamInterface<const char*> {};

TEST_P(NewWindowOnATable, WhatOneWindowDoesShowsInTheOtherAndInTheFile)
{
    Open(GetParam());
    ASSERT_EQ(QueryRaw(m_path, "PRAGMA journal_mode"), QString::fromLatin1(GetParam()).toLower().toStdString());
    OtherConnection other(m_path);
    CTabulonDoc* document = Request(OpenTableData, L"t");
    ASSERT_NE(document, nullptr);
    WaitLoaded(document);
    CTabulonView* first = Views(document).front();
    CTabulonView* second = NewWindowOn(document);
    ASSERT_NE(second, nullptr);
    CListCtrlCombo* a = Grid(first);
    CListCtrlCombo* b = Grid(second);
    ASSERT_EQ(b->GetItemCount(), 11);

    // An edit in the first window.
    ASSERT_NO_FATAL_FAILURE(TypeCell(a, 2, NAME, QStringLiteral("edited")));
    a->EndEdit(-1);
    EXPECT_EQ(b->GetItemText(2, NAME), L"edited");
    EXPECT_EQ(QueryRaw(m_path, "SELECT name FROM t WHERE id = 3"), "edited");

    // A row inserted from the second window's new-row line.
    second->GetParentFrame()->ActivateFrame();
    second->m_pDatasheet->OnGridAddRow();
    ASSERT_EQ(b->m_nCurrentRow, 10);
    b->EndEdit(10);
    ASSERT_NO_FATAL_FAILURE(TypeCell(b, 10, NAME, QStringLiteral("added")));
    b->EndEdit(-1);
    EXPECT_EQ(a->GetItemCount(), 12);
    EXPECT_EQ(a->GetItemText(10, NAME), L"added");
    EXPECT_EQ(QueryRaw(m_path, "SELECT id || name FROM t WHERE id = 11"), "11added");

    // The other program adds a row; the first window deletes two.
    ASSERT_EQ(other.Exec("INSERT INTO t VALUES(50, 'theirs', 500)"), SQLITE_OK);
    first->GetParentFrame()->ActivateFrame();
    a->ClearSelection();
    a->SelectRows(0, 1);
    m_boxes.QueueAnswer(platform::IDYES);
    first->m_pDatasheet->OnGridDeleteRows();
    EXPECT_EQ(b->GetItemCount(), 10);
    EXPECT_EQ(Texts(b, ID), L"3,4,5,6,7,8,9,10,11");
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(id) FROM t"), "3,4,5,6,7,8,9,10,11,50");

    // A sort in the second window loads the rows again, the other program's row too, in
    // both windows.
    ClickHeader(b, QTY);
    ClickHeader(b, QTY); // descending
    WaitLoaded(document);
    EXPECT_EQ(Texts(b, ID), L"50,10,9,8,7,6,5,4,3,11"); // 11 has no qty
    EXPECT_EQ(Texts(a, ID), Texts(b, ID));
    EXPECT_EQ(a->horizontalHeader()->GetSortState(), SORT_MARK_DESCENDING);

    // A search in the first window selects its first hit there; the second window goes
    // on from it to the next hit, each selecting in its own grid.
    a->ClearSelection();
    EXPECT_TRUE(first->m_pDatasheet->OnGridSearch(SEARCH_ANY_PART_OF_FIELD, L"0"));
    EXPECT_EQ(Selected(a), std::vector<int>{0}); // qty 500
    second->GetParentFrame()->ActivateFrame();
    EXPECT_TRUE(m_captionBar.GetCaptionDlg()->GetControl(CCaptionDlg::FindNext)->isEnabled());
    b->ClearSelection();
    EXPECT_TRUE(second->m_pDatasheet->OnGridFindNext());
    EXPECT_EQ(Selected(b), std::vector<int>{1}); // qty 100
    EXPECT_EQ(Selected(a), std::vector<int>{0});

    EXPECT_EQ(m_boxes.Count(), 1u); // the delete's question
    EXPECT_EQ(QueryRaw(m_path, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(other.Exec("UPDATE t SET qty = qty + 1"), SQLITE_OK);
}

INSTANTIATE_TEST_SUITE_P(JournalModes, NewWindowOnATable, testing::Values("DELETE", "WAL"));

// Two windows on a view and on a query: both show the rows of the one run, and each
// selects a row of its own.
TEST_F(NewWindow, AViewOrAQueryShowsItsRowsInBothWindows)
{
    Open();
    const struct {
        int kind;
        const wchar_t* text;
        const char* title;
    } cases[] = {
        {OpenViewData, L"v", "v"},
        {OpenSqlQuery, L"SELECT id, name FROM t WHERE id > 2", "<Query1>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        CTabulonDoc* document = Request(c.kind, c.text);
        ASSERT_NE(document, nullptr);
        WaitLoaded(document);
        const int views = TemporaryViews();
        CTabulonView* first = Views(document).front();
        CTabulonView* second = NewWindowOn(document);
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(TemporaryViews(), views); // the rows of the first window's one run
        EXPECT_EQ(Title(first), QString::fromLatin1(c.title) + ":1");
        EXPECT_EQ(Title(second), QString::fromLatin1(c.title) + ":2");
        EXPECT_TRUE(second->m_wndGrid.IsReadOnly());
        EXPECT_EQ(Texts(Grid(second), NAME), L"n3,n4,n5,n6,n7,n8,n9,n10");
        EXPECT_EQ(Texts(Grid(first), NAME), Texts(Grid(second), NAME));

        EXPECT_FALSE(first->m_pDatasheet->OnGridSearch(SEARCH_START_OF_FIELD, L"2"));
        EXPECT_FALSE(second->m_pDatasheet->OnGridSearch(SEARCH_START_OF_FIELD, L"5"));
        EXPECT_EQ(Selected(Grid(first)), std::vector<int>{1});
        EXPECT_EQ(Selected(Grid(second)), std::vector<int>{4});

        delete first->GetParentFrame();
        EXPECT_EQ(Title(second), QString::fromLatin1(c.title));
        EXPECT_EQ(Grid(second)->GetItemText(7, NAME), L"n10");
        document->OnCloseDocument();
    }
    EXPECT_EQ(WindowCount(), 0u);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A text typed into a cell of each window: the window that closes stores its own, the
// other keeps its cell open with its text, and the last one stores its text as it
// closes the document. The area is hidden, so no focus moves and stores anything.
TEST_F(NewWindow, EachWindowStoresItsTypedCellWhenItCloses)
{
    Open();
    m_area.hide();
    for (const bool firstCloses : {true, false}) {
        SCOPED_TRACE(firstCloses ? "the first closes first" : "the second closes first");
        ExecRaw(m_path, "UPDATE t SET name = 'n' || id");
        CTabulonDoc* document = Request(OpenTableData, L"t");
        ASSERT_NE(document, nullptr);
        WaitLoaded(document);
        CTabulonView* first = Views(document).front();
        CTabulonView* second = DataWindowTemplate().OpenNewWindow(document) ? Views(document).back() : nullptr;
        ASSERT_NE(second, nullptr);
        ASSERT_NO_FATAL_FAILURE(TypeCell(Grid(first), 1, NAME, QStringLiteral("one")));
        ASSERT_NO_FATAL_FAILURE(TypeCell(Grid(second), 4, NAME, QStringLiteral("two")));
        ASSERT_EQ(QueryRaw(m_path, "SELECT group_concat(name) FROM t WHERE id IN (2, 5)"), "n2,n5");

        CTabulonView* closing = firstCloses ? first : second;
        CTabulonView* staying = firstCloses ? second : first;
        const int stayingRow = firstCloses ? 4 : 1;
        delete closing->GetParentFrame();
        EXPECT_EQ(QueryRaw(m_path, "SELECT name FROM t WHERE id = " + std::string(firstCloses ? "2" : "5")),
                  firstCloses ? "one" : "two");
        EXPECT_EQ(QueryRaw(m_path, "SELECT name FROM t WHERE id = " + std::string(firstCloses ? "5" : "2")),
                  firstCloses ? "n5" : "n2");
        EXPECT_EQ(Grid(staying)->m_nCurrentRow, stayingRow);
        EXPECT_EQ(qobject_cast<QLineEdit*>(Grid(staying)->GetEditorWidget(NAME))->text(), firstCloses ? "two" : "one");
        EXPECT_EQ(WindowCount(), 1u);

        delete staying->GetParentFrame();
        EXPECT_EQ(WindowCount(), 0u);
        EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(name) FROM t WHERE id IN (2, 5)"), "one,two");
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The table's windows closed for a change of the table come back on its new name, each
// at its tab and on the rows it showed, and the one that was active is active again.
TEST_F(NewWindow, EveryWindowOfARenamedTableComesBackWhereItWas)
{
    m_area.setViewMode(QMdiArea::TabbedView);
    Open();
    ExecRaw(m_path, "CREATE TABLE big(id INTEGER PRIMARY KEY, v TEXT);"
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500)"
                    "INSERT INTO big SELECT i, 'row ' || i FROM n;");
    LoadTableNames();
    CTabulonDoc* big = Request(OpenTableData, L"big");
    ASSERT_NE(big, nullptr);
    ASSERT_NE(Request(OpenTableData, L"t"), nullptr);
    CTabulonView* second = NewWindowOn(big);
    ASSERT_NE(second, nullptr);
    // Tabs: big:1, t, big:2; the second window of big is active.
    ASSERT_EQ(m_area.subWindowList().indexOf(second->GetParentFrame()), 2);
    const struct {
        int row;
        int column;
    } places[] = {{120, 0}, {400, 1}};
    std::vector<int> tops;
    for (size_t i = 0; i < 2; ++i) {
        CListCtrlCombo* grid = Grid(Views(big)[i]);
        grid->SelectRow(places[i].row);
        grid->SetCursorCell(places[i].row, places[i].column);
        tops.push_back(grid->GetTopIndex());
    }
    ASSERT_NE(tops[0], tops[1]);
    m_area.setActiveSubWindow(second->GetParentFrame());

    const TableWindowPlace place(big);
    EXPECT_EQ(WindowCount(), 1u);
    ExecRaw(m_path, "ALTER TABLE big RENAME TO huge");
    CTabulonDoc* huge = place.Reopen(L"huge");
    ASSERT_NE(huge, nullptr);
    const std::vector<CTabulonView*> views = Views(huge);
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(Title(views[0]), "huge:1");
    EXPECT_EQ(Title(views[1]), "huge:2");
    EXPECT_EQ(m_area.subWindowList().indexOf(views[0]->GetParentFrame()), 0);
    EXPECT_EQ(m_area.subWindowList().indexOf(views[1]->GetParentFrame()), 2);
    EXPECT_EQ(m_area.activeSubWindow(), views[1]->GetParentFrame());
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        CListCtrlCombo* grid = Grid(views[i]);
        EXPECT_EQ(grid->GetTopIndex(), tops[i]);
        EXPECT_EQ(grid->GetCursorRow(), places[i].row);
        EXPECT_EQ(grid->GetCursorColumn(), places[i].column);
        EXPECT_EQ(Selected(grid), std::vector<int>{places[i].row});
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

} // namespace
