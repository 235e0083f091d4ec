#pragma once
// The window every grid of the program sits in. It owns one grid (CListCtrlCombo), its
// fonts and colours, and relays the grid's events: a list's to the window that owns the
// frame as messages, a datasheet's as signals to the data window's datasheet frame,
// which carries out the caption strip's commands.
#include "document/grid/clistctrlcombo.h"
#include "document/grid/cplheaderctrl.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFrame>

#include <span>
#include <string>

class CListCtrlCombo;
class GridItemModel;

// From the frame to its owner window (sent).
inline constexpr UINT UM_LIST_ROW_ACTIVATE = WM_USER + 35; // list mode: wParam column, lParam row
inline constexpr UINT UM_LIST_ROW_CLICK = WM_USER + 43;    // list mode: wParam 0, lParam row
// list mode: a row was opened (a double-click, or Enter on the row); wParam 0, lParam
// row; a nonzero result says the owner acted on it, and Enter does nothing more.
inline constexpr UINT UM_LIST_ROW_OPEN = WM_USER + 44;

// One column of a grid as its owner describes it; an owner's columns are a table of these.
struct GridColumnSpec {
    const wchar_t* m_szTitle;
    GridEditorKind m_nEditorKind;
    int m_nWidth;
    int m_nAlign = GRID_ALIGN_LEFT;
    int m_nValueType = GRID_NO_VALUE_TYPE;
};

class CListFrame : public QFrame, public platform::MessageTarget, public HeaderOwner {
    Q_OBJECT
public:
    static constexpr int MODE_DATASHEET = 0;
    static constexpr int MODE_LIST = 1;

    CListFrame();
    ~CListFrame() override;

    // Makes the grid inside the frame. The parent is the owner window: when it is a
    // platform::MessageTarget it receives the frame's messages.
    bool Create(QWidget* parent, const QRect& rect = QRect());
    void AddColumn(const std::wstring& title, int editorKind, int width, int align, int valueType);
    // AddColumn for every column of the table, in order.
    void AddColumns(std::span<const GridColumnSpec> columns);
    // Once after the last column: builds the grid's columns.
    void InitGrid();

    std::wstring GetItemText(int row, int column) const;
    // List mode: deletes the row and tells the owner window.
    void DeleteRow(int row);
    void OnRowClicked(int row);
    // List mode: UM_LIST_ROW_OPEN to the owner; true when the owner acted on it.
    bool OnRowOpened(int row);
    // Datasheet: a click or a keyboard move reached the row, or it was selected
    // (RowShown).
    void ShowRowPosition(int row);
    // A cell became current: a read-only frame says that it is not edited, a list tells
    // its owner, a datasheet tells its datasheet frame (CellSelected).
    void OnCellSelected(int row, int column);

    CListCtrlCombo* GetGrid() const { return m_pGrid; }
    platform::MessageTarget* GetOwnerWindow() const { return m_pOwnerWnd; }
    // The row height: the cell font's text height, external leading and 1.
    int MeasureRowHeight() const;
    // Makes the cell font from the datasheet font settings.
    void MakeCellFont();

    // What the header reads.
    bool IsReadOnly() const override { return m_bReadOnly != 0; }
    QColor GetTextColor() const override { return m_clrText; }
    QColor GetHeaderColor1() const override { return m_clrHeaderFirst; }
    QColor GetHeaderColor2() const override { return m_clrHeaderSecond; }
    QColor GetSortMarkColor() const override { return m_brSortMark.color(); }

    // UM_CELL_BUTTON from the grid, passed on to the owner.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    int m_nMode = MODE_DATASHEET;
    QFont m_fontCell;
    QFont m_fontHeader;
    QColor m_clrText;
    QColor m_clrBorder;
    QColor m_clrHeaderFirst;
    QColor m_clrHeaderSecond;
    QBrush m_brSortMark;
    int m_nHeaderFill = 2;
    int m_nTextMargin = 2;
    int m_nRowColouring = 2;
    int m_bCellBorder = 1;
    int m_bReadOnly = 0;
    // Said when a cell of a read-only grid is chosen; "" says that a query or view is shown.
    std::wstring m_strReadOnlyReason;
    // A dialog's grid (the designers): cells and header take the font of the dialog the
    // frame sits in, not the datasheet settings, and column widths are given in the
    // dialog's horizontal units. Set before Create.
    int m_bDialogGrid = 0;
    // List mode: a header click sorts the rows. Owners whose row i must stay record i
    // (the designers) switch it off before InitGrid.
    int m_bSortable = 1;
    std::wstring m_strTitle;
    // The rows a datasheet frame shows, shared with every other frame over them; set by
    // the owner before Create. A list frame leaves it null: its grid holds its rows.
    GridItemModel* m_pRows = nullptr;
    platform::MessageTarget* m_pOwnerWnd = nullptr;
    int m_bGridCreated = 0;

signals:
    // Datasheet mode: the row was clicked, reached by a key or selected (-1 none).
    void RowShown(int row);
    // Datasheet mode: a cell of a writable frame became current, which ends the row
    // selection.
    void CellSelected(int row, int column);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void InitAppearance();
    void CreateGrid();

    CListCtrlCombo* m_pGrid = nullptr;
};
