// The datasheet's keys on the grid itself, with no cell open: F2 and Enter open the
// current cell, a typed character opens it with that character, Ctrl+End and Ctrl+Home
// reach the last and first lines the first time.
#include "document/grid/cinlineedit.h"
#include "gridtestsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

namespace {

using namespace numbered;

class GridKeys : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        OpenDatabase(NumberedTable(300) + "CREATE TABLE s(id INTEGER PRIMARY KEY, stamp DATETIME);"
                                          "INSERT INTO s VALUES (1, NULL);");
    }
    // The datasheet with the grid itself focused and no current cell, as a window opens.
    void OpenFocused(const std::wstring& table)
    {
        OpenDatasheet(table);
        Grid()->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([this] { return Grid()->hasFocus(); }));
        ASSERT_EQ(Grid()->GetCursorRow(), -1);
    }
    CInlineEdit* Editor() const { return qobject_cast<CInlineEdit*>(QApplication::focusWidget()); }
};

TEST_F(GridKeys, CtrlEndAndCtrlHomeReachTheEndsTheFirstTime)
{
    OpenFocused(L"t");
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Grid()->GetCursorRow(), Grid()->GetItemCount() - 1);
    EXPECT_EQ(Grid()->GetCursorColumn(), QTY);
    EXPECT_GT(Grid()->GetTopIndex(), 0);

    Grid()->ClearSelection();
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(Grid()->GetCursorRow(), 0);
    EXPECT_EQ(Grid()->GetCursorColumn(), ID);
    EXPECT_EQ(Grid()->GetTopIndex(), 0);

    // An arrow with no current cell still lands on the first cell.
    Grid()->ClearSelection();
    Key(Qt::Key_Down);
    EXPECT_EQ(Grid()->GetCursorRow(), 0);
}

// F2 and Enter open the current cell's edit box with the cell's text; Escape closes it
// and the keys go on on the grid.
TEST_F(GridKeys, F2AndEnterOpenTheCurrentCell)
{
    OpenFocused(L"t");
    for (Qt::Key key : {Qt::Key_F2, Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(key);
        Key(Qt::Key_Home, Qt::ControlModifier);
        Key(Qt::Key_Down);
        Key(Qt::Key_Right);
        ASSERT_EQ(Grid()->GetCursorRow(), 1);
        Key(key);
        ASSERT_NE(Editor(), nullptr);
        EXPECT_EQ(Grid()->m_nCurrentRow, 1);
        EXPECT_EQ(Grid()->m_nCurrentColumn, NAME);
        EXPECT_EQ(Editor()->text(), "n2");
        Key(Qt::Key_Escape);
        EXPECT_TRUE(Grid()->hasFocus());
    }
    EXPECT_EQ(Raw("SELECT name FROM t WHERE id = 2"), "n2");
}

// A character typed on the grid opens the current cell with it in place of the cell's
// text; the edit goes on and is stored as any other. A character the column refuses
// opens the cell unchanged with the strip's warning.
TEST_F(GridKeys, TypingOnTheGridOpensTheCellWithTheCharacter)
{
    OpenFocused(L"t");
    Key(Qt::Key_Home, Qt::ControlModifier);
    Key(Qt::Key_Down);
    Key(Qt::Key_End);
    ASSERT_EQ(Grid()->GetCursorColumn(), QTY);
    QTest::keyClick(Grid(), Qt::Key_7, Qt::NoModifier);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), "7");
    Type("5");
    Key(Qt::Key_Tab);
    EXPECT_EQ(Raw("SELECT qty FROM t WHERE id = 2"), "75");

    Grid()->setFocus();
    Grid()->ClearSelection();
    Key(Qt::Key_Home, Qt::ControlModifier);
    Key(Qt::Key_End);
    m_lines->Clear();
    QTest::keyClick(Grid(), Qt::Key_X, Qt::NoModifier);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), "10");
    EXPECT_EQ(m_lines->Count(), 1u);
    Key(Qt::Key_Escape);
    EXPECT_EQ(Raw("SELECT qty FROM t WHERE id = 1"), "10");
}

// Tab on the grid itself, with no cell open, moves the current cell and leaves nothing
// behind for the next editor: a row typed afterwards into the new-row line is stored
// when Up leaves the line.
TEST_F(GridKeys, TabOnTheGridMovesTheCellAndLeavesNoMoveForTheNextEditor)
{
    OpenFocused(L"t");
    Key(Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(Grid(), Qt::Key_Tab);
    EXPECT_EQ(Grid()->GetCursorColumn(), NAME);
    QTest::keyClick(Grid(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Grid()->GetCursorColumn(), ID);
    EXPECT_TRUE(Grid()->hasFocus());
    Key(Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(Grid(), Qt::Key_4, Qt::NoModifier);
    ASSERT_NE(Editor(), nullptr);
    Key(Qt::Key_Up);
    EXPECT_EQ(Raw("SELECT count(*) FROM t"), "301");
    EXPECT_EQ(Raw("SELECT qty FROM t WHERE id = 301"), "4");
}

// A whole date and time is typed from the grid, the blank between them included, and
// passes the column's check.
TEST_F(GridKeys, ADateTimeIsTypedWithItsBlank)
{
    OpenFocused(L"s");
    Key(Qt::Key_Home, Qt::ControlModifier);
    Key(Qt::Key_End);
    QTest::keyClick(Grid(), Qt::Key_2, Qt::NoModifier);
    ASSERT_NE(Editor(), nullptr);
    Type("024-02-29 23:59:58");
    EXPECT_EQ(Editor()->text(), "2024-02-29 23:59:58");
    m_lines->Clear();
    Key(Qt::Key_Tab);
    EXPECT_EQ(m_lines->Count(), 0u);
    EXPECT_EQ(Raw("SELECT stamp FROM s WHERE id = 1"), "2024-02-29 23:59:58");
}

} // namespace
