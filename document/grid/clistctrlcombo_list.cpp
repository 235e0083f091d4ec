#include "document/grid/clistctrlcombo.h"

#include "document/grid/clistframe.h"
#include "document/grid/listrows.h"

// The grid in list mode: the lines and texts that a list's owner puts in the grid, and
// the selection and current cell following their lines through a sort.

GridItemModel* CListCtrlCombo::MakeListRows()
{
    auto* rows = new ListRows(this);
    // The owner hears of each row deleted, as it goes.
    connect(rows, &ListRows::LineDeleted, this, [this](int row) {
        platform::SendMessage(m_pOwnerFrame->GetOwnerWindow(), UM_LIST_ROW_DELETED, 0, row);
    });
    connect(rows, &ListRows::LinesReordered, this, &CListCtrlCombo::OnLinesReordered);
    return rows;
}

int CListCtrlCombo::InsertItem(int row, const std::wstring& text)
{
    return m_pModel->InsertLine(row, text);
}

void CListCtrlCombo::SetItemText(int row, int column, const std::wstring& text)
{
    m_pModel->SetText(row, column, text);
}

void CListCtrlCombo::DeleteItem(int row)
{
    if (row == m_nCurrentRow) {
        EndEdit(-1);
        m_nCurrentRow = m_nCurrentColumn = -1;
    }
    m_pModel->RemoveLine(row);
}

void CListCtrlCombo::DeleteAllItems()
{
    EndEdit(-1);
    m_nCurrentRow = m_nCurrentColumn = -1;
    m_pModel->RemoveAll();
}

void CListCtrlCombo::OnLinesReordered(const std::vector<int>& newRowOf)
{
    m_selection.Remap(newRowOf);
    m_bSelectionRestart = 1;
    for (int* row : {&m_nCursorRow, &m_nAnchorRow})
        if (*row >= 0 && *row < static_cast<int>(newRowOf.size()))
            *row = newRowOf[*row];
    viewport()->update();
}
