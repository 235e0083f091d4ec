#pragma once
// The grid's pure geometry and navigation rules: paging targets, horizontal scrolling
// of a column into view, the check-box boxes of a cell, the cell-to-cell moves of the
// editors and the parsing of a typed row number. No widget is involved, so each rule is
// tested on its own.
#include <QRect>

#include <string>

namespace grid {

// Row to make visible for PageUp: one page above the first visible row, at least row 0.
int PageUpTarget(int topRow, int rowsPerPage);
// Row to make visible for PageDown: the row two pages below the first visible one, or
// the last row when fewer rows than that remain.
int PageDownTarget(int topRow, int rowsPerPage, int rowCount);

// Horizontal scroll, in pixels, that brings a column into view: 0 when the column is at
// least partly visible; otherwise its right edge is brought to the client's right edge
// when it fits and lies to the right, else its left edge to the client's left edge.
// left and right are the column's edges in content coordinates, clientWidth the width of
// the visible area.
int ColumnScrollDelta(int left, int right, int scrollPos, int clientWidth);

// The 16 by 15 box in which a double-click toggles a check-box cell.
QRect CheckBoxHitBox(const QRect& cell);
// The 18 by 16 box in which a check-box cell is drawn.
QRect CheckBoxDrawBox(const QRect& cell);

// A move of the current cell by the editors' navigation messages.
enum class CellMove { Left, Right, Up, Down };
struct CellTarget {
    bool moves = false; // false: nothing happens (Up on row 0, Down on the last line)
    int row = -1;
    int column = -1;
    bool wrapped = false; // Left from column 0 or Right from the last column went to another row
};
// Where the move leads from (row, column) in a grid of rowCount lines and columnCount
// columns. Left at the first cell and Right at the last cell begin the same cell again.
CellTarget NavigateCell(CellMove move, int row, int column, int rowCount, int columnCount);

// A typed row number: an optional minus and digits around it as IsIntegerText accepts
// them, read as far as the leading sign and digits go (0 without digits), saturated to
// the int range instead of overflowing. False when the text is no integer text.
bool ParseRowNumber(const std::wstring& text, int& number);

} // namespace grid
