#include "document/grid/cbuttonplus.h"

#include "document/grid/celleditorowner.h"

CButtonPlus::CButtonPlus(CellEditorOwner* owner, int column, QWidget* parent)
    : QPushButton(QStringLiteral("..."), parent)
    , m_pOwner(owner)
    , m_nColumn(column)
{
    // The button never takes the focus: after a press the grid's keys still move the cell.
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QPushButton::clicked, this, &CButtonPlus::OnClicked);
}

void CButtonPlus::OnClicked()
{
    platform::SendMessage(m_pOwner, UM_CELL_BUTTON, static_cast<WPARAM>(m_nColumn), 0);
}
