#include "document/grid/clistctrlcombo.h"

#include "data/settings.h"
#include "document/grid/cbuttonplus.h"
#include "document/grid/ccomboboxplus.h"
#include "document/grid/cinlineedit.h"
#include "document/grid/clistframe.h"
#include "document/grid/cplheaderctrl.h"
#include "document/grid/griditemmodel.h"
#include "document/grid/gridgeometry.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>

#include <algorithm>

// The grid's construction, its columns, its lines and selection, the row commands and
// the mouse. Painting, geometry and scrolling, keys and cell editors, and list mode
// have files of their own.

namespace {

constexpr wchar_t TXT_DELETE_QUESTION[] = L"Click Yes button to proceed.\nClick No button to cancel.";
constexpr wchar_t TXT_DELETE_CAPTION[] = L"Delete Confirmation";
constexpr int REDRAW_AFTER_DELETE = 201; // lines redrawn from the first deleted row on

} // namespace

CListCtrlCombo::CListCtrlCombo(CListFrame* ownerFrame)
    : QAbstractScrollArea(ownerFrame)
    , m_pOwnerFrame(ownerFrame)
{
    // The rows the frame was given (a datasheet's, shared with every grid over them), or
    // rows of the grid's own.
    m_pModel = ownerFrame->m_pRows ? ownerFrame->m_pRows : MakeListRows();
    setObjectName(QStringLiteral("control%1").arg(GRID_ID));
    m_brCellBorder = QBrush(ownerFrame->m_clrBorder);
    m_strFontFaceApplied = g_strFontFace;
    m_strFontSizeApplied = g_strFontSize;
    setFocusPolicy(Qt::StrongFocus);
    InitPainting();
    InitScrolling();
    installEventFilter(this);
}

CListCtrlCombo::~CListCtrlCombo() = default;

bool CListCtrlCombo::IsReadOnly() const
{
    return m_pOwnerFrame->m_bReadOnly != 0;
}

void CListCtrlCombo::AddColumn(const std::wstring& title, int editorKind, int width, int align, int valueType)
{
    m_arrValueTypes.push_back(valueType);
    GridColumn column;
    column.m_strTitle = title;
    column.m_nEditorKind = static_cast<GridEditorKind>(editorKind);
    column.m_nTextFormat = align == 1 ? Qt::AlignLeft : Qt::AlignRight;
    column.m_nWidth = static_cast<short>(width);
    const int index = static_cast<int>(m_arrColumns.size());
    QWidget* editor = nullptr;
    if (IsEditKind(column.m_nEditorKind)) {
        column.m_pEdit = new CInlineEdit(this, this);
        editor = column.m_pEdit;
    } else if (column.m_nEditorKind == GRID_COMBO) {
        column.m_pCombo = new CComboBoxPlus(this, this);
        editor = column.m_pCombo;
    } else if (column.m_nEditorKind == GRID_BUTTON) {
        column.m_pButton = new CButtonPlus(this, index, this);
        editor = column.m_pButton;
    }
    if (editor) {
        editor->setObjectName(QStringLiteral("control%1").arg(FIRST_EDITOR_ID + index));
        editor->setFont(m_pOwnerFrame->m_fontCell);
        editor->hide();
        editor->installEventFilter(this);
        // The grid gives its editors the focus itself; Tab passes them by.
        editor->setFocusPolicy(Qt::ClickFocus);
    }
    m_arrColumns.push_back(std::move(column));
}

bool CListCtrlCombo::AddComboItem(int column, const std::wstring& text)
{
    if (column < 0 || column >= GetColumnCount() || !m_arrColumns[column].m_pCombo)
        return false;
    m_arrColumns[column].m_pCombo->addItem(platform::ToQString(text));
    return true;
}

bool CListCtrlCombo::AddComboItems(int column, const std::vector<std::wstring>& texts)
{
    for (const std::wstring& text : texts)
        if (!AddComboItem(column, text))
            return false;
    return true;
}

void CListCtrlCombo::CreateColumns()
{
    if (m_bColumnsCreated)
        return;
    m_bColumnsCreated = true;
    m_pHeader = new CPLHeaderCtrl(m_pOwnerFrame, this);
    m_pHeader->setModel(m_pModel);
    m_pHeader->setFont(m_pOwnerFrame->m_fontHeader);
    m_pHeader->setSectionsMovable(true);
    m_pHeader->setSectionsClickable(true);
    m_pHeader->setHighlightSections(false);
    m_pHeader->setSectionResizeMode(QHeaderView::Interactive);
    m_pHeader->setStretchLastSection(false);
    m_pHeader->setDefaultAlignment(Qt::AlignCenter);
    connect(m_pHeader, &CPLHeaderCtrl::ItemClicked, this, &CListCtrlCombo::OnHeaderClicked);
    connect(m_pHeader, &QHeaderView::sectionResized, this, [this](int, int, int) {
        // Only a press on the header drags a divider: a button held elsewhere (the
        // double-click that opened the window) while the columns get their widths is none.
        if (m_bHeaderPressed && (QApplication::mouseButtons() & Qt::LeftButton))
            m_bDividerTracking = 1;
        UpdateGeometries();
        viewport()->update();
    });
    connect(m_pHeader, &QHeaderView::sectionCountChanged, this, [this] { UpdateGeometries(); });
    // A new header font changes its height; the layout follows after the paint that
    // applied it.
    connect(m_pHeader, &QHeaderView::geometriesChanged, this, [this] { UpdateGeometries(); }, Qt::QueuedConnection);
    m_pHeader->viewport()->installEventFilter(this);
    // A column moved under an open cell would leave its editor over another column.
    connect(m_pHeader, &QHeaderView::sectionMoved, this, [this] {
        CloseCell();
        viewport()->update();
    });
    connect(m_pHeader, &QHeaderView::sectionHandleDoubleClicked, this,
            [this](int column) { setColumnWidth(column, std::max(SizeHintForColumn(column), m_pHeader->sectionSizeHint(column))); });

    std::vector<std::wstring> titles;
    for (const GridColumn& column : m_arrColumns)
        titles.push_back(column.m_strTitle);
    m_pModel->CreateColumns(titles);
    for (int i = 0; i < GetColumnCount(); ++i)
        setColumnWidth(i, m_arrColumns[i].m_nWidth);
    m_bShowGrid = m_pModel->DrawsGridLines();
    m_pHeader->show();
    UpdateGeometries();

    m_pHiddenEditor = new CInlineEdit(this, this);
    m_pHiddenEditor->setObjectName(QStringLiteral("control%1").arg(FIRST_EDITOR_ID + 1 + GetColumnCount()));
    m_pHiddenEditor->setReadOnly(true);
    m_pHiddenEditor->setGeometry(10000, 10000, 20, 20);
    m_pHiddenEditor->setFocusPolicy(Qt::ClickFocus);
    m_pHiddenEditor->show();
    m_pHiddenEditor->installEventFilter(this);
}

QWidget* CListCtrlCombo::GetEditorWidget(int column) const
{
    if (column < 0 || column >= GetColumnCount())
        return nullptr;
    const GridColumn& col = m_arrColumns[column];
    if (col.m_pEdit)
        return col.m_pEdit;
    if (col.m_pCombo)
        return col.m_pCombo;
    return col.m_pButton;
}

void CListCtrlCombo::SetItemCountEx(int count)
{
    m_pModel->SetLineCount(count);
}

int CListCtrlCombo::GetItemCount() const
{
    return m_pModel->LineCount();
}

int CListCtrlCombo::GetRecordCount() const
{
    return HasNewRowLine() ? GetItemCount() - 1 : GetItemCount();
}

bool CListCtrlCombo::HasNewRowLine() const
{
    return m_pModel->HasNewRowLine();
}

std::wstring CListCtrlCombo::GetItemText(int row, int column) const
{
    return m_pModel->CellText(row, column);
}

void CListCtrlCombo::RedrawRows(int first, int last)
{
    viewport()->update(LinesRect(first, last));
}

bool CListCtrlCombo::IsRowSelected(int row) const
{
    return m_selection.Contains(row);
}

void CListCtrlCombo::SelectRows(int first, int last)
{
    first = std::max(0, first);
    last = std::min(last, GetItemCount() - 1);
    if (first > last)
        return;
    m_selection.Select(first, last);
    m_bSelectionRestart = 1;
    viewport()->update();
}

void CListCtrlCombo::SetCursorCell(int row, int column)
{
    const bool valid = row >= 0 && row < GetItemCount() && column >= 0 && column < GetColumnCount();
    m_nCursorRow = valid ? row : -1;
    m_nCursorColumn = valid ? column : -1;
    viewport()->update();
}

void CListCtrlCombo::PlaceCursor(int row, int column, Qt::KeyboardModifiers modifiers, bool toggle)
{
    if (row < 0 || row >= GetItemCount())
        return;
    if (modifiers & Qt::ShiftModifier) {
        if (m_nAnchorRow < 0 || m_nAnchorRow >= GetItemCount())
            m_nAnchorRow = m_nCursorRow >= 0 ? m_nCursorRow : row;
        // Shift selects from the anchor; with Ctrl it adds to what was selected.
        if (!(modifiers & Qt::ControlModifier))
            m_selection.Clear();
        m_selection.Select(m_nAnchorRow, row);
    } else if (toggle) {
        m_selection.Toggle(row);
        m_nAnchorRow = row;
    } else if (!(modifiers & Qt::ControlModifier)) {
        m_selection.Clear();
        m_selection.Select(row, row);
        m_nAnchorRow = row;
    }
    m_bSelectionRestart = 1;
    SetCursorCell(row, column);
}

void CListCtrlCombo::ClearSelection()
{
    m_selection.Clear();
    m_nCursorRow = m_nCursorColumn = -1;
    m_nAnchorRow = -1;
    m_bSelectionRestart = 1;
    viewport()->update();
}

void CListCtrlCombo::SelectRow(int row)
{
    CloseCell();
    ClearSelection();
    if (row < 0 || row >= GetItemCount())
        return;
    EnsureRowVisible(row);
    setFocus();
    PlaceCursor(row, 0, Qt::NoModifier, false);
    // The strip names the row now selected (a search hit, Go To).
    m_pOwnerFrame->ShowRowPosition(row);
}

int CListCtrlCombo::GetNextSelectedItem()
{
    const std::vector<RowSelection::Range>& ranges = m_selection.Ranges();
    if (m_bSelectionRestart) {
        m_bSelectionRestart = 0;
        m_nSelectionRange = 0;
        m_nSelectionIter = ranges.empty() ? 0 : ranges.front().first;
    }
    while (m_nSelectionRange < ranges.size() && m_nSelectionIter > ranges[m_nSelectionRange].second) {
        if (++m_nSelectionRange < ranges.size())
            m_nSelectionIter = ranges[m_nSelectionRange].first;
    }
    if (m_nSelectionRange >= ranges.size()) {
        m_bSelectionRestart = 1;
        return -1;
    }
    return m_nSelectionIter++;
}

void CListCtrlCombo::DeleteSelectedRows()
{
    CloseCell();
    if (platform::MessageBox(this, TXT_DELETE_QUESTION, TXT_DELETE_CAPTION,
                             platform::MB_YESNO | platform::MB_ICONWARNING | platform::MB_DEFBUTTON2) != platform::IDYES)
        return;
    m_arrRowsToDelete.clear();
    m_bSelectionRestart = 1;
    for (int row = GetNextSelectedItem(); row >= 0; row = GetNextSelectedItem())
        m_arrRowsToDelete.push_back(row);
    if (m_arrRowsToDelete.empty())
        return;
    const int first = m_arrRowsToDelete.front();
    // From the highest row down: the rows still to go keep their indices.
    const int deleted = m_pModel->DeleteRows(std::vector<int>(m_arrRowsToDelete.rbegin(), m_arrRowsToDelete.rend()));
    RedrawRows(first, first + REDRAW_AFTER_DELETE - 1);
    m_arrRowsToDelete.clear();
    // The strip counts the rows left at once, naming the row now in the first one's place.
    if (deleted > 0)
        m_pOwnerFrame->ShowRowPosition(std::min(first, GetItemCount() - 1));
}

void CListCtrlCombo::UndoRowEdit()
{
    CloseCell();
    const int row = m_pModel->UndoRowEdit();
    if (row < 0)
        return;
    EnsureRowVisible(row);
    RedrawRows(row, row);
}

void CListCtrlCombo::AppendRow()
{
    // Before loading ends there is no new-row line, and the last line is a real row.
    if (!HasNewRowLine())
        return;
    CloseCell();
    const int last = GetItemCount() - 1;
    EnsureRowVisible(last);
    ScrollColumnIntoView(0);
    BeginEdit(last, 0, true);
}

void CListCtrlCombo::OnHeaderClicked(int column)
{
    if (m_bDividerTracking || !m_pOwnerFrame->m_bSortable)
        return;
    CloseCell();
    m_nSortColumn = column;
    m_nSortToggle = !m_nSortToggle;
    m_pHeader->SetSortMark(column, m_nSortToggle ? SORT_MARK_ASCENDING : SORT_MARK_DESCENDING);
    if (m_pModel->Sort(column, m_nSortToggle != 0) && m_pModel->ShowsFirstLineAfterSort())
        scrollToTop();
}

void CListCtrlCombo::OnSorted(int column, bool ascending)
{
    m_nSortColumn = column;
    m_nSortToggle = ascending ? 1 : 0;
    if (m_pHeader)
        m_pHeader->SetSortMark(column, ascending ? SORT_MARK_ASCENDING : SORT_MARK_DESCENDING);
    viewport()->update();
}

void CListCtrlCombo::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const int row = rowAt(point.y());
    // Any other button ends the edit as a left click does, at the row clicked.
    if (event->button() != Qt::LeftButton && m_bCellActive) {
        EndEdit(row);
        m_nCurrentRow = m_nCurrentColumn = -1;
    }
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    if (row < 0) {
        // A click below the last line selects nothing.
        if (event->button() == Qt::LeftButton && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
            ClearSelection();
        return;
    }
    const int column = std::max(0, columnAt(point.x()));
    if (event->button() == Qt::RightButton) {
        // A right-click keeps a selection it falls in, as a menu on the selected rows may.
        if (!IsRowSelected(row))
            PlaceCursor(row, column, Qt::NoModifier, false);
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool toggle = (modifiers & Qt::ControlModifier) && !(modifiers & Qt::ShiftModifier);
    PlaceCursor(row, column, modifiers, toggle);
    m_bDragSelecting = !toggle;
}

void CListCtrlCombo::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bDragSelecting || !(event->buttons() & Qt::LeftButton) || GetItemCount() == 0)
        return;
    // A drag selects from where it began to the row under the pointer, as far as the
    // lines on screen go.
    const int y = std::clamp(event->position().toPoint().y(), 0, viewport()->height() - 1);
    const int row = rowAt(y) >= 0 ? rowAt(y) : GetItemCount() - 1;
    if (row != m_nCursorRow)
        PlaceCursor(row, std::max(0, m_nCursorColumn), event->modifiers() | Qt::ShiftModifier, false);
}

void CListCtrlCombo::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_bDragSelecting = false;
    if (m_bSuppressClick) {
        // The release that ends a double-click is no click of its own.
        m_bSuppressClick = false;
        return;
    }
    const QPoint point = event->position().toPoint();
    const int row = rowAt(point.y());
    m_pOwnerFrame->OnRowClicked(row);
    EndEdit(row);
    m_bCellActive = false;
    m_nCurrentRow = m_nCurrentColumn = -1;
    // A plain click on a "..." cell of a form's rows, pressed and released there, presses
    // its button.
    const int column = columnAt(point.x());
    const bool plainClick = !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) &&
                            row == m_nAnchorRow && row == m_nCursorRow && column == m_nCursorColumn;
    if (plainClick && row >= 0 && column >= 0 && column < GetColumnCount() &&
        m_arrColumns[column].m_nEditorKind == GRID_BUTTON && m_pModel->PressesButtonCellsAtOnce())
        PressButtonCell(row, column);
}

void CListCtrlCombo::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_bSuppressClick = true;
    m_bDragSelecting = false;
    const QPoint point = event->position().toPoint();
    const int row = rowAt(point.y());
    OnItemActivate(row, columnAt(point.x()), point);
    m_pOwnerFrame->OnRowOpened(row);
}
