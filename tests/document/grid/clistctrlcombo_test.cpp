// The grid list control in list mode: the editors' navigation, the keyboard rules, the
// check-box and combo cells, header sorting, selection and the open-datasheet count.
#include "document/grid/clistctrlcombo.h"

#include "document/strip/ccaptiondlg.h"
#include "document/grid/ccomboboxplus.h"
#include "document/grid/cinlineedit.h"
#include "document/grid/cplheaderctrl.h"
#include "gridtestsupport.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QScrollBar>

#include "platform/utf16.h"
#include "platform/widgets/fontface.h"

#include "data/settings.h"

namespace {

using Texts = std::vector<std::vector<std::wstring>>;

class ListGrid : public GridFixture {
protected:
    // Three edit columns over three lines.
    void MakeEditGrid(bool readOnly = false)
    {
        MakeListFrame({{L"a", GRID_EDIT}, {L"b", GRID_EDIT}, {L"c", GRID_EDIT}}, readOnly);
        FillList({{L"a0", L"b0", L"c0"}, {L"a1", L"b1", L"c1"}, {L"a2", L"b2", L"c2"}});
    }
    std::pair<int, int> Current() const { return {Grid()->m_nCurrentRow, Grid()->m_nCurrentColumn}; }
    QWidget* Focus() const { return QApplication::focusWidget(); }
};

// Every move of the editors' messages, from the cell named to the cell reached.
TEST_F(ListGrid, NavigationMessagesFollowTheTable)
{
    MakeEditGrid();
    struct Case {
        UINT message;
        int row, column;
        LRESULT result;
        int toRow, toColumn;
    } cases[] = {
        {UM_CELL_RIGHT, 0, 0, 0, 0, 1},
        {UM_CELL_RIGHT, 0, 2, 0, 1, 0}, // last column: column 0 of the next line
        {UM_CELL_RIGHT, 2, 2, 0, 2, 2}, // last cell: the same cell again
        {UM_CELL_LEFT, 1, 0, 0, 0, 2},  // column 0: the last column of the line above
        {UM_CELL_LEFT, 0, 0, 0, 0, 0},  // first cell: the same cell again
        {UM_CELL_UP, 0, 1, 0, 0, 1},    // row 0: nothing
        {UM_CELL_UP, 2, 1, 0, 1, 1},
        {UM_CELL_DOWN, 1, 1, 1, 2, 1},
        {UM_CELL_DOWN, 2, 1, 0, 2, 1},  // the last line: nothing, result 0
    };
    for (const Case& c : cases) {
        Grid()->EndEdit(-1);
        Grid()->BeginEdit(c.row, c.column, true);
        EXPECT_EQ(platform::SendMessage(Grid(), c.message, 0, 0), c.result) << c.message << " " << c.row << "," << c.column;
        EXPECT_EQ(Current(), std::make_pair(c.toRow, c.toColumn)) << c.message << " " << c.row << "," << c.column;
        EXPECT_EQ(Focus(), Grid()->GetEditorWidget(c.toColumn));
    }
    // Without a current cell the messages do nothing.
    Grid()->EndEdit(-1);
    Grid()->m_nCurrentRow = Grid()->m_nCurrentColumn = -1;
    EXPECT_EQ(platform::SendMessage(Grid(), UM_CELL_DOWN, 0, 0), 0);
    EXPECT_EQ(Current(), std::make_pair(-1, -1));
}

// Tab and Enter move to the next cell and Shift+Tab to the previous one, wherever the
// caret stands, and a typed text is stored on the way; the arrows move only at the ends.
TEST_F(ListGrid, TabEnterAndShiftTabFromTheEditBox)
{
    MakeEditGrid();
    DoubleClick(0, 0);
    ASSERT_EQ(Current(), std::make_pair(0, 0));
    auto* edit = qobject_cast<CInlineEdit*>(Focus());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->cursorPosition(), 0); // the caret starts before the first character

    Key(Qt::Key_End);
    Type(QStringLiteral("x"));
    Key(Qt::Key_Home);
    Key(Qt::Key_Tab); // the caret is at the start: Tab still goes right
    EXPECT_EQ(Current(), std::make_pair(0, 1));
    EXPECT_EQ(m_frame->GetItemText(0, 0), L"a0x");

    Key(Qt::Key_Return);
    EXPECT_EQ(Current(), std::make_pair(0, 2));
    Key(Qt::Key_Enter);
    EXPECT_EQ(Current(), std::make_pair(1, 0)); // wraps to the next line
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(Current(), std::make_pair(0, 2));
    EXPECT_FALSE(Grid()->m_bTabRightPending);
    EXPECT_FALSE(Grid()->m_bShiftTabLeftPending);

    // A cell that a key reached holds its whole text: Right goes on, Left goes back.
    Key(Qt::Key_Right);
    EXPECT_EQ(Current(), std::make_pair(1, 0));
    Key(Qt::Key_Left);
    EXPECT_EQ(Current(), std::make_pair(0, 2));
    Key(Qt::Key_Home); // the caret at 0 of "c0": Right moves the caret
    Key(Qt::Key_Right);
    EXPECT_EQ(Current(), std::make_pair(0, 2));
    Key(Qt::Key_Right);
    Key(Qt::Key_Right); // at the end of the text: the next cell
    EXPECT_EQ(Current(), std::make_pair(1, 0));
    Key(Qt::Key_Home);
    Key(Qt::Key_Left); // at 0: the cell to the left
    EXPECT_EQ(Current(), std::make_pair(0, 2));
    Key(Qt::Key_Down);
    EXPECT_EQ(Current(), std::make_pair(1, 2));
    EXPECT_EQ(m_frame->GetItemText(0, 2), L"c0"); // passing through changes nothing
}

// Delete from the grid asks about the selected rows and deletes them from the highest
// down, telling the owner of each.
TEST_F(ListGrid, DeleteKeyDeletesTheSelectedRows)
{
    MakeEditGrid();
    FillList({{L"a3"}, {L"a4"}});
    Grid()->SelectRow(1);
    Grid()->SelectRows(3, 3);
    Grid()->setFocus();

    m_boxes.QueueAnswer(platform::IDNO);
    Key(Qt::Key_Delete);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().caption, L"Delete Confirmation");
    EXPECT_EQ(m_boxes.Last().text, L"Click Yes button to proceed.\nClick No button to cancel.");
    EXPECT_EQ(m_boxes.Last().style, platform::MB_YESNO | platform::MB_ICONWARNING | platform::MB_DEFBUTTON2);
    EXPECT_EQ(Grid()->GetItemCount(), 5);

    m_boxes.QueueAnswer(platform::IDYES);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Grid()->GetItemCount(), 3);
    EXPECT_EQ(m_frame->GetItemText(0, 0), L"a0");
    EXPECT_EQ(m_frame->GetItemText(1, 0), L"a2");
    EXPECT_EQ(m_frame->GetItemText(2, 0), L"a4");
    const std::vector<std::tuple<UINT, int, int>> deleted = {{UM_LIST_ROW_DELETED, 0, 3}, {UM_LIST_ROW_DELETED, 0, 1}};
    std::vector<std::tuple<UINT, int, int>> seen;
    for (const auto& m : m_owner.messages)
        if (std::get<0>(m) == UM_LIST_ROW_DELETED)
            seen.push_back(m);
    EXPECT_EQ(seen, deleted);

    // No row selected: the question still comes, and nothing goes.
    m_boxes.QueueAnswer(platform::IDYES);
    Grid()->setFocus();
    Key(Qt::Key_Delete);
    EXPECT_EQ(m_boxes.Count(), 3u);
    EXPECT_EQ(Grid()->GetItemCount(), 3);
}

// On a read-only frame the grid's keys are not its own, and a double-click only warns.
TEST_F(ListGrid, ReadOnlyOwnerIgnoresTheGridKeys)
{
    MakeEditGrid(true);
    Grid()->SelectRow(1);
    Grid()->setFocus();
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Tab, Qt::Key_Return, Qt::Key_PageDown, Qt::Key_PageUp})
        Key(key);
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(Grid()->GetItemCount(), 3);
    EXPECT_FALSE(Grid()->m_bTabRightPending);
    m_lines->Clear();
    DoubleClick(1, 1);
    EXPECT_EQ(Current(), std::make_pair(-1, -1));
    ASSERT_GE(m_lines->Count(), 1u);
    EXPECT_EQ(m_lines->Last().text, L"Modification on SQL Query or View is not allowed.");
    EXPECT_EQ(m_lines->Last().type, platform::CAPTION_LINE_WARNING);
}

// A double-click toggles a check-box cell only inside its box; elsewhere in the cell it
// only makes the cell current.
TEST_F(ListGrid, CheckBoxTogglesInsideItsBoxOnly)
{
    MakeListFrame({{L"name", GRID_EDIT}, {L"on", GRID_CHECK_BOX}});
    FillList({{L"x", L"0"}, {L"y", L"1"}});
    DoubleClick(0, 1);
    EXPECT_EQ(m_frame->GetItemText(0, 1), L"1");
    EXPECT_EQ(Current(), std::make_pair(0, 1));
    EXPECT_EQ(Focus(), Grid()->GetHiddenEditor()); // arrows still move from a check-box cell
    DoubleClick(0, 1);
    EXPECT_EQ(m_frame->GetItemText(0, 1), L"0");

    const QRect cell = Grid()->GetCellRect(1, 1);
    const QPoint outside(cell.left() + 4, cell.center().y());
    DoubleClickAt(outside);
    EXPECT_EQ(m_frame->GetItemText(1, 1), L"1");
    EXPECT_EQ(Current(), std::make_pair(1, 1));
    Key(Qt::Key_Left);
    EXPECT_EQ(Current(), std::make_pair(1, 0));
}

// A combo cell changes only by a choice: passing through keeps its text even when no
// entry begins with it, and an empty cell selects the empty entry.
TEST_F(ListGrid, ComboCellChangesOnlyByAChoice)
{
    MakeListFrame({{L"name", GRID_EDIT}, {L"type", GRID_COMBO}});
    EXPECT_TRUE(Grid()->AddComboItems(1, {L"", L"INTEGER", L"INT", L"TEXT"}));
    EXPECT_FALSE(Grid()->AddComboItem(0, L"x"));
    EXPECT_FALSE(Grid()->AddComboItem(2, L"x"));
    FillList({{L"a", L"VARCHAR"}, {L"b", L""}, {L"c", L"text"}});
    auto* combo = qobject_cast<CComboBoxPlus*>(Grid()->GetEditorWidget(1));
    ASSERT_NE(combo, nullptr);

    Grid()->BeginEdit(0, 1, true);
    EXPECT_EQ(combo->currentIndex(), -1); // no entry begins with VARCHAR
    Key(Qt::Key_Down);
    EXPECT_EQ(m_frame->GetItemText(0, 1), L"VARCHAR");
    EXPECT_EQ(Current(), std::make_pair(1, 1));
    EXPECT_EQ(combo->currentIndex(), 0); // the empty cell: the empty entry
    Key(Qt::Key_Down);
    EXPECT_EQ(m_frame->GetItemText(1, 1), L"");
    EXPECT_EQ(combo->currentText(), QStringLiteral("TEXT"));

    // A choice stores the entry.
    emit combo->activated(1);
    combo->setCurrentIndex(1);
    Key(Qt::Key_Up);
    EXPECT_EQ(m_frame->GetItemText(2, 1), L"INTEGER");
}

// An owner's table of columns becomes the grid's columns, each with its title, editor,
// width, alignment and value type.
TEST_F(ListGrid, ColumnTableGivesEachColumnItsSettings)
{
    static constexpr GridColumnSpec kColumns[] = {
        {L"Name", GRID_EDIT, 150},
        {L"Type", GRID_COMBO, 100},
        {L"Amount", GRID_EDIT, 60, 0, FIELDTYPE_INTEGER},
        {L"Flag", GRID_CHECK_BOX, 80},
    };
    m_frame = std::make_unique<CListFrame>();
    m_frame->m_nMode = CListFrame::MODE_LIST;
    m_frame->Create(&m_owner, QRect(0, 0, 600, 380));
    m_frame->AddColumns(kColumns);
    m_frame->InitGrid();
    ASSERT_EQ(Grid()->GetColumnCount(), 4);
    for (int i = 0; i < 4; ++i) {
        const GridColumn& column = Grid()->m_arrColumns[static_cast<size_t>(i)];
        EXPECT_EQ(column.m_strTitle, kColumns[i].m_szTitle);
        EXPECT_EQ(column.m_nEditorKind, kColumns[i].m_nEditorKind);
        EXPECT_EQ(Grid()->columnWidth(i), kColumns[i].m_nWidth);
        EXPECT_EQ((column.m_nTextFormat & Qt::AlignRight) != 0, i == 2);
        EXPECT_EQ(Grid()->GetValueType(i), i == 2 ? FIELDTYPE_INTEGER : GRID_NO_VALUE_TYPE);
    }
    EXPECT_NE(qobject_cast<CComboBoxPlus*>(Grid()->GetEditorWidget(1)), nullptr);
}

// One toggle for the whole grid: the first header click sorts ascending, the next one,
// on another column, descending; the header's mark follows the grid.
TEST_F(ListGrid, HeaderClicksSortWithOneToggle)
{
    MakeListFrame({{L"name", GRID_EDIT}, {L"city", GRID_EDIT}, {L"code", GRID_EDIT}});
    FillList({{L"b", L"Zug", L"2"}, {L"a", L"Bern", L"3"}, {L"c", L"Aarau", L"1"}});
    auto* header = qobject_cast<CPLHeaderCtrl*>(Grid()->horizontalHeader());
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->GetSortState(), SORT_MARK_NONE);
    auto column = [&](int c) {
        std::wstring all;
        for (int r = 0; r < Grid()->GetItemCount(); ++r)
            all += m_frame->GetItemText(r, c);
        return all;
    };
    auto clickHeader = [&](int c) {
        const QRect r(header->sectionViewportPosition(c), 0, header->sectionSize(c), header->height());
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), r.center());
    };
    clickHeader(0);
    EXPECT_EQ(column(0), L"abc");
    EXPECT_EQ(header->GetSortColumn(), 0);
    EXPECT_EQ(header->GetSortState(), SORT_MARK_ASCENDING);
    clickHeader(2);
    EXPECT_EQ(column(2), L"321");
    EXPECT_EQ(column(0), L"abc"); // rows move whole
    EXPECT_EQ(Grid()->m_nSortColumn, 2);
    EXPECT_EQ(header->GetSortState(), SORT_MARK_DESCENDING);
    clickHeader(1);
    EXPECT_EQ(column(1), L"AarauBernZug");
    EXPECT_EQ(header->GetSortState(), SORT_MARK_ASCENDING);
}

// A frame whose rows must keep their order (a designer's) does not sort on a header click.
TEST_F(ListGrid, UnsortableFrameKeepsItsRowOrder)
{
    m_frame = std::make_unique<CListFrame>();
    m_frame->m_nMode = CListFrame::MODE_LIST;
    m_frame->m_bSortable = 0;
    m_frame->Create(&m_owner, QRect(0, 0, 600, 380));
    m_frame->AddColumn(L"name", GRID_EDIT, 100, 1, -1);
    m_frame->InitGrid();
    ShowActive(m_owner);
    FillList({{L"b"}, {L"a"}});
    auto* header = qobject_cast<CPLHeaderCtrl*>(Grid()->horizontalHeader());
    ASSERT_NE(header, nullptr);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(),
                      QPoint(header->sectionSize(0) / 2, header->height() / 2));
    EXPECT_EQ(m_frame->GetItemText(0, 0), L"b");
    EXPECT_EQ(header->GetSortState(), SORT_MARK_NONE);
}

// Selection: the iterator walks the selected rows upwards and starts again after -1;
// selecting row -1 or a row past the end selects nothing.
TEST_F(ListGrid, SelectionIteratorAndSelectRow)
{
    MakeEditGrid();
    FillList({{L"a3"}, {L"a4"}});
    for (int row : {4, 1, 2})
        Grid()->SelectRows(row, row);
    Grid()->m_bSelectionRestart = 1;
    EXPECT_EQ(Grid()->GetNextSelectedItem(), 1);
    EXPECT_EQ(Grid()->GetNextSelectedItem(), 2);
    EXPECT_EQ(Grid()->GetNextSelectedItem(), 4);
    EXPECT_EQ(Grid()->GetNextSelectedItem(), -1);
    EXPECT_EQ(Grid()->GetNextSelectedItem(), 1); // restarted

    // Overlapping ranges give each row once.
    Grid()->ClearSelection();
    Grid()->SelectRows(1, 3);
    Grid()->SelectRows(2, 4);
    std::vector<int> rows;
    for (int row = Grid()->GetNextSelectedItem(); row >= 0; row = Grid()->GetNextSelectedItem())
        rows.push_back(row);
    EXPECT_EQ(rows, (std::vector<int>{1, 2, 3, 4}));

    Grid()->SelectRow(3);
    Grid()->m_bSelectionRestart = 1;
    EXPECT_EQ(Grid()->GetNextSelectedItem(), 3);
    EXPECT_EQ(Grid()->GetNextSelectedItem(), -1);
    EXPECT_TRUE(Grid()->hasFocus());
    for (int row : {-1, 5}) {
        Grid()->SelectRow(row);
        EXPECT_EQ(Grid()->GetNextSelectedItem(), -1) << row;
    }
}

// A click ends editing and reports the row to the owner; a double-click begins editing
// and the owner hears of the current cell and of the row opened; the click after a
// double-click is swallowed.
TEST_F(ListGrid, OwnerHearsClicksAndActivations)
{
    MakeEditGrid();
    m_owner.messages.clear();
    Click(2, 1);
    DoubleClick(1, 2);
    const std::vector<std::tuple<UINT, int, int>> expected = {
        {UM_LIST_ROW_CLICK, 0, 2}, {UM_LIST_ROW_CLICK, 0, 1}, {UM_LIST_ROW_ACTIVATE, 2, 1}, {UM_LIST_ROW_OPEN, 0, 1}};
    EXPECT_EQ(m_owner.messages, expected);
    EXPECT_EQ(Current(), std::make_pair(1, 2));
    // Enter in an edit box moves on: the row opens only on the grid or a cell without an editor.
    m_owner.messages.clear();
    Key(Qt::Key_Return);
    EXPECT_EQ(Current(), std::make_pair(2, 0));
    for (const auto& message : m_owner.messages)
        EXPECT_NE(std::get<0>(message), UM_LIST_ROW_OPEN);
    Click(0, 0);
    EXPECT_EQ(Current(), std::make_pair(-1, -1));
    EXPECT_FALSE(Grid()->GetEditorWidget(2)->isVisible());
}

// The frame's own row delete tells the owner.
TEST_F(ListGrid, FrameDeleteRowInListMode)
{
    MakeEditGrid();
    m_owner.messages.clear();
    m_frame->DeleteRow(1);
    m_frame->DeleteRow(7); // no such row
    const std::vector<std::tuple<UINT, int, int>> expected = {{UM_LIST_ROW_DELETED, 0, 1}};
    EXPECT_EQ(m_owner.messages, expected);
    EXPECT_EQ(m_frame->GetItemText(1, 0), L"a2");
}

// The "..." button of a cell reaches the frame's owner with the cell's column and row.
TEST_F(ListGrid, CellButtonReachesTheOwner)
{
    MakeListFrame({{L"name", GRID_EDIT}, {L"file", GRID_BUTTON}});
    FillList({{L"a", L""}, {L"b", L""}});
    DoubleClick(1, 1);
    QWidget* button = Grid()->GetEditorWidget(1);
    ASSERT_TRUE(button->isVisible());
    m_owner.messages.clear();
    QTest::mouseClick(button, Qt::LeftButton);
    const std::vector<std::tuple<UINT, int, int>> expected = {{UM_CELL_BUTTON, 1, 1}};
    EXPECT_EQ(m_owner.messages, expected);
}

// Paging keys page; digits typed into an edit box stay digits.
TEST_F(ListGrid, PagingKeysPageAndDigitsStayDigits)
{
    MakeListFrame({{L"n", GRID_EDIT}});
    for (int i = 0; i < 200; ++i)
        Grid()->InsertItem(i, std::to_wstring(i));
    const int page = Grid()->GetCountPerPage();
    Grid()->setFocus();
    Key(Qt::Key_PageDown);
    EXPECT_GE(Grid()->GetTopIndex(), page); // row 2 x page - 1 is visible
    const int top = Grid()->GetTopIndex();
    Grid()->BeginEdit(top, 0, true);
    Key(Qt::Key_End);
    Type(QStringLiteral("93"));
    EXPECT_EQ(Grid()->GetTopIndex(), top);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(Grid()->GetTopIndex(), std::max(0, top - page));
}

// A scroll by the user stores the open cell and ends editing; the grid's own column
// scroll keeps the editor on its cell.
TEST_F(ListGrid, UserScrollEndsEditingOwnScrollKeepsIt)
{
    MakeListFrame({{L"a", GRID_EDIT}, {L"b", GRID_EDIT}, {L"c", GRID_EDIT}, {L"d", GRID_EDIT}, {L"e", GRID_EDIT},
                   {L"f", GRID_EDIT}, {L"g", GRID_EDIT}, {L"h", GRID_EDIT}});
    for (int i = 0; i < 100; ++i)
        Grid()->InsertItem(i, std::to_wstring(i));
    Grid()->BeginEdit(0, 4, true);
    Type(QStringLiteral("x"));
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab); // column 7 lies beyond the right edge: the grid scrolls to it
    ASSERT_EQ(Current(), std::make_pair(0, 7));
    EXPECT_GT(Grid()->horizontalScrollBar()->value(), 0);
    QWidget* editor = Grid()->GetEditorWidget(7);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->geometry().topLeft(),
              Grid()->GetCellRect(0, 7).topLeft() + Grid()->viewport()->geometry().topLeft());
    EXPECT_EQ(m_frame->GetItemText(0, 4), L"x");

    Type(QStringLiteral("y"));
    Grid()->verticalScrollBar()->setValue(20);
    EXPECT_EQ(Current(), std::make_pair(-1, -1));
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(m_frame->GetItemText(0, 7), L"y");
}

// A change of the datasheet font settings reaches the cell font and the editors at the
// next paint; the row height stays.
TEST_F(ListGrid, FontSettingsApplyAtTheNextPaint)
{
    MakeEditGrid();
    const int rowHeight = Grid()->GetRowHeight();
    const int before = m_frame->m_fontCell.pixelSize();
    g_strFontSize = L"30";
    Grid()->viewport()->repaint();
    EXPECT_GT(m_frame->m_fontCell.pixelSize(), before);
    EXPECT_EQ(Grid()->GetEditorWidget(1)->font().pixelSize(), m_frame->m_fontCell.pixelSize());
    EXPECT_EQ(Grid()->GetRowHeight(), rowHeight);
}

// The datasheet font size is a cell height in points (ascent plus descent), not an em
// size; the header's 18 is a cell height in pixels. A size drawn as an em would come out
// taller than its cell in every face.
TEST_F(ListGrid, FontSizesAreCellHeights)
{
    const QStringList families = QFontDatabase::families();
    QStringList faces{QStringLiteral("No Such Face Anywhere")};
    if (families.contains(QStringLiteral("DejaVu Sans Mono")))
        faces << QStringLiteral("DejaVu Sans Mono");
    const auto cellHeight = [this](const QFont& font) {
        const QFontMetrics metrics(font, m_frame.get());
        return metrics.ascent() + metrics.descent();
    };
    for (const QString& face : faces) {
        for (int size : {8, 10, 14, 20, 30}) {
            SCOPED_TRACE(face.toStdString() + " " + std::to_string(size));
            g_strFontFace = platform::FromQString(face);
            g_strFontSize = std::to_wstring(size);
            MakeEditGrid();
            const int target = (size * m_frame->logicalDpiY() + 36) / 72;
            EXPECT_LE(cellHeight(m_frame->m_fontCell), target);
            EXPECT_GE(cellHeight(m_frame->m_fontCell), target - std::max(2, target / 8));
            EXPECT_LE(cellHeight(m_frame->m_fontHeader), 18);
            EXPECT_GE(cellHeight(m_frame->m_fontHeader), 16);
        }
    }
}

// Only a datasheet frame that counted itself counts down, and the last one clears the strip.
TEST_F(ListGrid, OpenDatasheetCountBelongsToTheFramesThatCounted)
{
    const int before = g_nOpenDatasheets;
    MakeEditGrid(); // list mode: not a datasheet
    EXPECT_EQ(g_nOpenDatasheets, before);
    CloseFrame();
    EXPECT_EQ(g_nOpenDatasheets, before);

    // Datasheet frames over rows of their own, as the data view makes them.
    struct Datasheet {
        DatasheetRows rows;
        CListFrame frame;
        DatasheetFrame datasheet;
        explicit Datasheet(CDataInterface& bridge)
            : rows(bridge)
            , datasheet(frame, rows, bridge)
        {
        }
    };
    CDataInterface bridge;
    auto uncounted = std::make_unique<Datasheet>(bridge);
    uncounted->frame.Create(&m_owner);
    uncounted->frame.AddColumn(L"a", GRID_EDIT, 100, 1, -1); // never initialised
    uncounted.reset();
    EXPECT_EQ(g_nOpenDatasheets, before);

    CCaptionDlg* strip = m_captionBar->GetCaptionDlg();
    auto first = std::make_unique<Datasheet>(bridge);
    auto second = std::make_unique<Datasheet>(bridge);
    for (Datasheet* d : {first.get(), second.get()}) {
        d->frame.Create(&m_owner);
        d->frame.AddColumn(L"a", GRID_EDIT, 100, 1, -1);
        d->datasheet.InitGrid();
    }
    EXPECT_EQ(g_nOpenDatasheets, before + 2);
    EXPECT_TRUE(strip->GetControl(CCaptionDlg::AddRow)->isEnabled());
    first.reset();
    EXPECT_EQ(g_nOpenDatasheets, before + 1);
    EXPECT_TRUE(strip->GetControl(CCaptionDlg::AddRow)->isEnabled());
    second.reset();
    EXPECT_EQ(g_nOpenDatasheets, before);
    EXPECT_FALSE(strip->GetControl(CCaptionDlg::AddRow)->isEnabled());
}

// The keyboard keeps the user's place: the arrows, Page Up and Page Down, Ctrl+Home and
// Ctrl+End move the current row and keep it on screen, and the current cell is framed.
TEST_F(ListGrid, KeyboardKeepsTheCurrentRowOnScreen)
{
    MakeListFrame({{L"n", GRID_EDIT}, {L"m", GRID_EDIT}});
    for (int i = 0; i < 300; ++i)
        Grid()->InsertItem(i, std::to_wstring(i));
    Grid()->SelectRow(0);
    const int page = Grid()->GetCountPerPage();
    auto row = [this] { return Grid()->GetCursorRow(); };
    auto expectShown = [&](const char* step) {
        EXPECT_GE(row(), Grid()->GetTopIndex()) << step;
        EXPECT_LT(row(), Grid()->GetTopIndex() + page) << step;
        EXPECT_TRUE(Grid()->IsRowSelected(row())) << step;
    };
    for (int i = 0; i < page + 5; ++i)
        Key(Qt::Key_Down);
    EXPECT_EQ(row(), page + 5);
    expectShown("down");
    const int before = row();
    Key(Qt::Key_PageDown);
    EXPECT_EQ(row(), before + page);
    expectShown("page down");
    Key(Qt::Key_PageUp);
    EXPECT_EQ(row(), before);
    expectShown("page up");
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(row(), 299);
    expectShown("ctrl+end");
    Key(Qt::Key_Up);
    EXPECT_EQ(row(), 298);
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(row(), 0);
    EXPECT_EQ(Grid()->GetTopIndex(), 0);

    // The current cell carries a focus frame: a pixel on its inner edge differs from
    // the same place in the cell beside it.
    Grid()->ClearSelection();
    Grid()->SetCursorCell(1, 0);
    const QImage image = Grid()->viewport()->grab().toImage();
    const QRect current = Grid()->GetCellRect(1, 0);
    const QRect beside = Grid()->GetCellRect(1, 1);
    int differing = 0;
    for (int x = 3; x < current.width() - 3; ++x)
        differing += image.pixel(current.left() + x, current.top() + 1) != image.pixel(beside.left() + x, beside.top() + 1);
    EXPECT_GT(differing, 0);
}

// The mouse selects rows as in any list: a click one row, Shift+click a run from the
// row clicked before, Ctrl+click a row more or less, a drag the rows it passes; a
// right-click keeps a selection it falls in; a click below the last line selects nothing.
TEST_F(ListGrid, MouseSelectsRowsAsInAnyList)
{
    MakeListFrame({{L"n", GRID_EDIT}, {L"m", GRID_EDIT}});
    for (int i = 0; i < 10; ++i)
        Grid()->InsertItem(i, std::to_wstring(i));
    auto click = [this](int row, Qt::KeyboardModifiers modifiers, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Grid()->viewport(), button, modifiers, CellCentre(row, 1));
    };
    click(2, Qt::NoModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    EXPECT_TRUE(Grid()->hasFocus());
    click(5, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5}));
    click(3, Qt::ControlModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4, 5}));
    click(8, Qt::ControlModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4, 5, 8}));
    click(4, Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4, 5, 8}));
    click(7, Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(Selected(), (std::vector<int>{7}));

    QTest::mousePress(Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(6, 0));
    QMouseEvent move(QEvent::MouseMove, QPointF(CellCentre(3, 0)), Grid()->viewport()->mapToGlobal(QPointF(CellCentre(3, 0))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Grid()->viewport(), &move);
    QTest::mouseRelease(Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(3, 0));
    EXPECT_EQ(Selected(), (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(Grid()->GetCursorRow(), 3);

    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(CellCentre(0, 0).x(), Grid()->GetCellRect(9, 0).bottom() + 20));
    EXPECT_TRUE(Selected().empty());
}

// Shift with the arrows and the page keys selects from the row the selection began at;
// Ctrl+A selects every line.
TEST_F(ListGrid, ShiftedKeysExtendTheSelection)
{
    MakeListFrame({{L"n", GRID_EDIT}});
    for (int i = 0; i < 100; ++i)
        Grid()->InsertItem(i, std::to_wstring(i));
    Grid()->SelectRow(10);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{10, 11, 12}));
    Key(Qt::Key_Up, Qt::ShiftModifier);
    Key(Qt::Key_Up, Qt::ShiftModifier);
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{9, 10}));
    const int page = Grid()->GetCountPerPage();
    Key(Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(Selected().front(), 10);
    EXPECT_EQ(Selected().back(), 9 + page);
    Key(Qt::Key_Down);
    EXPECT_EQ(Selected(), (std::vector<int>{10 + page}));
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected().size(), 100u);
}

// The selection and the keyboard's current row stay with their lines when lines come,
// go or are sorted.
TEST_F(ListGrid, SelectionStaysWithItsLines)
{
    MakeListFrame({{L"n", GRID_EDIT}});
    m_frame->m_bSortable = 1;
    FillList({{L"d"}, {L"b"}, {L"e"}, {L"a"}, {L"c"}});
    Grid()->SelectRow(2); // "e"
    Grid()->SelectRows(4, 4); // "c"
    auto selectedTexts = [this] {
        std::vector<std::wstring> texts;
        for (int row : Selected())
            texts.push_back(Grid()->GetItemText(row, 0));
        return texts;
    };
    Grid()->InsertItem(0, L"f");
    EXPECT_EQ(selectedTexts(), (std::vector<std::wstring>{L"e", L"c"}));
    Grid()->DeleteItem(2); // "b"
    EXPECT_EQ(selectedTexts(), (std::vector<std::wstring>{L"e", L"c"}));
    Grid()->DeleteItem(Grid()->GetItemCount() - 1); // "c" itself
    EXPECT_EQ(selectedTexts(), (std::vector<std::wstring>{L"e"}));

    auto* header = qobject_cast<CPLHeaderCtrl*>(Grid()->horizontalHeader());
    ASSERT_NE(header, nullptr);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(),
                      QPoint(header->sectionViewportPosition(0) + header->sectionSize(0) / 2, header->height() / 2));
    ASSERT_EQ(Grid()->GetItemText(0, 0), L"a");
    EXPECT_EQ(selectedTexts(), (std::vector<std::wstring>{L"e"}));
    EXPECT_EQ(Grid()->GetItemText(Grid()->GetCursorRow(), 0), L"e");
}

// Ten million lines scroll, page and paint like ten: the last line can be reached and
// is drawn where its rectangle says.
TEST_F(ListGrid, TenMillionLinesScrollToTheEnd)
{
    MakeListFrame({{L"n", GRID_EDIT}});
    Grid()->SetItemCountEx(10'000'000);
    const int page = Grid()->GetCountPerPage();
    EXPECT_EQ(Grid()->verticalScrollBar()->maximum(), 10'000'000 - page);
    Grid()->SelectRow(0);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Grid()->GetCursorRow(), 9'999'999);
    EXPECT_EQ(Grid()->GetTopIndex(), 10'000'000 - page);
    const QRect last = Grid()->GetCellRect(9'999'999, 0);
    EXPECT_EQ(Grid()->rowAt(last.center().y()), 9'999'999);
    EXPECT_LE(last.bottom(), Grid()->viewport()->height());
    // The selected last line is painted in the highlight colour.
    const QImage image = Grid()->viewport()->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(last.center().x(), last.center().y())),
              Grid()->palette().color(QPalette::Active, QPalette::Highlight));
    Key(Qt::Key_PageUp);
    EXPECT_EQ(Grid()->GetCursorRow(), 9'999'999 - page);
}

// The keypad's 9 and 3 type digits, in the grid and in an edit box: they never page.
TEST_F(ListGrid, KeypadDigitsNeverPage)
{
    MakeListFrame({{L"n", GRID_EDIT}});
    for (int i = 0; i < 200; ++i)
        Grid()->InsertItem(i, std::to_wstring(i));
    Grid()->SelectRow(50);
    const int top = Grid()->GetTopIndex();
    for (Qt::Key key : {Qt::Key_9, Qt::Key_3})
        QTest::keyClick(QApplication::focusWidget(), key, Qt::KeypadModifier);
    EXPECT_EQ(Grid()->GetTopIndex(), top);
    // On the grid the digits are typed into the current cell, which Escape gives back.
    auto* typed = qobject_cast<CInlineEdit*>(QApplication::focusWidget());
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->text(), QStringLiteral("93"));
    QTest::keyClick(typed, Qt::Key_Escape);
    EXPECT_EQ(Grid()->GetItemText(50, 0), L"50");
    DoubleClick(50, 0);
    auto* edit = qobject_cast<CInlineEdit*>(QApplication::focusWidget());
    ASSERT_NE(edit, nullptr);
    Key(Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_9, Qt::KeypadModifier, '9');
    QTest::keyClick(edit, Qt::Key_3, Qt::KeypadModifier, '3');
    EXPECT_EQ(edit->text(), QStringLiteral("5093"));
    EXPECT_EQ(Grid()->GetTopIndex(), top);
    EXPECT_EQ(Current(), std::make_pair(50, 0));
}

// A double-click on a header divider sizes the column to its visible contents, wider or
// narrower than before.
TEST_F(ListGrid, DividerDoubleClickFitsTheVisibleTexts)
{
    MakeListFrame({{L"a", GRID_EDIT}, {L"b", GRID_EDIT}});
    const std::wstring longText = L"a text that needs far more room than one hundred pixels give it";
    FillList({{L"x", longText}, {L"y", L"z"}});
    CPLHeaderCtrl* header = Grid()->m_pHeader;
    const QFontMetrics metrics(m_frame->m_fontCell);
    for (int column : {1, 0}) {
        const QPoint divider(header->sectionViewportPosition(column) + header->sectionSize(column) - 1, header->height() / 2);
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), divider);
    }
    EXPECT_GE(Grid()->columnWidth(1), metrics.horizontalAdvance(platform::ToQString(longText)) + 2 * m_frame->m_nTextMargin);
    EXPECT_LT(Grid()->columnWidth(0), 100);
    EXPECT_GE(Grid()->columnWidth(0), metrics.horizontalAdvance(QStringLiteral("x")));
}

// A font face that is not installed gives the desktop's general font at the set size, in
// the cells, the header and the caption strip; an installed face is used as named.
TEST_F(ListGrid, MissingFontFaceGivesTheDesktopFont)
{
    const QString generalFamily = QFontInfo(QFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family())).family();
    g_strFontFace = L"No Such Face Anywhere";
    g_strFontSize = L"20";
    MakeEditGrid();
    EXPECT_EQ(g_strFontFace, L"No Such Face Anywhere");
    EXPECT_EQ(QFontInfo(m_frame->m_fontCell).family(), generalFamily);
    EXPECT_EQ(QFontInfo(m_frame->m_fontHeader).family(),
              platform::IsFaceInstalled(QStringLiteral("Tahoma")) ? QStringLiteral("Tahoma") : generalFamily);
    if (!platform::IsFaceInstalled(QStringLiteral("Tahoma"))) {
        EXPECT_EQ(QFontInfo(m_captionBar->GetCaptionDlg()->font()).family(), generalFamily);
    }

    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    const QString installed = families.contains(QStringLiteral("DejaVu Sans Mono")) ? QStringLiteral("DejaVu Sans Mono")
                                                                                    : families.front();
    g_strFontFace = platform::FromQString(installed);
    Grid()->viewport()->repaint();
    EXPECT_EQ(QFontInfo(m_frame->m_fontCell).family(), installed);
}

} // namespace
