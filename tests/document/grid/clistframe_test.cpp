// The grid frame and its grid over a real datasheet: the new-row line, delete, undo,
// sorting, search and go to row, the caption strip, and what the grid paints.
#include "document/grid/clistframe.h"

#include "data/cadbsqldb.h"
#include "document/strip/ccaptiondlg.h"
#include "document/grid/cplheaderctrl.h"
#include "gridtestsupport.h"
#include "../datasheet/heartbeat.h"

#include <QAbstractItemModel>
#include <QDialog>
#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTreeWidget>

#include "platform/widgets/modaldialog.h"
#include "platform/widgets/presenters.h"

#include <QDeadlineTimer>
#include <QKeyEvent>

#include <atomic>
#include <climits>
#include <thread>

namespace {

using namespace numbered;

class Datasheet : public GridFixture {
protected:
    void SelectRows(std::initializer_list<int> rows)
    {
        Grid()->ClearSelection();
        for (int row : rows)
            Grid()->SelectRows(row, row);
    }
    std::pair<int, int> Current() const { return {Grid()->m_nCurrentRow, Grid()->m_nCurrentColumn}; }

    // A datasheet frame over table t of the given rows, its three columns plain edit
    // columns, created but without its first line count and InitGrid: the test decides
    // when the grid starts and when the loader's messages arrive.
    void CreateUninitialisedDatasheet(int rows)
    {
        OpenDatabase(NumberedTable(rows));
        m_model = std::make_unique<CDataAccess>();
        m_model->m_pDataInterface = &m_bridge;
        m_bridge.m_pDataAccess = m_model.get();
        ASSERT_TRUE(m_model->Open(L"t", RECSET_MODE_TABLE));
        m_model->InitRowBuffers();
        MakeDatasheetFrame();
        m_frame->Create(&m_owner, QRect(0, 0, 600, 380));
        for (const wchar_t* name : {L"id", L"name", L"qty"})
            m_frame->AddColumn(name, GRID_EDIT, 130, 1, 3);
    }
};

// Texts typed into the new-row line wait while the editor stays on that line, and are
// inserted as one row when it leaves; the line is then empty again and one further down.
TEST_F(Datasheet, NewRowIsInsertedWhenTheEditorLeavesItsLine)
{
    OpenDatabase(NumberedTable(3));
    OpenDatasheet(L"t");
    ASSERT_EQ(Grid()->GetItemCount(), 4);
    m_datasheet->OnGridAddRow();
    ASSERT_EQ(Current(), std::make_pair(3, 0));
    Key(Qt::Key_Tab);
    Type(QStringLiteral("new"));
    Key(Qt::Key_Tab);
    Type(QStringLiteral("7"));
    EXPECT_EQ(Raw("SELECT count(*) FROM t"), "3");
    EXPECT_EQ(Grid()->GetItemCount(), 4);
    Key(Qt::Key_Tab); // on past the line's last cell: the row is stored
    EXPECT_EQ(Raw("SELECT count(*) FROM t"), "4");
    EXPECT_EQ(Raw("SELECT name || qty FROM t WHERE id = 4"), "new7");
    EXPECT_EQ(Grid()->GetItemCount(), 5);
    EXPECT_EQ(Current(), std::make_pair(4, 0));
    EXPECT_EQ(m_frame->GetItemText(3, NAME), L"new");
    for (int column : {ID, NAME, QTY})
        EXPECT_EQ(m_frame->GetItemText(4, column), L"");

    // Up from the line with a text typed stores it as well.
    Key(Qt::Key_Tab);
    Type(QStringLiteral("up"));
    Key(Qt::Key_Up);
    EXPECT_EQ(Raw("SELECT name FROM t WHERE id = 5"), "up");
    EXPECT_EQ(Grid()->GetItemCount(), 6);
    EXPECT_EQ(Current(), std::make_pair(3, 1));
}

// Before loading ends there is no new-row line: Add row must not edit the last real row.
TEST_F(Datasheet, AddRowWaitsForTheEndOfLoading)
{
    ASSERT_NO_FATAL_FAILURE(CreateUninitialisedDatasheet(3));
    Grid()->SetItemCountEx(m_model->GetRecordCount());
    m_datasheet->InitGrid();
    // No event has been delivered yet, so the loader's final message has not added the
    // new-row line: the last line is row 3 of the table.
    ASSERT_EQ(Grid()->GetItemCount(), 3);
    m_datasheet->OnGridAddRow();
    EXPECT_EQ(Current(), std::make_pair(-1, -1));

    ShowActive(m_owner);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Grid()->HasNewRowLine(); }, 10000));
    m_datasheet->OnGridAddRow();
    EXPECT_EQ(Current(), std::make_pair(3, 0));
}

// Five rows selected, the third from the top refuses to go: the two highest are deleted
// in the walk from the highest down, the rest stay, and the grid shrinks by two.
// A delete goes as a whole or not at all: one refused row keeps every row of it, in the
// file and in the grid.
TEST_F(Datasheet, ADeleteThatOneRowRefusesDeletesNone)
{
    OpenDatabase(NumberedTable(6) +
                 "CREATE TRIGGER keep3 BEFORE DELETE ON t WHEN old.id = 3 BEGIN SELECT RAISE(ABORT, 'row 3 stays'); END;");
    OpenDatasheet(L"t");
    ASSERT_EQ(Grid()->GetItemCount(), 7);
    SelectRows({0, 1, 2, 3, 4});
    m_boxes.QueueAnswer(platform::IDYES);
    m_datasheet->OnGridDeleteRows();
    EXPECT_EQ(m_boxes.Boxes().front().caption, L"Delete Confirmation");
    EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "1,2,3,4,5,6");
    EXPECT_EQ(Grid()->GetItemCount(), 7);
    EXPECT_EQ(m_frame->GetItemText(0, ID), L"1");
    EXPECT_EQ(m_frame->GetItemText(5, ID), L"6");
    bool errorShown = false;
    for (const auto& line : m_lines->Lines())
        errorShown = errorShown || (line.type == platform::CAPTION_LINE_ERROR && line.text.find(L"row 3 stays") != std::wstring::npos);
    EXPECT_TRUE(errorShown);
}

// The new-row line is no row of the table: a delete that includes it deletes the rest.
TEST_F(Datasheet, DeleteSkipsTheNewRowLine)
{
    OpenDatabase(NumberedTable(3));
    OpenDatasheet(L"t");
    SelectRows({2, 3});
    m_boxes.QueueAnswer(platform::IDYES);
    m_datasheet->OnGridDeleteRows();
    EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "1,2");
    EXPECT_EQ(Grid()->GetItemCount(), 3);
    EXPECT_EQ(m_frame->GetItemText(2, ID), L""); // the new-row line follows the last row

    // Only the new-row line selected: nothing happens after the question.
    SelectRows({2});
    m_boxes.QueueAnswer(platform::IDYES);
    m_datasheet->OnGridDeleteRows();
    EXPECT_EQ(Raw("SELECT count(*) FROM t"), "2");
    EXPECT_EQ(Grid()->GetItemCount(), 3);
}

// gate(rowid) for a trigger: at one rowid it holds the delete inside its statement until
// the test lets it go, for at most 10 s.
struct DeleteGate {
    sqlite3_int64 at = 0;
    std::atomic<bool> reached{false};
    std::atomic<bool> release{false};
    std::atomic<bool> timedOut{false};
    static void Function(sqlite3_context* context, int, sqlite3_value** args)
    {
        auto* gate = static_cast<DeleteGate*>(sqlite3_user_data(context));
        if (sqlite3_value_int64(args[0]) == gate->at) {
            gate->reached = true;
            const QDeadlineTimer deadline(10000);
            while (!gate->release && !deadline.hasExpired())
                std::this_thread::yield();
            gate->timedOut = deadline.hasExpired();
        }
        sqlite3_result_int(context, 1);
    }
};

// The delete of the selected rows beside a child table that refers to them through a
// column without an index (every row's delete scans it) runs as a long statement does:
// the window keeps painting and its 10 ms heartbeat beats, the caption strip says what
// runs and that Escape stops it, and the input waits; the lines painted blank meanwhile
// are painted again once it is over. Escape takes the whole delete back, the rows
// deleted before it too: the file and the grid keep every row. Inside a
// transaction of the caller's the stop comes after the row being deleted, and that
// transaction goes on with its own change.
TEST_F(Datasheet, EscapeStopsALongDeleteAndTakesItBack)
{
    struct Case {
        const wchar_t* file;
        bool callerTransaction;
        bool stop;
        const char* left;      // the ids left in the file
        int lines;             // the grid's lines after the delete
        const wchar_t* lastId; // the last row's id in the grid
    };
    const Case cases[] = {
        {L"stopped.db", false, true, "1-200", 201, L"200"},
        {L"stopped-in-transaction.db", true, true, "1-200", 201, L"200"},
        {L"not-stopped.db", false, false, "1-100", 101, L"100"},
    };
    const platform::WaitPump oldPump = platform::SetWaitPump(platform::PumpWhileWaiting);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing_support::Utf8(c.file));
        CloseFrame();
        m_model.reset();
        ResetDatabaseGlobals();
        DatabaseFixture::OpenDatabase(c.file,
                                      NumberedTable(200) +
                                          "CREATE TABLE c(pid INTEGER REFERENCES t(id), x);"
                                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000)"
                                          " INSERT INTO c SELECT 1, i FROM n;"
                                          "CREATE TRIGGER hold BEFORE DELETE ON t BEGIN SELECT gate(old.id); END;");
        DeleteGate gate;
        gate.at = 150; // ids 200 to 151 go before it
        sqlite3_create_function(g_pCurrentDb->m_pDb, "gate", 1, SQLITE_UTF8, &gate, DeleteGate::Function, nullptr,
                                nullptr);
        OpenDatasheet(L"t");
        if (c.callerTransaction) {
            ASSERT_TRUE(g_pCurrentDb->ExecuteCmd(L"BEGIN"));
            ASSERT_TRUE(g_pCurrentDb->ExecuteCmd(L"UPDATE t SET name = 'mine' WHERE id = 1"));
        }
        Grid()->ClearSelection();
        Grid()->SelectRows(100, 199);
        m_lines->Clear();

        int beats = 0;
        bool returned = false;
        Heartbeat heartbeat([&] {
            if (!gate.reached || returned)
                return;
            // Pressed by the user while the rows go; it is taken before the gate opens.
            if (++beats == 1 && c.stop)
                QCoreApplication::postEvent(Grid(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
            if (beats == 4)
                gate.release = true;
        });
        heartbeat.Start();
        m_boxes.QueueAnswer(platform::IDYES);
        m_datasheet->OnGridDeleteRows();
        returned = true;
        heartbeat.Stop();
        {
            // The top lines, far from the rows deleted, were painted blank during the wait.
            PaintRecorder paints(Grid()->viewport());
            const QRect top = Grid()->GetCellRect(0, NAME);
            EXPECT_TRUE(QTest::qWaitFor([&] { return paints.painted.contains(top); }, 2000))
                << "the lines painted during the wait were not painted again";
        }
        EXPECT_FALSE(gate.timedOut) << "the delete held the window";
        EXPECT_GE(beats, 4);
        EXPECT_LE(heartbeat.LongestGap(), 100);
        ASSERT_GE(m_lines->Count(), 2u);
        EXPECT_EQ(m_lines->Lines().front().text, STR_DELETING_ROWS);
        EXPECT_EQ(m_lines->Last().text, c.stop ? STR_DELETE_STOPPED : L"");
        EXPECT_EQ(m_lines->Last().type, platform::CAPTION_LINE_NORMAL);

        EXPECT_EQ(Raw("SELECT min(id) || '-' || max(id) FROM t"), c.left);
        EXPECT_EQ(Grid()->GetItemCount(), c.lines);
        EXPECT_EQ(m_frame->GetItemText(c.lines - 2, ID), c.lastId);
        EXPECT_EQ(Selected().size(), c.stop ? 100u : 0u);
        EXPECT_EQ(g_pCurrentDb->InTransaction(), c.callerTransaction);
        if (c.callerTransaction) {
            ASSERT_TRUE(g_pCurrentDb->ExecuteCmd(L"COMMIT"));
            EXPECT_EQ(Raw("SELECT name FROM t WHERE id = 1"), "mine");
        }
        EXPECT_EQ(Raw("SELECT count(*) FROM t"), std::to_string(c.lines - 1));
        EXPECT_EQ(m_boxes.Count(), 1u); // the question only
        m_boxes.Clear();
    }
    platform::SetWaitPump(oldPump);
}

// Undo writes the row back as it was before its first change and repaints it.
TEST_F(Datasheet, UndoRestoresTheEditedRow)
{
    OpenDatabase(NumberedTable(5));
    OpenDatasheet(L"t");
    DoubleClick(3, NAME);
    Key(Qt::Key_End);
    Type(QStringLiteral("x"));
    Key(Qt::Key_Tab);
    Type(QStringLiteral("9"));
    Key(Qt::Key_Down);
    EXPECT_EQ(Raw("SELECT name || '/' || qty FROM t WHERE id = 4"), "n4x/9"); // Tab's cell: replaced
    m_datasheet->OnGridUndoRow();
    EXPECT_EQ(Raw("SELECT name || '/' || qty FROM t WHERE id = 4"), "n4/40");
    EXPECT_EQ(m_frame->GetItemText(3, NAME), L"n4");
    EXPECT_EQ(Current(), std::make_pair(-1, -1));
}

// The first header click sorts ascending and the next one, on another column, descending;
// the rows are reloaded in that order and the view never resets.
TEST_F(Datasheet, HeaderClicksSortTheDatasheet)
{
    OpenDatabase("CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, qty INTEGER);"
                 "INSERT INTO t VALUES(1, 'b', 20), (2, 'c', 10), (3, 'a', 30);");
    OpenDatasheet(L"t");
    QSignalSpy resets(Grid()->model(), &QAbstractItemModel::modelReset);
    auto* header = qobject_cast<CPLHeaderCtrl*>(Grid()->horizontalHeader());
    ASSERT_NE(header, nullptr);
    auto clickHeader = [&](int c) {
        const QRect r(header->sectionViewportPosition(c), 0, header->sectionSize(c), header->height());
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), r.center());
        QTest::qWait(0);
        return QTest::qWaitFor([this] { return Grid()->HasNewRowLine(); }, 10000);
    };
    auto column = [&](int c) {
        std::wstring all;
        for (int r = 0; r < 3; ++r)
            all += m_frame->GetItemText(r, c);
        return all;
    };
    ASSERT_TRUE(clickHeader(NAME));
    EXPECT_EQ(column(NAME), L"abc");
    EXPECT_EQ(header->GetSortState(), SORT_MARK_ASCENDING);
    ASSERT_TRUE(clickHeader(QTY));
    EXPECT_EQ(column(QTY), L"302010");
    EXPECT_EQ(header->GetSortState(), SORT_MARK_DESCENDING);
    EXPECT_EQ(Grid()->m_nSortColumn, QTY);
    EXPECT_EQ(resets.count(), 0);
}

// Go to row accepts 1 to the record count, on read-only and writable frames alike; the
// boxes say what was wrong.
TEST_F(Datasheet, GoToRowChecksTheRange)
{
    OpenDatabase(NumberedTable(10));
    struct Case {
        const wchar_t* text;
        int selected;           // -1: a box instead
        const wchar_t* boxText; // for -1
    } cases[] = {
        {L"10", 9, nullptr},
        {L"1", 0, nullptr},
        {L"11", -1, L"Row #11 is out of range"},
        {L"0", -1, L"Row #0 is out of range"},
        {L"", -1, L"Row #0 is out of range"},
        {L"-3", -1, L"Row #-3 is out of range"},
        {L"99999999999999999999", -1, L"Row #2147483647 is out of range"},
        {L"abc", -1, L"Please enter row number for a View or Query datasheet"},
    };
    for (int mode : {RECSET_MODE_TABLE, RECSET_MODE_QUERY}) {
        OpenDatasheet(mode == RECSET_MODE_TABLE ? L"t" : L"SELECT * FROM t", mode);
        ASSERT_EQ(m_frame->m_bReadOnly, mode);
        for (const Case& c : cases) {
            Grid()->ClearSelection();
            m_boxes.Clear();
            // A writable frame goes to a row with search type 3; a read-only one with any type.
            EXPECT_FALSE(m_datasheet->OnGridSearch(mode == RECSET_MODE_TABLE ? SEARCH_GO_TO_ROW : SEARCH_START_OF_FIELD, c.text));
            if (c.selected >= 0) {
                EXPECT_EQ(Selected(), std::vector<int>{c.selected}) << mode << " " << testing_support::Utf8(c.text);
                EXPECT_EQ(m_boxes.Count(), 0u);
            } else {
                EXPECT_TRUE(Selected().empty()) << mode << " " << testing_support::Utf8(c.text);
                ASSERT_EQ(m_boxes.Count(), 1u) << mode << " " << testing_support::Utf8(c.text);
                EXPECT_EQ(m_boxes.Last().text, c.boxText);
                EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONINFORMATION);
            }
        }
        CloseFrame();
        m_model.reset();
    }
}

// A search runs on the column of the last header click over the whole table: a hit
// beyond the loaded rows selects nothing but still counts; Next and Previous walk the
// hits among the loaded rows.
TEST_F(Datasheet, SearchHitsInsideAndOutsideTheLoadedRows)
{
    OpenDatabase(NumberedTable(20) + "UPDATE t SET name = 'dup' WHERE id IN (2, 4, 15);");
    g_nMaxGridRows = 10; // rows 11 to 20 are never loaded
    OpenDatasheet(L"t");
    g_nMaxGridRows = 0;
    ASSERT_EQ(m_model->GetRecordCount(), 10);
    Grid()->m_nSortColumn = NAME;

    EXPECT_TRUE(m_datasheet->OnGridSearch(SEARCH_WHOLE_FIELD, L"n16"));
    EXPECT_TRUE(Selected().empty());
    EXPECT_FALSE(m_datasheet->OnGridSearch(SEARCH_WHOLE_FIELD, L"nothing"));

    EXPECT_TRUE(m_datasheet->OnGridSearch(SEARCH_WHOLE_FIELD, L"dup"));
    EXPECT_EQ(Selected(), std::vector<int>{1});
    EXPECT_FALSE(m_datasheet->OnGridFindPrev()); // right after the first hit
    EXPECT_TRUE(m_datasheet->OnGridFindNext());
    EXPECT_EQ(Selected(), std::vector<int>{3});
    EXPECT_FALSE(m_datasheet->OnGridFindNext()); // id 15 is not loaded
    EXPECT_TRUE(m_datasheet->OnGridFindPrev());
    EXPECT_EQ(Selected(), std::vector<int>{1});

    // Before any header click a search runs on column 0.
    Grid()->m_nSortColumn = 0;
    EXPECT_TRUE(m_datasheet->OnGridSearch(SEARCH_WHOLE_FIELD, L"7"));
    EXPECT_EQ(Selected(), std::vector<int>{6});
}

// A delete tells the strip at once: it counts the rows left and names the row that took
// the place of the first one deleted, the new-row line when the last rows went.
TEST_F(Datasheet, TheStripCountsTheRowsLeftAfterADelete)
{
    OpenDatabase(NumberedTable(10));
    OpenDatasheet(L"t");
    CCaptionDlg* strip = m_captionBar->GetCaptionDlg();
    m_datasheet->UpdateCaptionBar();
    Click(2, NAME);
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(4, NAME));
    ASSERT_EQ(Selected(), (std::vector<int>{2, 3, 4}));
    m_boxes.QueueAnswer(platform::IDYES);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "1,2,6,7,8,9,10");
    EXPECT_EQ(strip->GetMessageText(), L"<t row 3 of 7>");

    Click(6, NAME);
    m_boxes.QueueAnswer(platform::IDYES);
    m_datasheet->OnGridDeleteRows();
    EXPECT_EQ(Raw("SELECT count(*) FROM t"), "6");
    EXPECT_EQ(strip->GetMessageText(), L"New row");

    // A delete answered No says nothing new.
    Click(0, NAME);
    m_boxes.QueueAnswer(platform::IDNO);
    m_datasheet->OnGridDeleteRows();
    EXPECT_EQ(strip->GetMessageText(), L"<t row 1 of 6>");
}

// Clicks report the row position to the strip; beginning to edit disables the row
// commands; activation makes the frame the strip's target.
TEST_F(Datasheet, CaptionStripFollowsTheGrid)
{
    OpenDatabase(NumberedTable(10));
    OpenDatasheet(L"t");
    CCaptionDlg* strip = m_captionBar->GetCaptionDlg();
    m_datasheet->UpdateCaptionBar();
    EXPECT_EQ(m_captionBar->GetTargetFrame(), m_datasheet.get());
    EXPECT_FALSE(strip->GetControl(CCaptionDlg::DeleteRows)->isEnabled()); // no row selected yet

    Click(2, NAME);
    EXPECT_EQ(strip->GetMessageText(), L"<t row 3 of 10>");
    EXPECT_TRUE(strip->GetControl(CCaptionDlg::DeleteRows)->isEnabled());
    Click(10, NAME);
    EXPECT_EQ(strip->GetMessageText(), L"New row");
    EXPECT_FALSE(strip->GetControl(CCaptionDlg::DeleteRows)->isEnabled());

    // Keyboard moves tell the strip as clicks do.
    Key(Qt::Key_Up);
    EXPECT_EQ(strip->GetMessageText(), L"<t row 10 of 10>");
    EXPECT_TRUE(strip->GetControl(CCaptionDlg::DeleteRows)->isEnabled());
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(strip->GetMessageText(), L"<t row 1 of 10>");

    Click(4, NAME);
    ASSERT_TRUE(strip->GetControl(CCaptionDlg::ReferenceUp)->isEnabled());
    DoubleClick(4, NAME);
    EXPECT_FALSE(strip->GetControl(CCaptionDlg::DeleteRows)->isEnabled());
    EXPECT_FALSE(strip->GetControl(CCaptionDlg::ReferenceUp)->isEnabled());
    EXPECT_FALSE(strip->GetControl(CCaptionDlg::ReferenceDown)->isEnabled());

    // The strip's commands reach the frame through the bar.
    Grid()->SelectRow(5);
    m_boxes.QueueAnswer(platform::IDNO);
    platform::SendMessage(m_captionBar->GetTargetFrame(), UM_GRID_DELETE_ROWS, 0, 0);
    EXPECT_EQ(m_boxes.Count(), 1u);
    CloseFrame();
    EXPECT_EQ(m_captionBar->GetTargetFrame(), nullptr);
}

// The rows of a growing load arrive as insert notifications, never as a reset, and the
// grid asks the model only for the display texts of the cells it paints.
TEST_F(Datasheet, LoadingGrowsTheGridByInserts)
{
    ASSERT_NO_FATAL_FAILURE(CreateUninitialisedDatasheet(30000));
    QSignalSpy resets(Grid()->model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(Grid()->model(), &QAbstractItemModel::rowsInserted);
    Grid()->SetItemCountEx(m_model->GetRecordCount());
    m_datasheet->InitGrid();
    ShowActive(m_owner);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Grid()->HasNewRowLine(); }, 20000));
    EXPECT_EQ(Grid()->GetItemCount(), 30001);
    EXPECT_GE(inserts.count(), 2);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(m_frame->GetItemText(29999, NAME), L"n30000");
}

// The related-record commands open the dialog on the first selected row, in the
// direction asked for; without a selected row they do nothing.
TEST_F(Datasheet, ReferenceCommandsOpenTheDialogOnTheSelectedRow)
{
    OpenDatabase("CREATE TABLE customers(id INTEGER PRIMARY KEY, name TEXT);"
                 "INSERT INTO customers VALUES(1, 'Ann'), (2, 'Bob');"
                 "CREATE TABLE orders(id INTEGER PRIMARY KEY, customer_id INTEGER REFERENCES customers(id));"
                 "INSERT INTO orders VALUES(10, 2), (11, 1);");
    OpenDatasheet(L"orders");
    std::vector<std::wstring> titles;
    std::vector<int> rows;
    const platform::DialogHandler previous = platform::SetDialogHandler([&](QDialog& dialog) {
        titles.push_back(platform::FromQString(dialog.windowTitle()));
        auto* list = dialog.findChild<QTreeWidget*>();
        rows.push_back(list ? list->topLevelItemCount() : -1);
        return int(QDialog::Accepted);
    });
    m_datasheet->OnGridReferenceUp();
    m_datasheet->OnGridReferenceDown();
    EXPECT_TRUE(titles.empty());

    Grid()->SelectRow(1);
    m_datasheet->OnGridReferenceUp();
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0], L"Related To <customers> Table");
    EXPECT_EQ(rows[0], 1); // Ann, the customer of order 11
    platform::SetDialogHandler(previous);
}

// A painted viewport reads its rows in one read transaction that ends with the paint:
// afterwards another connection can write, and a transaction the program had open
// before the paint is still open after it.
TEST_F(Datasheet, PaintEndsItsReadTransactionAndKeepsAnOpenOne)
{
    OpenDatabase(NumberedTable(50));
    OpenDatasheet(L"t");
    sqlite3* db = m_model->m_pRecSet->m_pDatabase->m_pDb;
    Grid()->viewport()->repaint();
    EXPECT_TRUE(sqlite3_get_autocommit(db));
    testing_support::ExecRaw(m_path, "UPDATE t SET name = 'changed' WHERE id = 1");
    EXPECT_EQ(Raw("SELECT name FROM t WHERE id = 1"), "changed");

    m_model->m_pRecSet->m_pDatabase->ExecuteCmd(L"BEGIN");
    Grid()->viewport()->repaint();
    EXPECT_FALSE(sqlite3_get_autocommit(db)) << "the paint ended a transaction it did not begin";
    m_model->m_pRecSet->m_pDatabase->ExecuteCmd(L"ROLLBACK");
}

// A jump repaints only the rows of the scroll bar where its slider was and where it is
// now; what the window then shows of the bar is what a full paint of it draws.
TEST_F(Datasheet, JumpRepaintsOnlyTheScrollBarsSliderPlaces)
{
    OpenDatabase(NumberedTable(5000));
    OpenDatasheet(L"t");
    QScrollBar* bar = Grid()->verticalScrollBar();
    QApplication::processEvents();
    struct PaintedRegions : QObject {
        std::vector<QRect> rects;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                for (const QRect& rect : static_cast<QPaintEvent*>(event)->region())
                    rects.push_back(rect);
            return false;
        }
    } painted;
    bar->installEventFilter(&painted);
    for (int top : {2500, 40, 4900, 1234, 0}) {
        painted.rects.clear();
        bar->setValue(top);
        Grid()->viewport()->repaint();
        ASSERT_EQ(bar->value(), top);
        ASSERT_FALSE(painted.rects.empty());
        for (const QRect& rect : painted.rects)
            EXPECT_LT(rect.height(), bar->height() / 2) << "top " << top;
        const QPoint at = bar->mapTo(bar->window(), QPoint(0, 0));
        const QImage shown =
            bar->screen()->grabWindow(bar->window()->winId(), at.x(), at.y(), bar->width(), bar->height()).toImage();
        const QImage full = bar->grab().toImage();
        ASSERT_EQ(shown.size(), full.size());
        EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32), full.convertToFormat(QImage::Format_RGB32))
            << "top " << top;
    }
    bar->removeEventFilter(&painted);
}

// A grid made while the mouse button is held down elsewhere (the double-click in the
// tree that opened its window) is no divider drag: its cells are framed, and the first
// header click after the release sorts.
TEST_F(Datasheet, AGridMadeWhileTheButtonIsHeldIsNoDividerDrag)
{
    OpenDatabase("CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, qty INTEGER);"
                 "INSERT INTO t VALUES(1, 'b', 20), (2, 'c', 10), (3, 'a', 30);");
    ShowActive(m_owner);
    QTest::mousePress(&m_owner, Qt::LeftButton, Qt::KeyboardModifiers(), QPoint(5, 5));
    ASSERT_TRUE(QGuiApplication::mouseButtons() & Qt::LeftButton);
    OpenDatasheet(L"t");
    QTest::mouseRelease(&m_owner, Qt::LeftButton, Qt::KeyboardModifiers(), QPoint(5, 5));
    QApplication::processEvents();

    const QImage image = Grid()->viewport()->grab().toImage();
    const QRect cell = Grid()->GetCellRect(0, NAME);
    EXPECT_EQ(image.pixelColor(cell.right(), cell.center().y()).rgb(), m_frame->m_clrBorder.rgb());
    CPLHeaderCtrl* header = Grid()->horizontalHeader();
    const QRect section(header->sectionViewportPosition(NAME), 0, header->sectionSize(NAME), header->height());
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), section.center());
    ASSERT_TRUE(QTest::qWaitFor([this] { return Grid()->HasNewRowLine(); }, 10000));
    EXPECT_EQ(m_frame->GetItemText(0, NAME) + m_frame->GetItemText(1, NAME) + m_frame->GetItemText(2, NAME), L"abc");
}

// Stripes by row parity, the selection colour on selected rows, and the current cell
// without background; one screenshot is kept in the build folder.
TEST_F(Datasheet, PaintsStripesSelectionAndTheCurrentCell)
{
    OpenDatabase(NumberedTable(8));
    OpenDatasheet(L"t");
    Grid()->BeginEdit(4, QTY, true);
    // Selected after BeginEdit, which clears the selection (SelectRow would close the cell).
    Grid()->SelectRows(2, 2);
    QApplication::processEvents();
    const QImage image = Grid()->viewport()->grab().toImage();
    auto pixel = [&](int row, int column) {
        const QRect cell = Grid()->GetCellRect(row, column);
        // Near the cell's right edge: inside its border, clear of its left-aligned text.
        return image.pixelColor(cell.right() - 6, cell.center().y()).rgb();
    };
    const QColor highlight = Grid()->palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(pixel(0, NAME), QColor(0, 255, 0).rgb());
    EXPECT_EQ(pixel(1, NAME), QColor(0, 0, 255).rgb());
    EXPECT_EQ(pixel(2, NAME), highlight.rgb());
    EXPECT_EQ(pixel(3, NAME), QColor(0, 0, 255).rgb());
    EXPECT_EQ(pixel(4, NAME), QColor(0, 255, 0).rgb());
    EXPECT_NE(pixel(4, QTY), QColor(0, 255, 0).rgb()); // the current cell: no stripe
    EXPECT_EQ(pixel(8, ID), QColor(0, 255, 0).rgb());  // the new-row line is striped too
    // A cell border frames every cell.
    const QRect cell = Grid()->GetCellRect(0, NAME);
    EXPECT_EQ(image.pixelColor(cell.right(), cell.center().y()).rgb(), m_frame->m_clrBorder.rgb());
    EXPECT_TRUE(m_frame->grab().save(QStringLiteral(TABULON_BINARY_DIR "/datasheet_grid.png")));
}

} // namespace
