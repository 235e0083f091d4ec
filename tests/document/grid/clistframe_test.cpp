// The grid frame and its grid over a real datasheet: the new-row line, delete, undo,
// sorting, search and go to row, the caption strip, and what the grid paints.
#include "document/grid/clistframe.h"

#include "data/cadbsqldb.h"
#include "document/strip/ccaptiondlg.h"
#include "document/grid/cplheaderctrl.h"
#include "gridtestsupport.h"

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

#include <climits>

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
        m_frame = std::make_unique<CListFrame>();
        m_frame->m_pDataInterface = &m_bridge;
        m_bridge.m_pListFrame = m_frame.get();
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
    m_frame->OnGridAddRow();
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
    m_frame->InitGrid();
    // No event has been delivered yet, so the loader's final message has not added the
    // new-row line: the last line is row 3 of the table.
    ASSERT_EQ(Grid()->GetItemCount(), 3);
    m_frame->OnGridAddRow();
    EXPECT_EQ(Current(), std::make_pair(-1, -1));

    ShowActive(m_owner);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Grid()->HasNewRowLine(); }, 10000));
    m_frame->OnGridAddRow();
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
    m_frame->OnGridDeleteRows();
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
    m_frame->OnGridDeleteRows();
    EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "1,2");
    EXPECT_EQ(Grid()->GetItemCount(), 3);
    EXPECT_EQ(m_frame->GetItemText(2, ID), L""); // the new-row line follows the last row

    // Only the new-row line selected: nothing happens after the question.
    SelectRows({2});
    m_boxes.QueueAnswer(platform::IDYES);
    m_frame->OnGridDeleteRows();
    EXPECT_EQ(Raw("SELECT count(*) FROM t"), "2");
    EXPECT_EQ(Grid()->GetItemCount(), 3);
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
    m_frame->OnGridUndoRow();
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
            EXPECT_FALSE(m_frame->OnGridSearch(mode == RECSET_MODE_TABLE ? SEARCH_GO_TO_ROW : SEARCH_START_OF_FIELD, c.text));
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
        m_frame.reset();
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

    EXPECT_TRUE(m_frame->OnGridSearch(SEARCH_WHOLE_FIELD, L"n16"));
    EXPECT_TRUE(Selected().empty());
    EXPECT_FALSE(m_frame->OnGridSearch(SEARCH_WHOLE_FIELD, L"nothing"));

    EXPECT_TRUE(m_frame->OnGridSearch(SEARCH_WHOLE_FIELD, L"dup"));
    EXPECT_EQ(Selected(), std::vector<int>{1});
    EXPECT_FALSE(m_frame->OnGridFindPrev()); // right after the first hit
    EXPECT_TRUE(m_frame->OnGridFindNext());
    EXPECT_EQ(Selected(), std::vector<int>{3});
    EXPECT_FALSE(m_frame->OnGridFindNext()); // id 15 is not loaded
    EXPECT_TRUE(m_frame->OnGridFindPrev());
    EXPECT_EQ(Selected(), std::vector<int>{1});

    // Before any header click a search runs on column 0.
    Grid()->m_nSortColumn = 0;
    EXPECT_TRUE(m_frame->OnGridSearch(SEARCH_WHOLE_FIELD, L"7"));
    EXPECT_EQ(Selected(), std::vector<int>{6});
}

// A delete tells the strip at once: it counts the rows left and names the row that took
// the place of the first one deleted, the new-row line when the last rows went.
TEST_F(Datasheet, TheStripCountsTheRowsLeftAfterADelete)
{
    OpenDatabase(NumberedTable(10));
    OpenDatasheet(L"t");
    CCaptionDlg* strip = m_captionBar->GetCaptionDlg();
    m_frame->UpdateCaptionBar();
    Click(2, NAME);
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(4, NAME));
    ASSERT_EQ(Selected(), (std::vector<int>{2, 3, 4}));
    m_boxes.QueueAnswer(platform::IDYES);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "1,2,6,7,8,9,10");
    EXPECT_EQ(strip->GetMessageText(), L"<t row 3 of 7>");

    Click(6, NAME);
    m_boxes.QueueAnswer(platform::IDYES);
    m_frame->OnGridDeleteRows();
    EXPECT_EQ(Raw("SELECT count(*) FROM t"), "6");
    EXPECT_EQ(strip->GetMessageText(), L"New row");

    // A delete answered No says nothing new.
    Click(0, NAME);
    m_boxes.QueueAnswer(platform::IDNO);
    m_frame->OnGridDeleteRows();
    EXPECT_EQ(strip->GetMessageText(), L"<t row 1 of 6>");
}

// Clicks report the row position to the strip; beginning to edit disables the row
// commands; activation makes the frame the strip's target.
TEST_F(Datasheet, CaptionStripFollowsTheGrid)
{
    OpenDatabase(NumberedTable(10));
    OpenDatasheet(L"t");
    CCaptionDlg* strip = m_captionBar->GetCaptionDlg();
    m_frame->UpdateCaptionBar();
    EXPECT_EQ(m_captionBar->GetTargetFrame(), m_frame.get());
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
    m_frame.reset();
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
    m_frame->InitGrid();
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
    m_frame->OnGridReferenceUp();
    m_frame->OnGridReferenceDown();
    EXPECT_TRUE(titles.empty());

    Grid()->SelectRow(1);
    m_frame->OnGridReferenceUp();
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
