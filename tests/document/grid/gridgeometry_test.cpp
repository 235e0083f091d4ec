// The grid's geometry and navigation rules as pure functions.
#include "document/grid/gridgeometry.h"

#include <gtest/gtest.h>

#include <climits>

using grid::CellMove;

TEST(GridGeometry, PagingTargets)
{
    struct Case {
        int top, page, count, up, down;
    } cases[] = {
        {0, 10, 100, 0, 19},   // first page: down two pages minus one
        {5, 10, 100, 0, 24},   // up never goes above row 0
        {50, 10, 100, 40, 69},
        {75, 10, 100, 65, 99}, // fewer than a page left after the next: last row
        {0, 10, 15, 0, 14},
        {0, 10, 0, 0, -1},     // an empty grid has no row to show
    };
    for (const Case& c : cases) {
        EXPECT_EQ(grid::PageUpTarget(c.top, c.page), c.up) << c.top;
        EXPECT_EQ(grid::PageDownTarget(c.top, c.page, c.count), c.down) << c.top << " " << c.count;
    }
}

TEST(GridGeometry, ColumnScrollDelta)
{
    struct Case {
        int left, right, scroll, width, delta;
    } cases[] = {
        {0, 100, 0, 300, 0},       // fully visible
        {250, 400, 0, 300, 0},     // partly visible on the right: left alone
        {300, 400, 0, 300, 100},   // just beyond the right edge: its right edge to the client's right
        {500, 900, 0, 300, 500},   // wider than the client: its left edge to the client's left
        {0, 100, 200, 300, -200},  // scrolled past on the left: back to its left edge
        {100, 200, 200, 300, -100},// right edge exactly at the scroll position counts as hidden
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid::ColumnScrollDelta(c.left, c.right, c.scroll, c.width), c.delta)
            << c.left << "-" << c.right << " at " << c.scroll;
}

TEST(GridGeometry, CheckBoxBoxesAreCentred)
{
    const QRect cell(100, 40, 130, 20); // centre 165, middle 50
    EXPECT_EQ(grid::CheckBoxHitBox(cell), QRect(157, 43, 16, 15));
    EXPECT_EQ(grid::CheckBoxDrawBox(cell), QRect(156, 42, 18, 16));
    EXPECT_TRUE(cell.contains(grid::CheckBoxDrawBox(cell)));
}

TEST(GridGeometry, NavigationTable)
{
    // 3 lines of 4 columns; row 2 is the last line (the new-row line of a datasheet).
    struct Case {
        CellMove move;
        int row, column;
        bool moves;
        int toRow, toColumn;
    } cases[] = {
        {CellMove::Left, 1, 2, true, 1, 1},
        {CellMove::Left, 1, 0, true, 0, 3},  // wraps to the last column of the row above
        {CellMove::Left, 0, 0, true, 0, 0},  // first cell: the same cell again
        {CellMove::Right, 1, 1, true, 1, 2},
        {CellMove::Right, 1, 3, true, 2, 0}, // wraps to column 0 of the next line
        {CellMove::Right, 2, 3, true, 2, 3}, // last cell: the same cell again
        {CellMove::Up, 1, 2, true, 0, 2},
        {CellMove::Up, 0, 2, false, -1, -1},
        {CellMove::Down, 1, 2, true, 2, 2},
        {CellMove::Down, 2, 2, false, -1, -1}, // Down on the last line: nothing
    };
    for (const Case& c : cases) {
        const grid::CellTarget t = grid::NavigateCell(c.move, c.row, c.column, 3, 4);
        EXPECT_EQ(t.moves, c.moves) << int(c.move) << " from " << c.row << "," << c.column;
        if (c.moves) {
            EXPECT_EQ(t.row, c.toRow) << int(c.move) << " from " << c.row << "," << c.column;
            EXPECT_EQ(t.column, c.toColumn) << int(c.move) << " from " << c.row << "," << c.column;
        }
    }
    EXPECT_FALSE(grid::NavigateCell(CellMove::Right, 0, -1, 3, 4).moves); // no current column
}

TEST(GridGeometry, RowNumbersParseWithoutOverflow)
{
    struct Case {
        const wchar_t* text;
        bool integer;
        int number;
    } cases[] = {
        {L"10", true, 10},
        {L"", true, 0},
        {L"0", true, 0},
        {L"-3", true, -3},
        {L"abc", false, 0},
        {L"1.5", false, 0},
        {L"2147483647", true, INT_MAX},
        {L"99999999999999999999", true, INT_MAX},
        {L"-99999999999999999999", true, INT_MIN},
        {L"12-3", true, 12}, // read as far as the digits go
    };
    for (const Case& c : cases) {
        int n = 42;
        EXPECT_EQ(grid::ParseRowNumber(c.text, n), c.integer) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(n, c.number) << testing::PrintToString(std::wstring(c.text));
    }
}
