#include "document/grid/clistctrlcombo.h"

#include "document/grid/cbuttonplus.h"
#include "document/grid/ccomboboxplus.h"
#include "document/grid/cinlineedit.h"
#include "document/grid/clistframe.h"
#include "document/grid/cplheaderctrl.h"
#include "document/grid/griditemmodel.h"
#include "document/grid/gridgeometry.h"
#include "platform/utf16.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

// The grid's keys and cell editors: a cell's editor placed, committed, closed or
// cancelled, the keyboard's rules before a key reaches the grid or an editor, the
// current cell's moves, and the editors' cell messages.

void CListCtrlCombo::BeginEdit(int row, int column, bool show)
{
    if (IsReadOnly())
        return;
    m_nCurrentRow = row;
    m_nCurrentColumn = column;
    m_bCellActive = false;
    if (row < 0 || column < 0 || column >= GetColumnCount() || row >= GetItemCount())
        return;
    m_bCellActive = true;
    const QRect rect = GetCellRect(row, column);
    GridColumn& col = m_arrColumns[column];
    const std::wstring text = GetItemText(row, column);
    if (col.m_pEdit) {
        PlaceEditor(col.m_pEdit, rect, show);
        col.m_pEdit->setFocus();
        col.m_pEdit->Bind(row, column, text);
        m_strEditStartText = text;
    } else if (col.m_pCombo) {
        PlaceEditor(col.m_pCombo, rect, show);
        col.m_pCombo->setFocus();
        col.m_pCombo->SelectCellText(text);
        m_strEditStartText = text;
    } else if (col.m_pButton) {
        PlaceEditor(col.m_pButton, rect, show);
    }
    if (!col.m_pEdit && !col.m_pCombo && m_pHiddenEditor)
        m_pHiddenEditor->setFocus();
    ClearSelection();
    m_pOwnerFrame->OnCellSelected(row, column);
}

void CListCtrlCombo::EndEdit(int nextRow)
{
    if (m_nCurrentRow < 0 || m_nCurrentColumn < 0 || m_nCurrentColumn >= GetColumnCount())
        return;
    const int row = m_nCurrentRow;
    const bool rowChanged = nextRow != row;
    GridColumn& col = m_arrColumns[m_nCurrentColumn];
    if (m_bCellActive) {
        m_bCellActive = false;
        if (col.m_pEdit) {
            col.m_pEdit->SetNextRow(nextRow);
            col.m_pEdit->CommitText(m_arrValueTypes[m_nCurrentColumn]);
            col.m_pEdit->SetClean(true);
            col.m_pEdit->hide();
        } else if (col.m_pCombo) {
            // A combo cell changes only by the user's choice, never by being passed through.
            const std::wstring text = platform::FromQString(col.m_pCombo->currentText());
            const bool chosen = col.m_pCombo->HasUserChoice();
            col.m_pCombo->setCurrentIndex(-1);
            col.m_pCombo->hide();
            if (chosen)
                SetCell(row, m_nCurrentColumn, text, rowChanged);
        } else if (col.m_pButton) {
            col.m_pButton->hide();
        }
    }
    RedrawRows(row, row);
}

QWidget* CListCtrlCombo::FocusEditor() const
{
    if (!m_bCellActive || m_nCurrentColumn < 0 || m_nCurrentColumn >= GetColumnCount())
        return nullptr;
    const GridColumn& col = m_arrColumns[m_nCurrentColumn];
    if (col.m_pEdit)
        return col.m_pEdit;
    return col.m_pCombo;
}

void CListCtrlCombo::CloseCell()
{
    if (m_nCurrentRow < 0 && m_nCurrentColumn < 0)
        return;
    const QWidget* focus = QApplication::focusWidget();
    const bool focusInEditor = m_bCellActive && focus && focus != this && isAncestorOf(focus);
    EndEdit(m_nCurrentRow);
    m_bCellActive = false;
    m_nCurrentRow = m_nCurrentColumn = -1;
    if (focusInEditor)
        setFocus();
}

void CListCtrlCombo::CancelCell()
{
    if (!m_bCellActive)
        return;
    m_bCellActive = false;
    const int row = m_nCurrentRow;
    GridColumn& col = m_arrColumns[m_nCurrentColumn];
    if (col.m_pEdit) {
        // Clean first: the focus leaving the box must not store what was typed.
        col.m_pEdit->SetClean(true);
        col.m_pEdit->setText(platform::ToQString(m_strEditStartText));
    } else if (col.m_pCombo) {
        col.m_pCombo->setCurrentIndex(-1);
    }
    m_nCurrentRow = m_nCurrentColumn = -1;
    setFocus();
    if (col.m_pEdit)
        col.m_pEdit->hide();
    else if (col.m_pCombo)
        col.m_pCombo->hide();
    RedrawRows(row, row);
}

void CListCtrlCombo::SetCell(int row, int column, const std::wstring& text, bool rowChanged)
{
    if (row < 0 || column < 0 || column >= GetColumnCount())
        return;
    const bool changed = text != m_strEditStartText || m_bStoreAlways;
    if (m_pModel->StoreCell(row, column, text, changed, rowChanged)) {
        // The new-row line became a row: the new empty line below it is shown. The
        // editor has left the line already (EndEdit, or its own focus-out store), so
        // this scroll ends nothing.
        const int saved = m_bOwnScroll;
        m_bOwnScroll = 1;
        EnsureRowVisible(GetItemCount() - 1);
        m_bOwnScroll = saved;
        // The strip counts the new row at once.
        m_pOwnerFrame->ShowRowPosition(row);
    }
    RedrawRows(row, row);
}

int CListCtrlCombo::GetValueType(int column) const
{
    return column >= 0 && column < static_cast<int>(m_arrValueTypes.size()) ? m_arrValueTypes[column] : -1;
}

void CListCtrlCombo::OnItemActivate(int row, int column, const QPoint& point)
{
    if (IsReadOnly()) {
        m_pOwnerFrame->OnCellSelected(m_nCurrentRow, m_nCurrentColumn);
        return;
    }
    if (row < 0 || column < 0 || column >= GetColumnCount())
        return;
    if (m_arrColumns[column].m_nEditorKind == GRID_CHECK_BOX &&
        grid::CheckBoxHitBox(GetCellRect(row, column)).contains(point))
        ToggleCheckCell(row, column);
    if (!(m_bCellActive && row == m_nCurrentRow && column == m_nCurrentColumn)) {
        EndEdit(row);
        BeginEdit(row, column, true);
    }
}

void CListCtrlCombo::ToggleCheckCell(int row, int column)
{
    const std::wstring text = GetItemText(row, column) == L"1" ? L"0" : L"1";
    m_bStoreAlways = true;
    SetCell(row, column, text, true);
    m_bStoreAlways = false;
}

bool CListCtrlCombo::PressCellByKey(QObject* watched, bool enter)
{
    int row = -1;
    int column = -1;
    if (watched == m_pHiddenEditor && m_bCellActive) {
        row = m_nCurrentRow;
        column = m_nCurrentColumn;
    } else if (watched == this && !m_bCellActive) {
        row = m_nCursorRow;
        column = m_nCursorColumn;
    }
    if (row < 0 || row >= GetItemCount() || column < 0 || column >= GetColumnCount())
        return false;
    switch (m_arrColumns[column].m_nEditorKind) {
    case GRID_CHECK_BOX:
        if (enter)
            return false;
        ToggleCheckCell(row, column);
        return true;
    case GRID_BUTTON:
        if (enter && !m_pModel->PressesButtonCellsAtOnce())
            return false;
        PressButtonCell(row, column);
        return true;
    default:
        return false;
    }
}

void CListCtrlCombo::PressButtonCell(int row, int column)
{
    if (!(m_bCellActive && row == m_nCurrentRow && column == m_nCurrentColumn)) {
        EndEdit(row);
        BeginEdit(row, column, true);
    }
    if (m_bCellActive)
        platform::SendMessage(this, UM_CELL_BUTTON, static_cast<WPARAM>(column), 0);
}

bool CListCtrlCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && PreTranslateKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (m_pHeader && watched == m_pHeader->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            m_bHeaderPressed = true;
        if (event->type() == QEvent::MouseButtonRelease) {
            m_bHeaderPressed = false;
            // A divider drag ended: the cell is committed and every line painted again.
            if (m_bDividerTracking)
                QMetaObject::invokeMethod(this, [this] {
                    m_bDividerTracking = 0;
                    EndEdit(m_nCurrentRow);
                    viewport()->update();
                }, Qt::QueuedConnection);
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

bool CListCtrlCombo::PreTranslateKey(QObject* watched, QKeyEvent* event)
{
    if (IsReadOnly())
        return false;
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // The grid itself moves its current row with the page; the view's own paging
        // would move the rows a second time. In an editor the page's scroll closes the
        // cell, and the key has done its part.
        if (watched == this) {
            PageCurrentRow(event->key() == Qt::Key_PageDown, event->modifiers());
            return true;
        }
        if (event->key() == Qt::Key_PageUp)
            PageUp();
        else
            PageDown();
        return true;
    case Qt::Key_Delete:
        // In an open edit box Delete deletes a character; elsewhere it deletes the rows.
        if (m_bCellActive && watched == FocusEditor() && qobject_cast<CInlineEdit*>(FocusEditor()))
            return false;
        DeleteSelectedRows();
        return true;
    case Qt::Key_Escape:
        if (!m_bCellActive || watched != FocusEditor())
            return false;
        CancelCell();
        return true;
    case Qt::Key_Space:
        return event->modifiers() == Qt::NoModifier && PressCellByKey(watched, false);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (PressCellByKey(watched, true))
            return true;
        // On a row that edits nothing Enter opens the row, when the owner opens rows.
        if ((watched == this || watched == m_pHiddenEditor) &&
            m_pOwnerFrame->OnRowOpened(m_bCellActive ? m_nCurrentRow : m_nCursorRow))
            return true;
        // On the grid itself Enter opens the current cell, as F2 does; in an editor it
        // moves on as Tab does.
        if (watched == this)
            return OpenCursorCell();
        [[fallthrough]];
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        const bool left = event->key() == Qt::Key_Backtab ||
                          (event->key() == Qt::Key_Tab && (event->modifiers() & Qt::ShiftModifier));
        // On the grid itself the current cell moves; only an editor takes the pending
        // move, which would otherwise wait for the next editor's first key.
        if (watched == this) {
            MoveCursor(left ? Qt::Key_Left : Qt::Key_Right, Qt::NoModifier);
            return true;
        }
        if (left)
            m_bShiftTabLeftPending = 1;
        else
            m_bTabRightPending = 1;
        QKeyEvent arrow(QEvent::KeyPress, left ? Qt::Key_Left : Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(watched, &arrow);
        return true;
    }
    default:
        return false;
    }
}

void CListCtrlCombo::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        MoveCursor(event->key(), modifiers);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        PageCurrentRow(event->key() == Qt::Key_PageDown, modifiers);
        return;
    case Qt::Key_A:
        if (modifiers == Qt::ControlModifier && GetItemCount() > 0) {
            m_selection.Clear();
            SelectRows(0, GetItemCount() - 1);
            return;
        }
        break;
    case Qt::Key_F2:
        if (modifiers == Qt::NoModifier && OpenCursorCell())
            return;
        break;
    default:
        break;
    }
    if (TypeIntoCursorCell(event))
        return;
    QAbstractScrollArea::keyPressEvent(event);
}

void CListCtrlCombo::MoveCursor(int key, Qt::KeyboardModifiers modifiers)
{
    const int count = GetItemCount();
    const int columns = GetColumnCount();
    if (count == 0 || columns == 0 || !m_pHeader)
        return;
    const bool homeOrEnd = key == Qt::Key_Home || key == Qt::Key_End;
    const bool noCursor = m_nCursorRow < 0 || m_nCursorColumn < 0;
    // Without a current cell an arrow lands on the first cell; Home and End (with Ctrl,
    // the first and last rows) go where they go from there, the first time.
    if (noCursor && !homeOrEnd) {
        PlaceCursor(0, m_pHeader->logicalIndex(0), modifiers, false);
        OnKeyboardRowMoved(0);
        return;
    }
    int row = noCursor ? 0 : m_nCursorRow;
    int visual = noCursor ? 0 : m_pHeader->visualIndex(m_nCursorColumn);
    const bool control = modifiers & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Up:
        row = std::max(0, row - 1);
        break;
    case Qt::Key_Down:
        row = std::min(count - 1, row + 1);
        break;
    case Qt::Key_Left:
        visual = std::max(0, visual - 1);
        break;
    case Qt::Key_Right:
        visual = std::min(columns - 1, visual + 1);
        break;
    case Qt::Key_Home:
        visual = 0;
        if (control)
            row = 0;
        break;
    case Qt::Key_End:
        visual = columns - 1;
        if (control)
            row = count - 1;
        break;
    default:
        return;
    }
    // Ctrl+Home and Ctrl+End select the row they reach, as the arrows do.
    PlaceCursor(row, m_pHeader->logicalIndex(visual), homeOrEnd ? modifiers & ~Qt::ControlModifier : modifiers, false);
    OnKeyboardRowMoved(row);
    if (key == Qt::Key_Left || key == Qt::Key_Right || homeOrEnd)
        ScrollColumnIntoView(m_nCursorColumn);
}

void CListCtrlCombo::PageCurrentRow(bool down, Qt::KeyboardModifiers modifiers)
{
    const int count = GetItemCount();
    if (count == 0)
        return;
    const int page = GetCountPerPage();
    const int from = m_nCursorRow >= 0 ? m_nCursorRow : GetTopIndex();
    if (down)
        PageDown();
    else
        PageUp();
    const int row = std::clamp(from + (down ? page : -page), 0, count - 1);
    PlaceCursor(row, std::max(0, m_nCursorColumn), modifiers & Qt::ShiftModifier, false);
    OnKeyboardRowMoved(row);
}

void CListCtrlCombo::OnKeyboardRowMoved(int row)
{
    EnsureRowVisible(row);
    m_pOwnerFrame->ShowRowPosition(row);
}

bool CListCtrlCombo::OpenCursorCell()
{
    if (IsReadOnly() || m_bCellActive || m_nCursorRow < 0 || m_nCursorColumn < 0 ||
        m_nCursorRow >= GetItemCount() || m_nCursorColumn >= GetColumnCount())
        return false;
    const int row = m_nCursorRow;
    const int column = m_nCursorColumn;
    EnsureRowVisible(row);
    ScrollColumnIntoView(column);
    BeginEdit(row, column, true);
    return m_bCellActive;
}

bool CListCtrlCombo::TypeIntoCursorCell(QKeyEvent* event)
{
    // A character typed on the grid, not a command key.
    const QString text = event->text();
    if (text.isEmpty() || !text.front().isPrint() ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    if (m_nCursorColumn < 0 || m_nCursorColumn >= GetColumnCount())
        return false;
    const GridColumn& col = m_arrColumns[m_nCursorColumn];
    if (!col.m_pEdit && !col.m_pCombo)
        return false;
    if (!OpenCursorCell())
        return false;
    // The character replaces the cell's text, through the editor's own checks.
    SelectOpenCellText();
    if (QWidget* editor = FocusEditor()) {
        QKeyEvent typed(QEvent::KeyPress, event->key(), event->modifiers(), text);
        QCoreApplication::sendEvent(editor, &typed);
    }
    return true;
}

void CListCtrlCombo::focusInEvent(QFocusEvent* event)
{
    // The focus came into the grid itself while a cell is open: not by a click (the
    // click ends the edit by its own rule) nor by a window coming back.
    const Qt::FocusReason reason = event->reason();
    if (m_bCellActive && reason != Qt::MouseFocusReason && reason != Qt::PopupFocusReason &&
        reason != Qt::ActiveWindowFocusReason)
        CloseCell();
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update(); // the focus frame
}

void CListCtrlCombo::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

LRESULT CListCtrlCombo::OnMessage(UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case UM_CELL_LEFT:
        OnCellMove(grid::CellMove::Left);
        return 0;
    case UM_CELL_RIGHT:
        OnCellMove(grid::CellMove::Right);
        return 0;
    case UM_CELL_UP:
        OnCellMove(grid::CellMove::Up);
        return 0;
    case UM_CELL_DOWN:
        return OnCellMove(grid::CellMove::Down) ? 1 : 0;
    case UM_CELL_BUTTON: {
        const LRESULT result = platform::SendMessage(m_pOwnerFrame, UM_CELL_BUTTON, m_nCurrentColumn, m_nCurrentRow);
        // The press gave the focus to the grid: the button's cell takes it back, so the
        // next arrow key moves the cell.
        if (m_bCellActive && !FocusEditor() && m_pHiddenEditor)
            m_pHiddenEditor->setFocus();
        return result;
    }
    default:
        return 0;
    }
}

bool CListCtrlCombo::OnCellMove(grid::CellMove move)
{
    if (m_nCurrentColumn < 0)
        return false;
    const int from = m_nCurrentRow;
    const int column = m_nCurrentColumn;
    // Down from the new-row line, and on past its last cell, lead to the line that
    // storing the row makes: the fresh new-row line below it.
    const bool fromNewRowLine = HasNewRowLine() && from == GetItemCount() - 1;
    const grid::CellTarget target =
        grid::NavigateCell(move, from, column, GetItemCount() + (fromNewRowLine ? 1 : 0), GetColumnCount());
    if (!target.moves)
        return false;
    EndEdit(target.row);
    if (target.row >= GetItemCount()) {
        // Nothing was stored (the line was empty, or the table refused the row, which the
        // model has said): the editor stays where it was, with the texts typed.
        BeginEdit(from, column, true);
        SelectOpenCellText();
        return false;
    }
    if (move == grid::CellMove::Right && target.wrapped)
        EnsureRowVisible(from);
    EnsureRowVisible(target.row);
    BeginEdit(target.row, target.column, true);
    if (move == grid::CellMove::Left || move == grid::CellMove::Right)
        ScrollColumnIntoView(target.column);
    SelectOpenCellText();
    return true;
}

void CListCtrlCombo::SelectOpenCellText()
{
    // Selected from the end back to the start, so that a text wider than its cell shows
    // its beginning.
    if (auto* edit = qobject_cast<QLineEdit*>(FocusEditor())) {
        const auto length = static_cast<int>(edit->text().size());
        edit->setSelection(length, -length);
    }
}
