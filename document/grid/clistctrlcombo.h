#pragma once
// The program's grid: rows of cells edited in place by one editor widget per column. It
// lives inside a CListFrame, its owner frame, which supplies its fonts and colours and
// passes its notifications on. The grid is one view over a row source (GridItemModel):
// a datasheet grid shows the rows its owner frame is given, shared with every other grid
// over them, and stores no texts, each painted cell asked for when it is painted; a list
// grid keeps its texts in rows of its own (the schema designers, the recent-file tab,
// PRAGMA windows). The grid listens to its rows and paints again only what it shows.
//
// The view keeps nothing per line: all lines have one height, the vertical scroll value
// is the top line, the selection is a list of row ranges, and only the lines on screen
// are ever looked at. A grid of 10,000,000 lines costs no more to grow, scroll or paint
// than one of a hundred.
#include "document/grid/celleditorowner.h"
#include "document/grid/gridgeometry.h"
#include "document/grid/rowselection.h"

#include <QAbstractScrollArea>
#include <QBrush>

#include <string>
#include <utility>
#include <vector>

class CButtonPlus;
class CComboBoxPlus;
class CInlineEdit;
class CListFrame;
class CPLHeaderCtrl;
class GridItemModel;

// From a list-mode grid to its frame's owner window: lParam the deleted row.
inline constexpr UINT UM_LIST_ROW_DELETED = WM_USER + 42;

// The editor of a column.
using GridEditorKind = unsigned char;
inline constexpr GridEditorKind GRID_TEXT_ONLY = 0; // no editor; the hidden editor takes the focus
inline constexpr GridEditorKind GRID_EDIT = 1;      // edit box (also 5, 6 and 7)
inline constexpr GridEditorKind GRID_CHECK_BOX = 2; // "1" ticked; a double-click in the box toggles
inline constexpr GridEditorKind GRID_COMBO = 3;     // drop-down list
inline constexpr GridEditorKind GRID_BUTTON = 4;    // "..." button reporting UM_CELL_BUTTON
inline constexpr GridEditorKind GRID_TIME_EDIT = 5;
inline constexpr GridEditorKind GRID_EDIT_6 = 6;
inline constexpr GridEditorKind GRID_DATE_EDIT = 7;

// A column's alignment and value type as AddColumn takes them.
inline constexpr int GRID_ALIGN_LEFT = 1;     // any other value aligns right
inline constexpr int GRID_NO_VALUE_TYPE = -1; // else a type code

inline bool IsEditKind(GridEditorKind kind)
{
    return kind == GRID_EDIT || kind == GRID_TIME_EDIT || kind == GRID_EDIT_6 || kind == GRID_DATE_EDIT;
}

struct GridColumn {
    std::wstring m_strTitle;
    GridEditorKind m_nEditorKind = GRID_TEXT_ONLY;
    int m_nTextFormat = 0; // Qt alignment flags of the cell text
    short m_nWidth = 0;
    CInlineEdit* m_pEdit = nullptr;      // kinds 1, 5, 6, 7
    CButtonPlus* m_pButton = nullptr;    // kind 4
    CComboBoxPlus* m_pCombo = nullptr;   // kind 3
};

class CListCtrlCombo : public QAbstractScrollArea, public CellEditorOwner {
    Q_OBJECT
public:
    static constexpr int GRID_ID = 9888;
    static constexpr int FIRST_EDITOR_ID = 9889; // editor of column i: 9889 + i; hidden editor 9890 + columns

    // Created by the owner frame's CreateGrid.
    explicit CListCtrlCombo(CListFrame* ownerFrame);
    ~CListCtrlCombo() override;

    // Appends a column (its list column appears with CreateColumns) and its editor.
    // align 1 is left, anything else right; valueType a type code or -1.
    void AddColumn(const std::wstring& title, int editorKind, int width, int align, int valueType);
    // Appends an entry to a combo column's drop-down list; false for any other column.
    bool AddComboItem(int column, const std::wstring& text);
    // Appends every text, in order.
    bool AddComboItems(int column, const std::vector<std::wstring>& texts);
    // Builds the list columns, the header and the hidden editor, once.
    void CreateColumns();

    // Makes (row, column) the current cell and places its editor; -1 leaves no current cell.
    void BeginEdit(int row, int column, bool show);
    // Ends editing of the current cell; nextRow is the row editing moves to, -1 none.
    void EndEdit(int nextRow);
    // Ends the edit as the Delete key does, before anything changes the rows, their order
    // or the rows on screen: the open cell's text goes to the row it was typed in, its
    // editor hides, the grid has no current cell, and a focus inside the editor goes to
    // the grid.
    void CloseCell();
    // Escape: the open editor closes without writing, and the cell keeps its text.
    void CancelCell();
    // Stores a cell's text through the grid's rows.
    void SetCell(int row, int column, const std::wstring& text, bool rowChanged) override;
    int GetValueType(int column) const override;
    QWidget* GetGridWidget() const override { return const_cast<CListCtrlCombo*>(this); }

    void AppendRow();
    void DeleteSelectedRows();
    void UndoRowEdit();
    // Selects and focuses one row, scrolled into view; -1 selects nothing. An open cell
    // is closed first.
    void SelectRow(int row);
    void ClearSelection();
    // The selected rows in ascending order, one per call; -1 after the last.
    int GetNextSelectedItem();

    void PageUp();
    void PageDown();
    void ScrollColumnIntoView(int column);

    // List mode: rows and texts live in the grid.
    int InsertItem(int row, const std::wstring& text);
    void SetItemText(int row, int column, const std::wstring& text);
    void DeleteItem(int row);
    void DeleteAllItems();
    // The cell's text: the stored text in list mode, the model's in datasheet mode.
    std::wstring GetItemText(int row, int column) const;

    // The number of lines: rows, and in datasheet mode after loading the new-row line.
    // A larger count appends lines, a smaller one drops the last ones; the view is never reset.
    void SetItemCountEx(int count);
    int GetItemCount() const;
    // Datasheet mode: the rows of the record set (the lines without the new-row line).
    int GetRecordCount() const;
    // Datasheet mode: loading has ended and the last line is the new-row line.
    bool HasNewRowLine() const;

    CListFrame* GetOwnerFrame() const { return m_pOwnerFrame; }
    CInlineEdit* GetHiddenEditor() const { return m_pHiddenEditor; }
    QWidget* GetEditorWidget(int column) const;
    int GetColumnCount() const { return static_cast<int>(m_arrColumns.size()); }
    int GetRowHeight() const { return m_nRowHeight; }
    // Every line's height, set by the owner frame from its cell font.
    void SetRowHeight(int height);
    // The rectangle of a cell in viewport coordinates.
    QRect GetCellRect(int row, int column) const;
    int GetTopIndex() const;
    int GetCountPerPage() const;
    bool IsRowSelected(int row) const;
    // Adds the rows first to last to the selection.
    void SelectRows(int first, int last);
    // The keyboard's current cell (framed while the grid has the focus); -1 when none.
    int GetCursorRow() const { return m_nCursorRow; }
    int GetCursorColumn() const { return m_nCursorColumn; }
    void SetCursorCell(int row, int column);

    // The view's geometry, in viewport coordinates; -1 outside the lines or columns.
    GridItemModel* model() const { return m_pModel; }
    CPLHeaderCtrl* horizontalHeader() const { return m_pHeader; }
    int rowAt(int y) const;
    int columnAt(int x) const;
    int columnViewportPosition(int column) const;
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);
    void scrollToTop();
    // List mode: the lines were sorted, line i is now line newRowOf[i]; the selection and
    // the current cell go with their lines.
    void OnLinesReordered(const std::vector<int>& newRowOf);
    // The rows were sorted, by this grid or another one over them: the header marks the
    // column, and the next click on it sorts the other way.
    void OnSorted(int column, bool ascending);

    // Applies the datasheet font settings when they changed since last applied.
    void UpdateFonts();

    // UM_CELL_LEFT ... UM_CELL_DOWN and UM_CELL_BUTTON from the editors.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Fields read and written by the owner frame and the editors.
    std::vector<int> m_arrValueTypes;
    std::vector<GridColumn> m_arrColumns;
    QBrush m_brCellBorder;
    CListFrame* m_pOwnerFrame;
    int m_nCurrentColumn = -1;
    int m_nCurrentRow = -1;
    int m_nSortToggle = 0;
    int m_nSortColumn = 0;
    CPLHeaderCtrl* m_pHeader = nullptr;
    int m_bDividerTracking = 0;
    std::wstring m_strEditStartText;
    int m_bOwnScroll = 0;
    int m_bSelectionRestart = 1;
    std::vector<int> m_arrRowsToDelete;
    CInlineEdit* m_pHiddenEditor = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    class CellDelegate;
    friend class CellDelegate;
    class VerticalScrollBar;

    // The cell painter and the viewport's painting (clistctrlcombo_paint.cpp).
    void InitPainting();
    // The vertical scroll bar, and the line changes that move the scroll ranges, the
    // selection and the cursor (clistctrlcombo_geometry.cpp).
    void InitScrolling();
    // The rows of a list grid, held by the grid (clistctrlcombo_list.cpp).
    GridItemModel* MakeListRows();

    // The widest content of a column's visible cells: a divider double-click sizes the
    // column to it (or to its title, when that is wider).
    int SizeHintForColumn(int column) const;
    // The scroll ranges and the header's place follow the lines, the columns and the size.
    void UpdateGeometries();
    // The line count or the lines' order changed: the selection and the cursor follow.
    void OnLinesInserted(int first, int last);
    void OnLinesRemoved(int first, int last);
    void OnLinesChanged(int first, int last);
    // The rows of the viewport that the lines first to last cover.
    QRect LinesRect(int first, int last) const;
    // Moves the keyboard's current cell as a navigation key does; Shift extends the
    // selection from the anchor row, Ctrl moves without selecting.
    void MoveCursor(int key, Qt::KeyboardModifiers modifiers);
    // The cursor moved to (row, column) by a click or a key: the selection follows the
    // modifiers (none: only the row; Shift: anchor to row; Ctrl: the row toggles).
    void PlaceCursor(int row, int column, Qt::KeyboardModifiers modifiers, bool toggle);

    bool IsReadOnly() const;
    // F2 and Enter on the grid: the keyboard's current cell opens its editor; false when
    // there is no such cell or the grid is read-only.
    bool OpenCursorCell();
    // A character typed on the grid opens the current cell's edit box or list with it.
    bool TypeIntoCursorCell(QKeyEvent* event);
    // Keyboard rules applied before a key reaches the grid or one of its editors.
    bool PreTranslateKey(QObject* watched, QKeyEvent* event);
    void OnHeaderClicked(int column);
    void OnItemActivate(int row, int column, const QPoint& point);
    // A check-box cell's text turns from "1" to "0", anything else to "1", and is stored.
    void ToggleCheckCell(int row, int column);
    // Space on a check-box cell toggles it; Space, and where the rows press them at once
    // Enter, on a "..." cell presses its button. The cell is the open one when the key
    // reached the hidden editor, the keyboard's current cell when it reached the grid
    // itself. False when the key does none of this and goes on as usual.
    bool PressCellByKey(QObject* watched, bool enter);
    // The "..." cell (row, column) becomes the current cell and its button is pressed.
    void PressButtonCell(int row, int column);
    void EnsureRowVisible(int row);
    void RedrawRows(int first, int last);
    void PlaceEditor(QWidget* editor, const QRect& rect, bool show);
    // Moves the editor by the navigation rules; false when nothing moved. The editor it
    // moves holds its cell's whole text, so that what is typed replaces it.
    bool OnCellMove(grid::CellMove move);
    // The open edit box's whole text selected; other editors are left as they are.
    void SelectOpenCellText();
    // The keyboard's current row (no editor open) moved: it is shown, and the owner frame
    // hears of it.
    void OnKeyboardRowMoved(int row);
    // Page Up and Page Down from the grid itself: the page scrolls and the keyboard's
    // current row moves with it; with Shift the selection grows from the anchor.
    void PageCurrentRow(bool down, Qt::KeyboardModifiers modifiers);
    // The editor window of the open cell when it takes the focus (edit box or combo).
    QWidget* FocusEditor() const;

    GridItemModel* m_pModel = nullptr;
    CellDelegate* m_pDelegate = nullptr;
    RowSelection m_selection;
    // The selection walk is at row m_nSelectionIter of range m_nSelectionRange.
    size_t m_nSelectionRange = 0;
    int m_nSelectionIter = 0;
    int m_nRowHeight = 20;
    bool m_bShowGrid = false;
    int m_nCursorRow = -1;
    int m_nCursorColumn = -1;
    int m_nAnchorRow = -1;  // where Shift extends the selection from
    bool m_bDragSelecting = false;
    bool m_bColumnsCreated = false;
    bool m_bSuppressClick = false;
    bool m_bHeaderPressed = false; // a mouse button went down on the header and is not up yet
    bool m_bCellActive = false;  // the current cell's editor is placed
    bool m_bStoreAlways = false; // a check-box toggle stores its value even when unchanged
    std::wstring m_strFontFaceApplied;
    std::wstring m_strFontSizeApplied;
};
