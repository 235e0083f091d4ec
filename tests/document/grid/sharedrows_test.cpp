// Two grids over one datasheet's rows, as two windows on one table show them: what one
// grid changes (a stored cell, an inserted row, a delete, a sort) reaches the other at
// once through the rows, which hold no grid; each grid keeps its own top row, current
// cell and open editor, and an editor the rows change under is stored first.
#include "document/grid/cinlineedit.h"
#include "document/grid/cplheaderctrl.h"
#include "gridtestsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>

namespace {

using namespace numbered;

class SharedRows : public GridFixture {
protected:
    void TearDown() override
    {
        m_otherDatasheet.reset();
        m_other.reset();
        GridFixture::TearDown();
    }

    // The second grid, in a window of its own beside the first, over the first's rows.
    CListCtrlCombo* MakeOther()
    {
        m_other = std::make_unique<CListFrame>();
        m_otherDatasheet = std::make_unique<DatasheetFrame>(*m_other, *m_rows, m_bridge);
        m_other->Create(&m_otherOwner, QRect(0, 0, 600, 380));
        for (int i = 0; i < Grid()->GetColumnCount(); ++i)
            m_other->AddColumn(Grid()->m_arrColumns[static_cast<size_t>(i)].m_strTitle, GRID_EDIT, 130, 1, -1);
        m_otherDatasheet->InitGrid();
        m_otherOwner.resize(640, 400);
        m_otherOwner.move(660, 0);
        m_otherOwner.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_otherOwner));
        ShowActive(m_owner);
        return Other();
    }
    CListCtrlCombo* Other() const { return m_other->GetGrid(); }

    // Opens a cell of the first grid and types the text over its own.
    void TypeInto(int row, int column, const QString& text)
    {
        DoubleClick(row, column);
        auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        Type(text);
    }
    // Opens a cell of the second grid and types into it, without storing it.
    CInlineEdit* TypeIntoOther(int row, int column, const QString& text)
    {
        Other()->BeginEdit(row, column, true);
        auto* edit = qobject_cast<CInlineEdit*>(Other()->GetEditorWidget(column));
        EXPECT_NE(edit, nullptr);
        if (!edit)
            return nullptr;
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        return edit;
    }
    std::string Names(const std::string& where) const
    {
        return Raw("SELECT group_concat(id || '=' || name) FROM t WHERE " + where);
    }

    OwnerWindow m_otherOwner;
    std::unique_ptr<CListFrame> m_other;
    std::unique_ptr<DatasheetFrame> m_otherDatasheet;
};

// A cell stored in one grid is painted in the other in the same turn of the event loop,
// where the other shows it; a row the other does not show is not painted there at all.
TEST_F(SharedRows, AStoredCellIsPaintedInTheOtherGridInTheSameTurn)
{
    OpenDatabase(NumberedTable(300));
    OpenDatasheet(L"t");
    CListCtrlCombo* other = MakeOther();
    QApplication::processEvents();
    ASSERT_EQ(other->GetItemCount(), 301);

    {
        PaintRecorder paints(other->viewport());
        TypeInto(3, NAME, QStringLiteral("fresh"));
        Key(Qt::Key_Tab); // the cell is stored
        ASSERT_EQ(Raw("SELECT name FROM t WHERE id = 4"), "fresh");
        QCoreApplication::sendPostedEvents();
        EXPECT_TRUE(paints.painted.contains(other->GetCellRect(3, NAME)));
        EXPECT_EQ(other->GetItemText(3, NAME), L"fresh");
    }
    {
        // Far below the other grid's lines on screen: nothing of it is painted there.
        Grid()->verticalScrollBar()->setValue(250);
        QApplication::processEvents();
        PaintRecorder paints(other->viewport());
        TypeInto(260, NAME, QStringLiteral("far"));
        Key(Qt::Key_Tab);
        ASSERT_EQ(Raw("SELECT name FROM t WHERE id = 261"), "far");
        QCoreApplication::sendPostedEvents();
        EXPECT_TRUE(paints.painted.isEmpty());
        EXPECT_EQ(other->GetItemText(260, NAME), L"far");
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Each grid keeps its own top row, current cell and open editor while the other edits
// and inserts; the other's typed text is stored into its own row when it leaves it.
TEST_F(SharedRows, EachGridKeepsItsTopRowCurrentCellAndEditor)
{
    OpenDatabase(NumberedTable(100));
    OpenDatasheet(L"t");
    CListCtrlCombo* other = MakeOther();
    other->verticalScrollBar()->setValue(40);
    CInlineEdit* edit = TypeIntoOther(45, NAME, QStringLiteral("mine"));
    ASSERT_NE(edit, nullptr);
    ShowActive(m_owner);

    TypeInto(2, NAME, QStringLiteral("theirs"));
    Key(Qt::Key_Tab);
    m_datasheet->OnGridAddRow();
    Key(Qt::Key_Tab);
    Type(QStringLiteral("added"));
    Key(Qt::Key_Down); // the new row is stored
    ASSERT_EQ(Raw("SELECT name FROM t WHERE id = 101"), "added");
    EXPECT_EQ(other->GetItemCount(), 102);
    EXPECT_EQ(other->GetItemText(100, NAME), L"added");
    EXPECT_EQ(other->GetItemText(2, NAME), L"theirs");

    EXPECT_EQ(other->GetTopIndex(), 40);
    EXPECT_EQ(other->m_nCurrentRow, 45);
    EXPECT_EQ(other->m_nCurrentColumn, NAME);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), "mine");
    EXPECT_EQ(Raw("SELECT name FROM t WHERE id = 46"), "n46");
    other->EndEdit(-1);
    EXPECT_EQ(Raw("SELECT name FROM t WHERE id = 46"), "mine");
    EXPECT_EQ(Names("name <> 'n' || id"), "3=theirs,46=mine,101=added");
}

// A delete in one grid: the other grid's typed cell is stored into its own row first,
// and the other's lines, selection and current cell follow their rows.
TEST_F(SharedRows, ADeleteMovesTheOtherGridsRowsAndStoresItsCellFirst)
{
    OpenDatabase(NumberedTable(60));
    OpenDatasheet(L"t");
    CListCtrlCombo* other = MakeOther();
    CInlineEdit* edit = TypeIntoOther(30, NAME, QStringLiteral("kept"));
    ASSERT_NE(edit, nullptr);
    other->SelectRows(40, 41);
    other->SetCursorCell(50, QTY);
    ShowActive(m_owner);

    Grid()->ClearSelection();
    Grid()->SelectRows(2, 4);
    Grid()->SelectRows(10, 10);
    m_boxes.QueueAnswer(platform::IDYES);
    m_datasheet->OnGridDeleteRows();
    ASSERT_EQ(Raw("SELECT count(*) FROM t"), "56");

    EXPECT_EQ(Names("name <> 'n' || id"), "31=kept");
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(other->GetItemCount(), 57);
    EXPECT_EQ(other->GetItemText(26, NAME), L"kept");
    // Rows 40 and 41 (ids 41 and 42) are lines 36 and 37 now; the cursor's id 51 is line 46.
    other->m_bSelectionRestart = 1;
    std::vector<int> selected;
    for (int row = other->GetNextSelectedItem(); row >= 0; row = other->GetNextSelectedItem())
        selected.push_back(row);
    EXPECT_EQ(selected, (std::vector<int>{36, 37}));
    EXPECT_EQ(other->GetCursorRow(), 46);
    EXPECT_EQ(other->GetItemText(46, ID), L"51");
}

// A sort in one grid: the other grid's typed cell goes to the row it was typed in
// first, the other's header marks the column, and its next click sorts the other way.
TEST_F(SharedRows, ASortMarksTheOtherGridAndStoresItsCellFirst)
{
    OpenDatabase(NumberedTable(20));
    OpenDatasheet(L"t");
    CListCtrlCombo* other = MakeOther();
    CInlineEdit* edit = TypeIntoOther(4, NAME, QStringLiteral("z"));
    ASSERT_NE(edit, nullptr);
    ShowActive(m_owner);

    CPLHeaderCtrl* header = Grid()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(),
                      QPoint(header->sectionViewportPosition(QTY) + 50, header->height() / 2));
    ASSERT_TRUE(QTest::qWaitFor([this] { return Grid()->HasNewRowLine(); }, 10000));
    EXPECT_EQ(Raw("SELECT name FROM t WHERE id = 5"), "z");
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(other->horizontalHeader()->GetSortColumn(), QTY);
    EXPECT_EQ(other->horizontalHeader()->GetSortState(), SORT_MARK_ASCENDING);
    EXPECT_EQ(other->m_nSortColumn, QTY);
    EXPECT_EQ(other->GetItemText(0, ID), L"1");

    CPLHeaderCtrl* otherHeader = other->horizontalHeader();
    QTest::mouseClick(otherHeader->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(),
                      QPoint(otherHeader->sectionViewportPosition(QTY) + 50, otherHeader->height() / 2));
    ASSERT_TRUE(QTest::qWaitFor([this] { return Grid()->HasNewRowLine(); }, 10000));
    EXPECT_EQ(other->GetItemText(0, ID), L"20");
    EXPECT_EQ(Grid()->GetItemText(0, ID), L"20");
    EXPECT_EQ(Grid()->horizontalHeader()->GetSortState(), SORT_MARK_DESCENDING);
}

} // namespace
