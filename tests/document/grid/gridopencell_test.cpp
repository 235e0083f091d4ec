// The open cell and its record: whatever changes the rows, their order or the rows on
// screen ends the edit first, so typed text reaches the row it was typed in or nowhere,
// and no editor is ever left over a row it does not edit. Also Escape, Delete inside
// an edit box, the "..." button's focus, and the frame, bridge and model going in
// either order while rows load.
#include "document/grid/clistframe.h"

#include "document/grid/cbuttonplus.h"
#include "document/strip/ccaptiondlg.h"
#include "document/grid/cinlineedit.h"
#include "document/grid/cplheaderctrl.h"
#include "gridtestsupport.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QWheelEvent>

#include <functional>

namespace {

using namespace numbered;

class OpenCell : public GridFixture {
protected:
    std::pair<int, int> Current() const { return {Grid()->m_nCurrentRow, Grid()->m_nCurrentColumn}; }

    // Opens the name cell of a row and types into it, as a user does.
    CInlineEdit* TypeIntoName(int row, const QString& text)
    {
        Grid()->SelectRow(row);
        DoubleClick(row, NAME);
        auto* edit = qobject_cast<CInlineEdit*>(QApplication::focusWidget());
        EXPECT_NE(edit, nullptr);
        if (!edit)
            return nullptr;
        EXPECT_EQ(edit->GetRow(), row);
        Key(Qt::Key_End);
        Type(text);
        return edit;
    }

    // No visible editor stands anywhere but over the cell it edits.
    void ExpectNoEditorOverAnotherRow(const char* step) const
    {
        for (int column = 0; column < Grid()->GetColumnCount(); ++column) {
            QWidget* editor = Grid()->GetEditorWidget(column);
            if (!editor || !editor->isVisible())
                continue;
            EXPECT_EQ(Current().second, column) << step;
            const QRect cell = Grid()->GetCellRect(Grid()->m_nCurrentRow, column)
                                   .translated(Grid()->viewport()->geometry().topLeft());
            EXPECT_EQ(editor->geometry(), cell) << step;
            if (auto* edit = qobject_cast<CInlineEdit*>(editor)) {
                EXPECT_EQ(edit->GetRow(), Grid()->m_nCurrentRow) << step;
            }
        }
    }

    // Rows whose name is not the one the table was made with.
    std::string ChangedNames() const
    {
        return Raw("SELECT coalesce(group_concat(id || '=' || name), '') FROM t WHERE name <> 'n' || id");
    }
};

// Every command that changes the rows or their order, or the rows on screen, with a
// typed text pending in row 5 (id 6): the text is stored in id 6 (or, for Undo,
// nowhere), no other row changes, and no editor stays open over another row.
TEST_F(OpenCell, CommandsEndTheEditBeforeTheyChangeTheRows)
{
    struct Case {
        const char* name;
        std::function<void()> command;
        const char* changed; // ChangedNames() afterwards
    };
    const std::vector<Case> cases = {
        {"strip delete rows", [this] {
             // Row 3 (id 4) selected while the cell of row 5 is open: the rows below it move up.
             Grid()->SelectRows(3, 3);
             m_boxes.QueueAnswer(platform::IDYES);
             m_datasheet->OnGridDeleteRows();
         }, "6=n6typed"},
        {"strip add row", [this] { m_datasheet->OnGridAddRow(); }, "6=n6typed"},
        {"search", [this] { m_datasheet->OnGridSearch(SEARCH_WHOLE_FIELD, L"n180"); }, "6=n6typed"},
        {"find next", [this] {
             m_datasheet->OnGridFindNext();
         }, "6=n6typed"},
        {"go to row", [this] { m_datasheet->OnGridSearch(SEARCH_GO_TO_ROW, L"150"); }, "6=n6typed"},
        {"header sort", [this] {
             emit Grid()->m_pHeader->ItemClicked(QTY);
             QApplication::processEvents();
             EXPECT_TRUE(QTest::qWaitFor([this] { return Grid()->HasNewRowLine(); }, 10000));
         }, "6=n6typed"},
        {"undo", [this] { m_datasheet->OnGridUndoRow(); }, ""},
        {"page down", [this] { Key(Qt::Key_PageDown); }, "6=n6typed"},
        {"wheel", [this] {
             const QPoint point = CellCentre(1, ID);
             QWheelEvent wheel(point, Grid()->viewport()->mapToGlobal(point), QPoint(), QPoint(0, -120), Qt::NoButton,
                               Qt::NoModifier, Qt::NoScrollPhase, false);
             QApplication::sendEvent(Grid()->viewport(), &wheel);
         }, "6=n6typed"},
        {"right click", [this] {
             QTest::mouseClick(Grid()->viewport(), Qt::RightButton, Qt::KeyboardModifiers(), CellCentre(1, ID));
         }, "6=n6typed"},
        {"column moved", [this] { Grid()->m_pHeader->moveSection(NAME, QTY); }, "6=n6typed"},
        {"frame closed", [this] { CloseFrame(); }, "6=n6typed"},
    };
    int file = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetDatabaseGlobals();
        DatabaseFixture::OpenDatabase(L"cells" + std::to_wstring(++file) + L".db", NumberedTable(200));
        OpenDatasheet(L"t");
        if (std::string(c.name) == "find next") {
            ASSERT_TRUE(m_datasheet->OnGridSearch(SEARCH_ANY_PART_OF_FIELD, L"17")); // ids 17, 117, 170...
            Grid()->ClearSelection();
        }
        ASSERT_NE(TypeIntoName(5, QStringLiteral("typed")), nullptr) << c.name;
        c.command();
        if (m_frame) {
            ExpectNoEditorOverAnotherRow(c.name);
            // The row of the typed text is no longer open once the rows moved or scrolled.
            if (std::string(c.name) != "strip add row") {
                EXPECT_EQ(Current(), std::make_pair(-1, -1)) << c.name;
            }
            // Whatever ends an edit next stores nothing more anywhere.
            Grid()->EndEdit(-1);
            QApplication::processEvents();
        }
        EXPECT_EQ(ChangedNames(), c.changed) << c.name;
        if (std::string(c.name) == "strip delete rows") {
            EXPECT_EQ(Raw("SELECT count(*) FROM t WHERE id = 4"), "0");
        }
        CloseFrame();
        m_model.reset();
    }
}

// A cell opened and left alone is never written into another record when rows above
// it are deleted from the caption strip.
TEST_F(OpenCell, StripDeleteWritesNoUntypedTextIntoTheNextRecord)
{
    OpenDatabase(NumberedTable(10));
    OpenDatasheet(L"t");
    DoubleClick(7, NAME); // record id 8, nothing typed
    Grid()->SelectRows(6, 6);
    m_boxes.QueueAnswer(platform::IDYES);
    m_datasheet->OnGridDeleteRows();
    Grid()->EndEdit(-1);
    EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "1,2,3,4,5,6,8,9,10");
    EXPECT_EQ(ChangedNames(), "");
}

// Escape closes the edit box without writing; the cell keeps its text and the grid the focus.
TEST_F(OpenCell, EscapeRestoresTheCellAndWritesNothing)
{
    OpenDatabase(NumberedTable(10));
    OpenDatasheet(L"t");
    CInlineEdit* edit = TypeIntoName(3, QStringLiteral("typed"));
    ASSERT_NE(edit, nullptr);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(Current(), std::make_pair(-1, -1));
    EXPECT_EQ(QApplication::focusWidget(), Grid());
    EXPECT_EQ(m_frame->GetItemText(3, NAME), L"n4");
    Click(5, ID);
    CloseFrame();
    EXPECT_EQ(ChangedNames(), "");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Delete in an open edit box deletes a character there; the rows' Delete question
// belongs to the grid.
TEST_F(OpenCell, DeleteInAnEditBoxEditsItsText)
{
    OpenDatabase(NumberedTable(10));
    OpenDatasheet(L"t");
    DoubleClick(3, NAME);
    auto* edit = qobject_cast<CInlineEdit*>(QApplication::focusWidget());
    ASSERT_NE(edit, nullptr);
    Key(Qt::Key_Home);
    Key(Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("4"));
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(Grid()->GetItemCount(), 11);

    Key(Qt::Key_Escape);
    Grid()->SelectRow(1);
    m_boxes.QueueAnswer(platform::IDYES);
    Key(Qt::Key_Delete);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().caption, L"Delete Confirmation");
    EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "1,3,4,5,6,7,8,9,10");
    EXPECT_EQ(ChangedNames(), "");
}

// The "..." button gives the focus back at once: the next arrow moves the cell, and a
// button over another row after a page never reports its old row.
TEST_F(OpenCell, CellButtonKeepsTheGridsKeysAndItsRow)
{
    MakeListFrame({{L"name", GRID_EDIT}, {L"file", GRID_BUTTON}});
    for (int i = 0; i < 100; ++i)
        Grid()->InsertItem(i, std::to_wstring(i));
    DoubleClick(1, 1);
    QWidget* button = Grid()->GetEditorWidget(1);
    ASSERT_TRUE(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_NE(QApplication::focusWidget(), button);
    Key(Qt::Key_Down);
    EXPECT_EQ(Current(), std::make_pair(2, 1));

    Key(Qt::Key_PageDown);
    ExpectNoEditorOverAnotherRow("page down on a button cell");
    if (button->isVisible()) {
        m_owner.messages.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(m_owner.messages.size(), 1u);
        EXPECT_EQ(Grid()->rowAt(button->geometry().center().y() - Grid()->viewport()->y()),
                  std::get<2>(m_owner.messages.front()));
    }
}

// A list-mode sort under an open cell: the typed text stays with its line.
TEST_F(OpenCell, ListSortEndsTheEditFirst)
{
    MakeListFrame({{L"a", GRID_EDIT}, {L"b", GRID_EDIT}});
    FillList({{L"c", L"1"}, {L"a", L"2"}, {L"b", L"3"}});
    DoubleClick(0, 1);
    Key(Qt::Key_End);
    Type(QStringLiteral("x"));
    CPLHeaderCtrl* header = Grid()->m_pHeader;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(),
                      QPoint(header->sectionViewportPosition(0) + 50, header->height() / 2));
    ExpectNoEditorOverAnotherRow("list sort");
    Click(1, 0);
    EXPECT_EQ(m_frame->GetItemText(0, 0), L"a");
    EXPECT_EQ(m_frame->GetItemText(0, 1), L"2");
    EXPECT_EQ(m_frame->GetItemText(2, 0), L"c");
    EXPECT_EQ(m_frame->GetItemText(2, 1), L"1x");
}

// A load message queued before the grid frame, the bridge or the model goes reaches
// nothing freed, in each order, while the rows still load.
TEST_F(OpenCell, LoadMessagesAfterTheFrameBridgeOrModelWent)
{
    OpenDatabase(NumberedTable(150000));
    for (const char* order : {"frame first", "model first", "bridge first"}) {
        auto bridge = std::make_unique<CDataInterface>();
        m_model = std::make_unique<CDataAccess>();
        m_model->m_pDataInterface = bridge.get();
        bridge->m_pDataAccess = m_model.get();
        ASSERT_TRUE(m_model->Open(L"t", 0));
        m_model->InitRowBuffers();
        auto rows = std::make_unique<DatasheetRows>(*bridge);
        m_frame = std::make_unique<CListFrame>();
        m_frame->m_nMode = CListFrame::MODE_DATASHEET;
        m_frame->m_pRows = rows.get();
        m_frame->Create(&m_owner, QRect(0, 0, 600, 380));
        for (const wchar_t* name : {L"id", L"name", L"qty"})
            m_frame->AddColumn(name, GRID_EDIT, 130, 1, -1);
        m_frame->InitGrid();
        ASSERT_TRUE(platform::PostMessage(bridge.get(), UM_LOAD_TABLE_DATA, 1, 1));
        const std::string step = order;
        if (step == "frame first") {
            m_frame.reset();
            rows.reset();
            QApplication::processEvents();
            m_model.reset();
        } else if (step == "model first") {
            m_model.reset();
            QApplication::processEvents();
            m_frame->grab();
            m_frame.reset();
        } else {
            bridge.reset();
            QApplication::processEvents();
            m_frame->grab();
            m_frame.reset();
            m_model.reset();
        }
        rows.reset();
        bridge.reset();
        QApplication::processEvents();
    }
}

} // namespace
