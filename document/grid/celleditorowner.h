#pragma once
// What the in-place cell editors need from the grid that owns them: the cell messages
// they send, the value type of a column, the store of a cell's text and the two Tab
// flags of the grid's keyboard filter.
#include "platform/messagetarget.h"

#include <string>

class QEvent;
class QKeyEvent;
class QWidget;

// Messages from the cell editors to their grid, sent (the grid handles each before the
// editor's key handler returns).
inline constexpr UINT UM_CELL_LEFT = WM_USER + 1;    // edit the cell to the left
inline constexpr UINT UM_CELL_RIGHT = WM_USER + 2;   // edit the next cell
inline constexpr UINT UM_CELL_UP = WM_USER + 3;      // edit the cell one row up
inline constexpr UINT UM_CELL_DOWN = WM_USER + 4;    // edit the cell one row down; 1 when it moved
inline constexpr UINT UM_CELL_BUTTON = WM_USER + 38; // a "..." cell button: wParam its column, lParam 0

class CellEditorOwner : public platform::MessageTarget {
public:
    // The column's type code (1 integer, 2 real, 6 date, 7 time, 8 date and time, ...)
    // or -1 for none; the edit box filters keys and checks values by it.
    virtual int GetValueType(int column) const = 0;

    // Stores a cell's text; rowChanged when editing leaves the cell's row.
    virtual void SetCell(int row, int column, const std::wstring& text, bool rowChanged) = 0;

    // The grid's widget. A focus change within it (a click on a cell) is followed by the
    // grid's own end of the edit, which checks the value; only a focus change out of it
    // makes an edit box store its text by itself.
    virtual QWidget* GetGridWidget() const = 0;

    // The grid's keyboard filter turns Tab and Enter into Right and sets m_bTabRightPending,
    // turns Shift+Tab into Left and sets m_bShiftTabLeftPending, and hands the turned key
    // to the focused editor. The editor that next receives a navigation key clears the
    // flag and moves to the neighbour cell whatever its caret position.
    bool m_bTabRightPending = false;
    bool m_bShiftTabLeftPending = false;
};

// The Tab or Shift+Tab press (without Ctrl or Alt) among an editor's events, nullptr for
// any other event. An editor hands it to its key handler from event(), before the focus
// chain takes it.
QKeyEvent* CellTabKey(QEvent* event);

// The cell navigation code of a key press (1 left, 2 right, 3 up, 4 down), 0 for a key
// that moves nothing; with Alt held no key moves.
UINT CellNavigationCode(const QKeyEvent& event);
