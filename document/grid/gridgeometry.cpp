#include "document/grid/gridgeometry.h"

#include "data/textutil.h"

#include <algorithm>
#include <climits>

namespace grid {

int PageUpTarget(int topRow, int rowsPerPage)
{
    return std::max(0, topRow - rowsPerPage);
}

int PageDownTarget(int topRow, int rowsPerPage, int rowCount)
{
    if (rowCount - topRow - 2 * rowsPerPage + 1 < rowsPerPage)
        return rowCount - 1;
    return topRow + 2 * rowsPerPage - 1;
}

int ColumnScrollDelta(int left, int right, int scrollPos, int clientWidth)
{
    const int visibleLeft = left - scrollPos;
    if (visibleLeft < clientWidth && right - scrollPos > 0)
        return 0;
    if (right - left <= clientWidth && visibleLeft >= 0)
        return std::max(0, right - scrollPos - clientWidth);
    return visibleLeft;
}

QRect CheckBoxHitBox(const QRect& cell)
{
    const int centre = (cell.left() + cell.right() + 1) / 2;
    const int middle = (cell.top() + cell.bottom() + 1) / 2;
    return QRect(centre - 8, middle - 7, 16, 15);
}

QRect CheckBoxDrawBox(const QRect& cell)
{
    const int centre = (cell.left() + cell.right() + 1) / 2;
    const int middle = (cell.top() + cell.bottom() + 1) / 2;
    return QRect(centre - 9, middle - 8, 18, 16);
}

CellTarget NavigateCell(CellMove move, int row, int column, int rowCount, int columnCount)
{
    CellTarget target;
    if (column < 0 || row < 0 || rowCount <= 0 || columnCount <= 0)
        return target;
    const int lastRow = rowCount - 1;
    const int lastColumn = columnCount - 1;
    target.moves = true;
    target.row = row;
    target.column = column;
    switch (move) {
    case CellMove::Left:
        if (column > 0) {
            target.column = column - 1;
        } else if (row > 0) {
            target.row = row - 1;
            target.column = lastColumn;
            target.wrapped = true;
        }
        break;
    case CellMove::Right:
        if (column < lastColumn) {
            target.column = column + 1;
        } else if (row < lastRow) {
            target.row = row + 1;
            target.column = 0;
            target.wrapped = true;
        }
        break;
    case CellMove::Up:
        if (row == 0)
            return CellTarget{};
        target.row = row - 1;
        break;
    case CellMove::Down:
        if (row >= lastRow)
            return CellTarget{};
        target.row = row + 1;
        break;
    }
    return target;
}

bool ParseRowNumber(const std::wstring& text, int& number)
{
    number = 0;
    if (!IsIntegerText(text))
        return false;
    size_t i = 0;
    const bool negative = i < text.size() && text[i] == L'-';
    if (negative)
        ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > INT_MAX) {
            value = INT_MAX + 1LL; // saturates: INT_MAX positive, INT_MIN negative
            if (!negative)
                value = INT_MAX;
        }
    }
    number = static_cast<int>(negative ? -value : value);
    return true;
}

} // namespace grid
