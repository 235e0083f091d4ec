// Data windows of every kind through the document template: titles, windows (or none),
// the request's consumption, the one run of a PRAGMA, statements without a window, the
// open of a database file and the copy of a database's structure.
#include "document/windows/ctabulondoc.h"

#include "data/cadbsqldb.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/rowloader.h"
#include "document/strip/ccaptiondlg.h"
#include "document/report/cchildview.h"
#include "document/grid/celleditorowner.h"
#include "document/grid/clistctrlcombo.h"
#include "document/diagram/crelationshipdiagram.h"
#include "document/windows/ctabulonview.h"
#include "document/windows/datawindows.h"
#include "datawindowfixture.h"
#include "platform/widgets/presenters.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QTest>

#include <sqlite3.h>

using testing_support::ExecRaw;
using testing_support::QueryRaw;
using testing_support::Utf8;

namespace {

const char* const kFixture =
    "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, born DATE, at TIME, stamp DATETIME, photo BLOB);"
    "INSERT INTO t VALUES(1, 'a', '2020-01-01', '10:00', '2020-01-01 10:00', x'01');"
    "INSERT INTO t VALUES(2, 'b', NULL, NULL, NULL, NULL);"
    "INSERT INTO t VALUES(3, 'c', NULL, NULL, NULL, NULL);"
    "CREATE VIEW v AS SELECT id, name FROM t WHERE id > 1;"
    "CREATE TABLE child(id INTEGER PRIMARY KEY, tid REFERENCES t(id));";

// Counts the runs of one statement text on a connection.
class StatementRuns {
public:
    StatementRuns(sqlite3* db, const std::string& sql)
        : m_db(db)
        , m_sql(sql)
    {
        sqlite3_trace_v2(m_db, SQLITE_TRACE_STMT, &StatementRuns::OnTrace, this);
    }
    ~StatementRuns() { sqlite3_trace_v2(m_db, 0, nullptr, nullptr); }
    int Count() const { return m_nCount; }

private:
    static int OnTrace(unsigned, void* context, void* statement, void*)
    {
        auto* self = static_cast<StatementRuns*>(context);
        if (self->m_sql == sqlite3_sql(static_cast<sqlite3_stmt*>(statement)))
            ++self->m_nCount;
        return 0;
    }
    sqlite3* m_db;
    std::string m_sql;
    int m_nCount = 0;
};

class DataWindows : public DataWindowFixture {
protected:
    void SetUp() override
    {
        DataWindowFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(OpenDatabase(L"kinds.db", kFixture));
    }
    static CTabulonView* ViewOf(CTabulonDoc* document)
    {
        return document ? qobject_cast<CTabulonView*>(document->GetViews().front()) : nullptr;
    }
    std::string UserVersion() const { return QueryRaw(m_path, "PRAGMA user_version"); }
};

TEST_F(DataWindows, EveryKindGetsItsTitleAndWindowOrNone)
{
    const struct {
        int mode;
        const wchar_t* text;
        const wchar_t* title; // null: no window
    } cases[] = {
        {OpenTableData, L"t", L"t"},
        {OpenViewData, L"v", L"v"},
        {OpenRelationships, STR_TABLE_RELATION_TITLE, STR_TABLE_RELATION_TITLE},
        {OpenPragmaQuery, L"PRAGMA table_info(t)", L"PRAGMA table_info(t)"},
        {OpenDatabaseSettings, STR_DATABASE_SETTINGS_TITLE, STR_DATABASE_SETTINGS_TITLE},
        {OpenTableData, L"", nullptr},
        {OpenNone, L"t", nullptr},
        {4, L"t", nullptr},
        {8, L"t", nullptr},
    };
    size_t windows = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.text) + " kind " + std::to_string(c.mode));
        CTabulonDoc* document = Request(c.mode, c.text);
        if (!c.title) {
            EXPECT_EQ(document, nullptr);
            EXPECT_EQ(WindowCount(), windows);
            continue;
        }
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(WindowCount(), ++windows);
        EXPECT_EQ(document->m_nKind, c.mode);
        EXPECT_EQ(document->GetTitle(), c.title);
        CTabulonView* view = ViewOf(document);
        ASSERT_NE(view, nullptr);
        ASSERT_NE(view->GetParentFrame(), nullptr);
        EXPECT_EQ(view->GetParentFrame()->windowTitle(), QString::fromWCharArray(c.title));
        EXPECT_TRUE(view->GetParentFrame()->isVisible());
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(DataWindows, TablesAndViewsWithAwkwardNamesOpenWithTheirRows)
{
    ExecRaw(m_path, "CREATE TABLE \"a]b\"(x); INSERT INTO \"a]b\" VALUES(1), (2);"
                    "CREATE TABLE \"'; DROP TABLE t; --\"(y); INSERT INTO \"'; DROP TABLE t; --\" VALUES('z');"
                    "CREATE VIEW \"v\"\"w\" AS SELECT * FROM t;");
    const struct {
        int mode;
        const wchar_t* name;
        int rows;
    } cases[] = {{OpenTableData, L"a]b", 2}, {OpenTableData, L"'; DROP TABLE t; --", 1}, {OpenViewData, L"v\"w", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.name));
        CTabulonDoc* document = Request(c.mode, c.name);
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->GetTitle(), c.name);
        EXPECT_EQ(ViewOf(document)->m_wndGrid.GetGrid()->GetRecordCount(), c.rows);
    }
    EXPECT_EQ(QueryRaw(m_path, "SELECT count(*) FROM t"), "3");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(DataWindows, QueriesAreNumberedAndAMultiLineSelectOpensAWindow)
{
    CTabulonDoc* first = Request(OpenSqlQuery, L"SELECT * FROM t");
    CTabulonDoc* second = Request(OpenSqlQuery, L"\n\t select name\nFROM t\nWHERE id > 1");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    const std::wstring title = first->GetTitle();
    ASSERT_EQ(title.rfind(L"<Query", 0), 0u);
    const int number = std::stoi(title.substr(6));
    EXPECT_EQ(second->GetTitle(), L"<Query" + std::to_wstring(number + 1) + L">");
    EXPECT_EQ(ViewOf(second)->m_wndGrid.GetGrid()->GetRecordCount(), 2);
    EXPECT_TRUE(ViewOf(second)->m_wndGrid.IsReadOnly());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(DataWindows, StatementsWithoutRowsRunWithoutAWindow)
{
    EXPECT_EQ(Request(OpenSqlQuery, L"UPDATE t SET name = 'z' WHERE id = 3"), nullptr);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, STR_EXECUTED_STATEMENT);
    EXPECT_EQ(QueryRaw(m_path, "SELECT name FROM t WHERE id = 3"), "z");

    // A RETURNING clause gives rows, but the write is what was asked for: done once, and reported done.
    m_boxes.Clear();
    EXPECT_EQ(Request(OpenSqlQuery, L"INSERT INTO t(name) VALUES('r') RETURNING id"), nullptr);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, STR_EXECUTED_STATEMENT);
    EXPECT_EQ(QueryRaw(m_path, "SELECT count(*) FROM t WHERE name = 'r'"), "1");

    // A statement that does not prepare is run, and so shows why.
    m_boxes.Clear();
    EXPECT_EQ(Request(OpenSqlQuery, L"SELECT * FROM missing"), nullptr);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().caption, STR_ERROR_CAPTION);
    EXPECT_NE(m_boxes.Last().text.find(L"no such table: missing"), std::wstring::npos);
    EXPECT_NE(m_boxes.Last().text.find(LOC_EXECUTE_SQL), std::wstring::npos);
    EXPECT_EQ(WindowCount(), 0u);

    // A statement that only reads and gives columns is a result, whatever its first word
    // or how it is written: SELECT glued to "*", WITH, VALUES, after a comment.
    for (const wchar_t* query : {L"SELECT*FROM t", L"WITH w AS (SELECT id FROM t) SELECT * FROM w", L"VALUES (1, 2)",
                                 L"/* first */ -- line\nSELECT name FROM t"}) {
        SCOPED_TRACE(Utf8(query));
        m_boxes.Clear();
        CTabulonDoc* document = Request(OpenSqlQuery, query);
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(m_boxes.Count(), 0u);
        EXPECT_GT(document->m_pDataAccess->GetRecordCount(), 0);
        document->OnCloseDocument();
    }
}

TEST_F(DataWindows, TheRequestIsConsumedByItsFileNew)
{
    ASSERT_NE(Request(OpenRelationships, STR_TABLE_RELATION_TITLE), nullptr);
    EXPECT_EQ(g_openRequest.m_strText, L"");
    EXPECT_EQ(g_openRequest.m_nMode, OpenNone);
    EXPECT_EQ(DataWindowTemplate().OpenNewDocument(), nullptr);
    EXPECT_EQ(WindowCount(), 1u);

    // An assignment ran without a window; a later File New never runs it again.
    StatementRuns runs(g_pCurrentDb->m_pDb, "PRAGMA user_version = 3");
    EXPECT_EQ(Request(OpenPragmaQuery, L"PRAGMA user_version = 3"), nullptr);
    EXPECT_EQ(DataWindowTemplate().OpenNewDocument(), nullptr);
    EXPECT_EQ(runs.Count(), 1);
    EXPECT_EQ(g_openRequest.m_strText, L"");
    EXPECT_EQ(WindowCount(), 1u);
}

TEST_F(DataWindows, APragmaRunsOnceAndItsWindowShowsThatRun)
{
    StatementRuns runs(g_pCurrentDb->m_pDb, "PRAGMA table_info(t)");
    CTabulonDoc* document = Request(OpenPragmaQuery, L"PRAGMA table_info(t)");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(runs.Count(), 1);
    const CListCtrlCombo* grid = ViewOf(document)->m_wndGrid.GetGrid();
    ASSERT_EQ(grid->GetColumnCount(), 6);
    EXPECT_EQ(grid->m_arrColumns[1].m_strTitle, L"name");
    ASSERT_EQ(grid->GetItemCount(), 6);
    EXPECT_EQ(grid->GetItemText(5, 1), L"photo");
    EXPECT_EQ(grid->GetItemText(5, 2), L"BLOB");
}

TEST_F(DataWindows, PragmaAssignmentWithOrWithoutBlanksAroundTheEqualsSignRunsWithoutAWindow)
{
    EXPECT_EQ(Request(OpenPragmaQuery, L"PRAGMA user_version = 5"), nullptr);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, STR_PRAGMA_SUCCEEDED);
    EXPECT_EQ(UserVersion(), "5");

    // The statement's words are read as the engine reads them: "=" is a word of its own
    // also without blanks around it.
    m_boxes.Clear();
    EXPECT_EQ(Request(OpenPragmaQuery, L"PRAGMA user_version=6"), nullptr);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, STR_PRAGMA_SUCCEEDED);
    EXPECT_EQ(UserVersion(), "6");
    EXPECT_EQ(WindowCount(), 0u);

    // A PRAGMA that gives no rows opens the window of the empty result.
    CTabulonDoc* document = Request(OpenPragmaQuery, L"PRAGMA table_info(missing)");
    ASSERT_NE(document, nullptr);
    const CListCtrlCombo* grid = ViewOf(document)->m_wndGrid.GetGrid();
    ASSERT_EQ(grid->GetColumnCount(), 1);
    EXPECT_EQ(grid->m_arrColumns[0].m_strTitle, STR_PRAGMA_NO_RESULT);
    EXPECT_EQ(grid->GetItemCount(), 0);
}

TEST_F(DataWindows, AFailingPragmaShowsTheErrorAndOpensNoWindow)
{
    for (const wchar_t* statement : {L"PRAGMA nosuch.user_version = 1", L"PRAGMA table_info(", L"PRAGMA nosuch.table_info(t)"}) {
        SCOPED_TRACE(Utf8(statement));
        m_boxes.Clear();
        EXPECT_EQ(Request(OpenPragmaQuery, statement), nullptr);
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_EQ(m_boxes.Last().caption, STR_ERROR_CAPTION);
        EXPECT_NE(m_boxes.Last().text.find(LOC_EXECUTE_SQL), std::wstring::npos);
        EXPECT_EQ(m_boxes.Last().text.find(STR_PRAGMA_SUCCEEDED), std::wstring::npos);
        EXPECT_EQ(WindowCount(), 0u);
    }
}

TEST_F(DataWindows, DatasheetColumnsTakeTheirEditorsByTypeAndAreAllOfOneWidth)
{
    CTabulonDoc* document = Request(OpenTableData, L"t");
    ASSERT_NE(document, nullptr);
    const CListCtrlCombo* grid = ViewOf(document)->m_wndGrid.GetGrid();
    const GridEditorKind expected[] = {GRID_EDIT, GRID_EDIT, GRID_DATE_EDIT, GRID_TIME_EDIT, GRID_DATE_EDIT, GRID_BUTTON};
    ASSERT_EQ(grid->GetColumnCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(grid->m_arrColumns[static_cast<size_t>(i)].m_nEditorKind, expected[i]) << i;
        EXPECT_EQ(grid->m_arrColumns[static_cast<size_t>(i)].m_nWidth, DATASHEET_COLUMN_WIDTH) << i;
    }
    EXPECT_FALSE(ViewOf(document)->m_wndGrid.IsReadOnly());
    // Three rows, all loaded at once: the new-row line follows and File > Open is enabled.
    EXPECT_EQ(grid->GetItemCount(), 4);
    EXPECT_FALSE(m_mainFrame.m_bDatasheetLoading);
}

TEST_F(DataWindows, ATableWithoutAUsableRowidOpensItsGridReadOnly)
{
    ExecRaw(m_path, "CREATE TABLE w(k TEXT PRIMARY KEY, v) WITHOUT ROWID; INSERT INTO w VALUES('a', 1);"
                    "CREATE TABLE s(rowid, oid, _rowid_); INSERT INTO s VALUES(1, 2, 3);");
    for (const wchar_t* table : {L"w", L"s"}) {
        CTabulonDoc* document = Request(OpenTableData, table);
        ASSERT_NE(document, nullptr) << Utf8(table);
        // No cell editor may open on rows that cannot be addressed.
        EXPECT_TRUE(ViewOf(document)->m_wndGrid.IsReadOnly()) << Utf8(table);
    }
}

TEST_F(DataWindows, ActivationNamesTheWindowInTheCaptionStrip)
{
    CTabulonDoc* table = Request(OpenTableData, L"t");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(m_captionBar.GetCaptionDlg()->GetMessageText(), L"<Active View:t>");
    CTabulonDoc* diagram = Request(OpenRelationships, STR_TABLE_RELATION_TITLE);
    ASSERT_NE(diagram, nullptr);
    EXPECT_EQ(m_captionBar.GetCaptionDlg()->GetMessageText(), L"<Active View:<Table Relation>>");
    EXPECT_EQ(DataWindowTemplate().GetActiveView(), ViewOf(diagram));
    ASSERT_NE(ViewOf(diagram)->m_pDiagram, nullptr);
    EXPECT_EQ(ViewOf(diagram)->m_pDiagram->GetWindows().size(), 2u);

    ViewOf(table)->GetParentFrame()->ActivateFrame();
    EXPECT_EQ(DataWindowTemplate().GetActiveView(), ViewOf(table));
    EXPECT_EQ(m_captionBar.GetCaptionDlg()->GetMessageText(), L"<Active View:t>");
    EXPECT_EQ(m_captionBar.GetTargetFrame(), ViewOf(table)->m_pDatasheet.get());

    // A list window's activation disables the strip and leaves its target alone.
    InitPragmaSettingList();
    CCaptionDlg* strip = m_captionBar.GetCaptionDlg();
    ASSERT_TRUE(strip->GetControl(CCaptionDlg::Search)->isEnabled());
    ASSERT_NE(Request(OpenDatabaseSettings, STR_DATABASE_SETTINGS_TITLE), nullptr);
    for (int i = 0; i < CCaptionDlg::ControlCount; ++i)
        EXPECT_FALSE(strip->GetControl(i)->isEnabled()) << i;
    EXPECT_EQ(m_captionBar.GetTargetFrame(), ViewOf(table)->m_pDatasheet.get());
}

TEST_F(DataWindows, TheGridCoversTheViewOnceTheLayoutIsReady)
{
    InitPragmaSettingList();
    CTabulonDoc* document = Request(OpenDatabaseSettings, STR_DATABASE_SETTINGS_TITLE);
    ASSERT_NE(document, nullptr);
    CTabulonView* view = ViewOf(document);
    QTRY_VERIFY(view->m_bLayoutReady != 0);
    EXPECT_EQ(view->m_wndGrid.geometry(), view->rect().adjusted(-2, -3, 2, 3));
    const CListCtrlCombo* grid = view->m_wndGrid.GetGrid();
    ASSERT_EQ(grid->GetItemCount(), 37);
    EXPECT_EQ(grid->GetItemText(15, 0), L"journal_mode");
    EXPECT_EQ(grid->GetItemText(15, 1), L"delete");
    EXPECT_EQ(grid->GetItemText(20, 1), L"");
}

TEST_F(DataWindows, ClosingAFrameFreesItsDocumentAndItsReport)
{
    CTabulonDoc* document = Request(OpenTableData, L"t");
    ASSERT_NE(document, nullptr);
    QPointer<CChildView> report = ViewOf(document)->m_pReportView;
    ASSERT_FALSE(report.isNull());
    delete ViewOf(document)->GetParentFrame();
    EXPECT_EQ(WindowCount(), 0u);
    EXPECT_TRUE(report.isNull());
}

// The window closes with a text typed in an open cell that never lost the focus (the
// area is hidden, so no focus moves at all): the frame's own closing step stores it.
TEST_F(DataWindows, AWindowClosingWithATypedCellStoresTheText)
{
    m_area.hide();
    CTabulonDoc* document = Request(OpenTableData, L"t");
    ASSERT_NE(document, nullptr);
    CListCtrlCombo* grid = ViewOf(document)->m_wndGrid.GetGrid();
    grid->BeginEdit(1, 1, true);
    auto* editor = qobject_cast<QLineEdit*>(grid->GetEditorWidget(1));
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "typed");
    ASSERT_EQ(editor->text(), "typed");
    ASSERT_EQ(QueryRaw(m_path, "SELECT name FROM t WHERE id = 2"), "b");

    document->OnCloseDocument();
    EXPECT_EQ(WindowCount(), 0u);
    EXPECT_EQ(QueryRaw(m_path, "SELECT name FROM t WHERE id = 2"), "typed");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A table window closed for a change of its table comes back on the new name at its
// tab, on the rows it showed, and the window that was active stays so.
TEST_F(DataWindows, ATableWindowReopensWhereItWas)
{
    m_area.setViewMode(QMdiArea::TabbedView);
    ExecRaw(m_path, "CREATE TABLE big(id INTEGER PRIMARY KEY, v TEXT);"
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500)"
                    "INSERT INTO big SELECT i, 'row ' || i FROM n;");
    LoadTableNames();
    ASSERT_NE(Request(OpenTableData, L"t"), nullptr);
    CTabulonDoc* big = Request(OpenTableData, L"big");
    ASSERT_NE(big, nullptr);
    CTabulonDoc* child = Request(OpenTableData, L"child");
    ASSERT_NE(child, nullptr);
    CListCtrlCombo* grid = ViewOf(big)->m_wndGrid.GetGrid();
    grid->SelectRow(300);
    grid->SetCursorCell(300, 1);
    const int top = grid->GetTopIndex();
    ASSERT_GT(top, 0);
    QMdiSubWindow* active = ViewOf(child)->GetParentFrame();
    m_area.setActiveSubWindow(active);

    const TableWindowPlace place(big);
    EXPECT_EQ(WindowCount(), 2u);
    ExecRaw(m_path, "ALTER TABLE big RENAME TO huge");
    // The keyboard stays where it was when the table was renamed.
    QLineEdit keyboard(&m_area);
    keyboard.show();
    m_area.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_area));
    keyboard.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyboard.hasFocus(); }));
    CTabulonDoc* huge = place.Reopen(L"huge");
    EXPECT_TRUE(keyboard.hasFocus());
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(huge->GetTitle(), L"huge");
    EXPECT_EQ(FindDataDocument(OpenTableData, L"huge"), huge);
    EXPECT_EQ(FindDataDocument(OpenTableData, L"big"), nullptr);
    EXPECT_EQ(m_area.subWindowList().indexOf(ViewOf(huge)->GetParentFrame()), 1);
    EXPECT_EQ(m_area.activeSubWindow(), active);
    CListCtrlCombo* reopened = ViewOf(huge)->m_wndGrid.GetGrid();
    EXPECT_EQ(reopened->GetTopIndex(), top);
    EXPECT_EQ(reopened->GetCursorRow(), 300);
    EXPECT_EQ(reopened->GetCursorColumn(), 1);
    EXPECT_TRUE(reopened->IsRowSelected(300));

    // The window edits the table under its new name.
    reopened->SetCell(300, 1, L"edited", true);
    EXPECT_EQ(QueryRaw(m_path, "SELECT v FROM huge WHERE id = 301"), "edited");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(DataWindows, FileOpenStaysDisabledWhileAnotherDatasheetLoads)
{
    CTabulonDoc* document = Request(OpenTableData, L"t");
    ASSERT_NE(document, nullptr);
    m_mainFrame.m_bDatasheetLoading = true;
    // This window's rows are all in; another window's load is asked for or runs.
    g_bLoaderBusy = 1;
    platform::SendMessage(&document->m_wndDataInterface, UM_LOAD_TABLE_DATA, 0, 3);
    EXPECT_TRUE(m_mainFrame.m_bDatasheetLoading);
    g_bLoaderBusy = 0;
    platform::SendMessage(&document->m_wndDataInterface, UM_LOAD_TABLE_DATA, 0, 3);
    EXPECT_FALSE(m_mainFrame.m_bDatasheetLoading);
}

TEST_F(DataWindows, TheBlobButtonOfTheNewRowLineIsRefusedByTheView)
{
    CTabulonDoc* document = Request(OpenTableData, L"t");
    ASSERT_NE(document, nullptr);
    CTabulonView* view = ViewOf(document);
    ASSERT_EQ(view->m_wndGrid.GetGrid()->GetItemCount(), 4);
    // The grid frame passes the cell button on to its owner, the view.
    view->m_wndGrid.OnMessage(UM_CELL_BUTTON, 5, 3);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Attach or detach on a new row is not allowed.");
    EXPECT_EQ(m_boxes.Last().owner, view);
}

TEST_F(DataWindows, PrintReportPreviewsTheWindowsOwnReport)
{
    QMainWindow frame;
    frame.setCentralWidget(new QWidget);
    platform::SetMainWindow(&frame);
    CTabulonDoc* table = Request(OpenTableData, L"t");
    CTabulonDoc* settings = Request(OpenDatabaseSettings, STR_DATABASE_SETTINGS_TITLE);
    ASSERT_NE(table, nullptr);
    ASSERT_NE(settings, nullptr);
    EXPECT_FALSE(ViewOf(settings)->OnUpdatePrintReportCommand());
    EXPECT_EQ(ViewOf(settings)->m_pReportView, nullptr);
    ASSERT_TRUE(ViewOf(table)->OnUpdatePrintReportCommand());

    ViewOf(table)->OnPrintReportCommand();
    EXPECT_EQ(m_mainFrame.m_pReportView, ViewOf(table)->m_pReportView);
    EXPECT_TRUE(ViewOf(table)->m_pReportView->IsPreviewShowing());
    EXPECT_TRUE(m_mainFrame.IsReportPrinting());
    ViewOf(table)->m_pReportView->EndPrintPreview();
    EXPECT_FALSE(m_mainFrame.IsReportPrinting());

    table->OnCloseDocument();
    EXPECT_TRUE(m_mainFrame.m_pReportView.isNull()) << "the report goes with its window";
    DataWindowTemplate().CloseAllDocuments();
    platform::SetMainWindow(nullptr);
}

class OpeningFiles : public DataWindowFixture {
protected:
    // Opens the target as New database does when it takes the structure of the source.
    void CreateFromStructure(const std::wstring& source, const std::wstring& target)
    {
        InitPragmaSettingList();
        m_mainFrame.m_bCreatingDatabase = true;
        m_mainFrame.m_bNewDbFromExisting = true;
        m_mainFrame.m_strNewDbSourcePath = source;
        m_mainFrame.m_strNewDbEncoding = L"UTF-8";
        m_mainFrame.m_strNewDbPageSize = L"4096";
        EXPECT_FALSE(DataWindowTemplate().OpenDocumentFile(target));
    }
};

TEST_F(OpeningFiles, BackupFirstThenConnectionNamesMainFrameAndRecentList)
{
    const std::wstring path = m_folder.MakeDatabase(L"open.db", kFixture);
    std::vector<std::string> order;
    const BackupCheck previous = SetBackupCheck([&](const std::wstring& file) {
        EXPECT_EQ(file, path);
        EXPECT_TRUE(g_strOpenDbPath.empty()) << "the backup is made before the file is opened";
        order.push_back("backup");
    });
    m_mainFrame.onMessage = [&](UINT message, WPARAM, LPARAM) {
        if (message == UM_DATABASE_OPENED) {
            order.push_back("opened");
            EXPECT_EQ(g_arrTableNames, (std::vector<std::wstring>{L"child", L"t"}));
            EXPECT_EQ(g_arrViewNames, std::vector<std::wstring>{L"v"});
        }
    };
    EXPECT_FALSE(DataWindowTemplate().OpenDocumentFile(path));
    SetBackupCheck(previous);
    EXPECT_EQ(order, (std::vector<std::string>{"backup", "opened"}));
    EXPECT_EQ(g_strOpenDbPath, path);
    EXPECT_TRUE(g_pCurrentDb->m_bOpen);
    EXPECT_EQ(platform::RecentFiles().Entries(), std::vector<std::wstring>{path});
    EXPECT_EQ(WindowCount(), 0u);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(OpeningFiles, AFailingOpenShowsOnlyItsBox)
{
    const std::wstring path = m_folder.Path(L"missing-folder/x.db");
    EXPECT_FALSE(DataWindowTemplate().OpenDocumentFile(path));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(LOC_OPEN_CURRENT_DB), std::wstring::npos);
    EXPECT_TRUE(m_mainFrame.m_arrMessages.empty());
    EXPECT_TRUE(platform::RecentFiles().Entries().empty());
    // The workspace was cleared before the open: no database is open now.
    EXPECT_EQ(g_strOpenDbPath, L"");
    EXPECT_EQ(g_strCurrentDbPath, path);
}

TEST_F(OpeningFiles, ANewDatabaseCopiesTheStructureAfterAnFtsTable)
{
    const std::wstring source = m_folder.MakeDatabase(
        L"source.db",
        "CREATE TABLE a(x);"
        "CREATE VIRTUAL TABLE docs USING fts4(body);"
        "INSERT INTO docs VALUES('hello world');"
        "CREATE TABLE b(y);"
        "CREATE INDEX ib ON b(y);"
        "CREATE TRIGGER tr AFTER INSERT ON a BEGIN INSERT INTO b VALUES(new.x); END;"
        "CREATE VIEW vb AS SELECT y FROM b;");
    const auto hash = [&] {
        QFile file(platform::ToQString(source));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    };
    const QByteArray before = hash();

    const std::wstring target = m_folder.Path(L"new.db");
    CreateFromStructure(source, target);

    EXPECT_EQ(m_boxes.Count(), 0u) << (m_boxes.Count() ? Utf8(m_boxes.Last().text) : "");
    EXPECT_FALSE(m_mainFrame.m_bNewDbFromExisting);
    // The copied virtual table made its own shadow tables; its contents stay behind.
    EXPECT_EQ(g_arrTableNames, (std::vector<std::wstring>{L"a", L"b", L"docs", L"docs_content", L"docs_docsize",
                                                          L"docs_segdir", L"docs_segments", L"docs_stat"}));
    EXPECT_EQ(g_arrTriggerNames, std::vector<std::wstring>{L"tr"});
    EXPECT_EQ(g_arrViewNames, std::vector<std::wstring>{L"vb"});
    EXPECT_EQ(g_arrIndexNames, std::vector<std::wstring>{L"ib"});
    EXPECT_EQ(QueryRaw(target, "SELECT count(*) FROM docs"), "0");
    EXPECT_EQ(QueryRaw(target, "PRAGMA encoding"), "UTF-8");
    ExecRaw(target, "INSERT INTO a VALUES(4)");
    EXPECT_EQ(QueryRaw(target, "SELECT y FROM vb"), "4");
    EXPECT_EQ(hash(), before) << "the source is only read";
}

TEST_F(OpeningFiles, ANewEmptyDatabaseTakesItsOptionsAndHasNoNamesToLoad)
{
    g_arrTableNames = {L"stale"};
    m_mainFrame.m_bCreatingDatabase = true;
    m_mainFrame.m_strNewDbEncoding = L"UTF-16le";
    m_mainFrame.m_strNewDbPageSize = L"8192";
    m_mainFrame.m_bNewDbAutoVacuum = true;
    const std::wstring target = m_folder.Path(L"fresh.db");
    EXPECT_FALSE(DataWindowTemplate().OpenDocumentFile(target));
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(m_mainFrame.m_arrMessages, std::vector<UINT>{UM_DATABASE_OPENED});
    // Cleared with the workspace before an open; a new database has none to load.
    EXPECT_EQ(g_arrTableNames, std::vector<std::wstring>{L"stale"});
    ASSERT_TRUE(ExecuteSql(L"CREATE TABLE x(a)"));
    EXPECT_EQ(QueryRaw(target, "PRAGMA encoding"), "UTF-16le");
    EXPECT_EQ(QueryRaw(target, "PRAGMA page_size"), "8192");
    EXPECT_EQ(QueryRaw(target, "PRAGMA auto_vacuum"), "1");
}

// The options hold from the creation on: a new database closed before its first table
// reopens with the encoding, page size and auto-vacuum chosen, and with no object.
TEST_F(OpeningFiles, NewDatabaseOptionsHoldAfterReopeningWithoutATable)
{
    const struct {
        const wchar_t* encoding;
        const wchar_t* pageSize;
        bool autoVacuum;
        const char* storedEncoding;
    } cases[] = {
        {L"UTF-8", L"1024", false, "UTF-8"},        {L"UTF-8", L"16384", true, "UTF-8"},
        {L"UTF-16", L"1024", true, "UTF-16le"},     {L"UTF-16", L"16384", false, "UTF-16le"},
        {L"UTF-16le", L"1024", false, "UTF-16le"},  {L"UTF-16le", L"16384", true, "UTF-16le"},
        {L"UTF-16be", L"1024", true, "UTF-16be"},   {L"UTF-16be", L"16384", false, "UTF-16be"},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.encoding) + " " + Utf8(c.pageSize) + (c.autoVacuum ? " auto" : ""));
        DestroyDatabaseGlobals();
        CreateDatabaseGlobals();
        m_mainFrame.m_bCreatingDatabase = true;
        m_mainFrame.m_strNewDbEncoding = c.encoding;
        m_mainFrame.m_strNewDbPageSize = c.pageSize;
        m_mainFrame.m_bNewDbAutoVacuum = c.autoVacuum;
        const std::wstring target = m_folder.Path(L"options" + std::to_wstring(++number) + L".db");
        EXPECT_FALSE(DataWindowTemplate().OpenDocumentFile(target));
        EXPECT_EQ(m_boxes.Count(), 0u);
        DestroyDatabaseGlobals(); // the database closes before anything was made in it
        EXPECT_EQ(QueryRaw(target, "PRAGMA encoding"), c.storedEncoding);
        EXPECT_EQ(QueryRaw(target, "PRAGMA page_size"), Utf8(c.pageSize));
        EXPECT_EQ(QueryRaw(target, "PRAGMA auto_vacuum"), c.autoVacuum ? "1" : "0");
        EXPECT_EQ(QueryRaw(target, "SELECT count(*) FROM sqlite_master"), "0");
        EXPECT_EQ(QueryRaw(target, "PRAGMA integrity_check"), "ok");
    }
}

// Only names beginning with "sqlite_" are the engine's: user tables named SQLiteStats
// and sqlite3_cache, with an index, a trigger and a view on them, are copied and
// listed; the settings the copy takes are the source's, not the new database's own.
TEST_F(OpeningFiles, AStructureCopyTakesTablesNamedLikeTheEnginesAndTheSourcesSettings)
{
    const std::wstring source = m_folder.MakeDatabase(
        L"stats.db",
        "PRAGMA journal_mode = WAL; PRAGMA user_version = 42; PRAGMA application_id = 7;"
        "CREATE TABLE SQLiteStats(id INTEGER PRIMARY KEY, hits INTEGER);"
        "CREATE TABLE sqlite3_cache(k TEXT UNIQUE, v);"
        "CREATE INDEX stats_hits ON SQLiteStats(hits);"
        "CREATE TRIGGER cache_count AFTER INSERT ON sqlite3_cache BEGIN INSERT INTO SQLiteStats(hits) VALUES(1); END;"
        "CREATE VIEW cached AS SELECT k, hits FROM sqlite3_cache, SQLiteStats;"
        "CREATE TABLE plain(x); ANALYZE;");
    // Another connection writes to the source while it is copied: its rows stay there.
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(Utf8(source).c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "INSERT INTO sqlite3_cache VALUES('a', 1)", nullptr, nullptr, nullptr), SQLITE_OK);

    const std::wstring target = m_folder.Path(L"copy.db");
    CreateFromStructure(source, target);
    EXPECT_EQ(m_boxes.Count(), 0u) << (m_boxes.Count() ? Utf8(m_boxes.Last().text) : "");
    EXPECT_EQ(g_arrTableNames, (std::vector<std::wstring>{L"SQLiteStats", L"plain", L"sqlite3_cache"}));
    EXPECT_EQ(g_arrIndexNames, std::vector<std::wstring>{L"stats_hits"});
    EXPECT_EQ(g_arrTriggerNames, std::vector<std::wstring>{L"cache_count"});
    EXPECT_EQ(g_arrViewNames, std::vector<std::wstring>{L"cached"});
    DestroyDatabaseGlobals();

    EXPECT_EQ(QueryRaw(target, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(QueryRaw(target, "PRAGMA user_version"), "42");
    EXPECT_EQ(QueryRaw(target, "PRAGMA application_id"), "7");
    EXPECT_EQ(QueryRaw(target, "PRAGMA journal_mode"), "wal");
    // Only the structure: no rows, and the engine's own statistics table is not copied.
    EXPECT_EQ(QueryRaw(target, "SELECT count(*) FROM sqlite3_cache"), "0");
    EXPECT_EQ(QueryRaw(target, "SELECT count(*) FROM sqlite_master WHERE name = 'sqlite_stat1'"), "0");
    ExecRaw(target, "INSERT INTO sqlite3_cache VALUES('b', 2)");
    EXPECT_EQ(QueryRaw(target, "SELECT k || hits FROM cached"), "b1");
    sqlite3_close(writer);
    EXPECT_EQ(QueryRaw(source, "SELECT count(*) FROM sqlite3_cache"), "1");
    EXPECT_EQ(QueryRaw(source, "PRAGMA integrity_check"), "ok");
}

TEST_F(OpeningFiles, AStructureCopyStopsAtTheFirstFailingStatement)
{
    const std::wstring source = m_folder.MakeDatabase(
        L"clash.db", "CREATE TABLE a(x); CREATE TABLE c(z); CREATE TABLE d(w);");
    OpenDatabase(L"target.db", "CREATE TABLE c(other);");
    CopySchemaFromDatabase(source);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(LOC_EXECUTE_SQL), std::wstring::npos);
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(name) FROM sqlite_master"), "c,a");

    m_boxes.Clear();
    CopySchemaFromDatabase(m_folder.Path(L"no-such-source.db"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(LOC_COPY_STRUCTURE), std::wstring::npos);
    EXPECT_FALSE(QFile::exists(platform::ToQString(m_folder.Path(L"no-such-source.db"))));
}

} // namespace
