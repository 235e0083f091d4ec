#pragma once
// The "..." push button that the grid places over a cell of a button column; pressing
// it tells the grid which column's button it was.
#include <QPushButton>

class CellEditorOwner;

class CButtonPlus : public QPushButton {
    Q_OBJECT
public:
    CButtonPlus(CellEditorOwner* owner, int column, QWidget* parent = nullptr);

    int GetColumn() const { return m_nColumn; }

private:
    // Sends UM_CELL_BUTTON (wParam the column, lParam 0) to the grid.
    void OnClicked();

    CellEditorOwner* m_pOwner;
    int m_nColumn;
};
