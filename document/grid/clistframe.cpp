#include "document/grid/clistframe.h"

#include "data/constants.h"
#include "data/formatstring.h"
#include "data/settings.h"
#include "document/strip/cacaptionbar.h"
#include "document/strip/ccaptiondlg.h"
#include "document/datasheet/cdataaccess.h"
#include "document/datasheet/cdatainterface.h"
#include "document/grid/clistctrlcombo.h"
#include "document/session/cmainframebase.h"
#include "document/dialogs/creferencedlg.h"
#include "document/grid/gridgeometry.h"
#include "platform/captionline.h"
#include "platform/messagebox.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/fontface.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QResizeEvent>

#include <algorithm>
#include <cwchar>

namespace {

constexpr wchar_t TXT_ROW_OUT_OF_RANGE[] = L"Row #%d is out of range";
constexpr wchar_t TXT_ENTER_ROW_NUMBER[] = L"Please enter row number for a View or Query datasheet";
constexpr wchar_t TXT_ENTER_ROW_NUMBER_CAPTION[] = L"Invalid operation";
constexpr wchar_t TXT_READ_ONLY_WARNING[] = L"Modification on SQL Query or View is not allowed.";
constexpr wchar_t TXT_HEADER_FONT[] = L"Tahoma";
constexpr int HEADER_FONT_HEIGHT = 18;

int MulDiv(int number, int numerator, int denominator)
{
    return static_cast<int>((static_cast<long long>(number) * numerator + denominator / 2) / denominator);
}

CCaptionDlg* Strip()
{
    return MainCaptionBar() ? MainCaptionBar()->GetCaptionDlg() : nullptr;
}

} // namespace

CListFrame::CListFrame()
    : QFrame(nullptr)
{
}

CListFrame::~CListFrame()
{
    // A text still typed in an open cell is stored before the window goes.
    if (m_pGrid)
        m_pGrid->CloseCell();
    // The bridge may outlive the frame: a load message reaching it later finds no grid.
    if (m_pDataInterface && m_pDataInterface->m_pListFrame == static_cast<DatasheetGrid*>(this))
        m_pDataInterface->m_pListFrame = nullptr;
    // The grid reads the frame while it goes (the open-datasheet count), so it goes first.
    delete m_pGrid;
    m_pGrid = nullptr;
}

void CListFrame::DetachDataInterface(CDataInterface* bridge)
{
    if (m_pDataInterface == bridge)
        m_pDataInterface = nullptr;
}

CDataAccess* CListFrame::GetDataAccess() const
{
    return m_pDataInterface ? m_pDataInterface->m_pDataAccess : nullptr;
}

bool CListFrame::Create(QWidget* parent, const QRect& rect)
{
    setParent(parent);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    m_pOwnerWnd = dynamic_cast<platform::MessageTarget*>(parent);
    if (rect.isValid())
        setGeometry(rect);
    CreateGrid();
    m_pGrid->setGeometry(contentsRect());
    m_pGrid->setFont(m_fontCell);
    show();
    return true;
}

void CListFrame::InitAppearance()
{
    m_clrText = palette().color(QPalette::Active, QPalette::ButtonText);
    m_clrBorder = palette().color(QPalette::Active, QPalette::Mid);
    m_clrHeaderFirst = QColor(160, 160, 158);
    m_clrHeaderSecond = QColor(192, 200, 200);
    m_brSortMark = QBrush(QColor(20, 120, 240));
    m_nHeaderFill = 2;
    m_nTextMargin = 2;
    m_nRowColouring = 2;
    m_bCellBorder = 1;
    MakeCellFont();
    if (m_bDialogGrid) {
        m_fontHeader = font();
        return;
    }
    m_fontHeader = platform::FontOfFace(QString::fromWCharArray(TXT_HEADER_FONT));
    m_fontHeader.setWeight(QFont::Black);
    platform::SetCellHeight(m_fontHeader, HEADER_FONT_HEIGHT, this);
}

void CListFrame::MakeCellFont()
{
    if (m_bDialogGrid) {
        m_fontCell = font(); // the dialog's, inherited by the frame
        return;
    }
    const long size = std::wcstol(g_strFontSize.c_str(), nullptr, 10);
    const int dpi = logicalDpiY();
    // A face that is not installed gives the desktop's general font at the set size; the
    // setting keeps its text.
    m_fontCell = platform::FontOfFace(QString::fromStdWString(g_strFontFace));
    m_fontCell.setWeight(QFont::Normal);
    // The size is the cell height in points, not an em size; a size that reads as no
    // number keeps the font's default height.
    if (size > 0)
        platform::SetCellHeight(m_fontCell, MulDiv(static_cast<int>(std::min(size, 1000L)), dpi, 72), this);
}

int CListFrame::MeasureRowHeight() const
{
    const QFontMetrics metrics(m_fontCell, this);
    return metrics.height() + metrics.leading() + 1;
}

void CListFrame::CreateGrid()
{
    InitAppearance();
    m_pGrid = new CListCtrlCombo(this);
    m_pGrid->setFont(m_fontCell);
    // The row height is fixed from the cell font; no row is ever sized to its contents.
    m_pGrid->SetRowHeight(MeasureRowHeight());
    m_bGridCreated = 1;
}

void CListFrame::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    if (m_pGrid)
        m_pGrid->setGeometry(0, 2, event->size().width(), event->size().height() - 4);
}

void CListFrame::AddColumn(const std::wstring& title, int editorKind, int width, int align, int valueType)
{
    m_pGrid->AddColumn(title, editorKind, m_bDialogGrid ? DialogUnitsToPixels(font(), width) : width, align,
                       valueType);
}

void CListFrame::AddColumns(std::span<const GridColumnSpec> columns)
{
    for (const GridColumnSpec& column : columns)
        AddColumn(column.m_szTitle, column.m_nEditorKind, column.m_nWidth, column.m_nAlign, column.m_nValueType);
}

void CListFrame::InitGrid()
{
    m_pGrid->CreateColumns();
    if (m_nMode != MODE_DATASHEET)
        return;
    if (CCaptionDlg* strip = Strip())
        for (int index : {CCaptionDlg::SearchText, CCaptionDlg::Search, CCaptionDlg::SearchType, CCaptionDlg::AddRow})
            strip->EnableButton(true, index);
    m_pGrid->CountAsOpenDatasheet();
}

void CListFrame::SetItemCountEx(int count)
{
    m_pGrid->SetItemCountEx(count);
}

std::wstring CListFrame::GetItemText(int row, int column) const
{
    return m_pGrid->GetItemText(row, column);
}

void CListFrame::DeleteRow(int row)
{
    if (m_nMode != MODE_LIST || row < 0 || row >= m_pGrid->GetItemCount())
        return;
    m_pGrid->DeleteItem(row);
    platform::SendMessage(m_pOwnerWnd, UM_LIST_ROW_DELETED, 0, row);
}

void CListFrame::UpdateCaptionBar()
{
    CCaptionDlg* strip = Strip();
    if (!strip)
        return;
    if (m_nMode == MODE_LIST) {
        strip->DisableAllButtons();
        return;
    }
    m_pGrid->m_bSelectionRestart = 1;
    const bool hasSelection = m_pGrid->GetNextSelectedItem() >= 0;
    m_pGrid->m_bSelectionRestart = 1;
    MainCaptionBar()->SetTable(m_strTitle, hasSelection, m_bReadOnly != 0);
    MainCaptionBar()->SetTargetFrame(this);
}

void CListFrame::OnRowClicked(int row)
{
    if (m_nMode == MODE_LIST) {
        platform::SendMessage(m_pOwnerWnd, UM_LIST_ROW_CLICK, 0, row);
        return;
    }
    ShowRowPosition(row);
}

bool CListFrame::OnRowOpened(int row)
{
    return m_nMode == MODE_LIST && row >= 0 && platform::SendMessage(m_pOwnerWnd, UM_LIST_ROW_OPEN, 0, row) != 0;
}

void CListFrame::ShowRowPosition(int row)
{
    if (m_nMode == MODE_DATASHEET && MainCaptionBar())
        MainCaptionBar()->SetRowPosition(row, m_pGrid->GetRecordCount(), m_bReadOnly != 0);
}

void CListFrame::OnCellSelected(int row, int column)
{
    if (m_bReadOnly) {
        platform::ShowCaptionLine(m_strReadOnlyReason.empty() ? std::wstring(TXT_READ_ONLY_WARNING) : m_strReadOnlyReason,
                                  platform::CAPTION_LINE_WARNING);
        return;
    }
    if (m_nMode == MODE_LIST) {
        platform::SendMessage(m_pOwnerWnd, UM_LIST_ROW_ACTIVATE, column, row);
        return;
    }
    // Editing a cell clears the row selection, so the row commands have nothing to act on.
    if (CCaptionDlg* strip = Strip())
        for (int index : {CCaptionDlg::DeleteRows, CCaptionDlg::ReferenceUp, CCaptionDlg::ReferenceDown})
            strip->EnableButton(false, index);
}

bool CListFrame::SelectHit(int row)
{
    if (row < 0 || row >= m_pGrid->GetRecordCount())
        return false;
    m_pGrid->SelectRow(row);
    return true;
}

void CListFrame::GoToRow(const std::wstring& text)
{
    int number = 0;
    if (!grid::ParseRowNumber(text, number)) {
        platform::MessageBox(this, TXT_ENTER_ROW_NUMBER, TXT_ENTER_ROW_NUMBER_CAPTION,
                             platform::MB_OK | platform::MB_ICONINFORMATION);
        return;
    }
    if (number >= 1 && number <= m_pGrid->GetRecordCount()) {
        m_pGrid->SelectRow(number - 1);
        return;
    }
    std::wstring message;
    platform::MessageBox(this, FormatString(message, TXT_ROW_OUT_OF_RANGE, number), STR_INVALID_OPERATION_CAPTION,
                         platform::MB_OK | platform::MB_ICONINFORMATION);
}

bool CListFrame::OnGridSearch(int searchType, const std::wstring& text)
{
    m_pGrid->CloseCell();
    if (m_bReadOnly || searchType == SEARCH_GO_TO_ROW) {
        GoToRow(text);
        return false;
    }
    CDataAccess* data = GetDataAccess();
    if (!data || !m_pDataInterface->Search(m_pGrid->m_nSortColumn, text, searchType))
        return false;
    // A hit outside the loaded rows selects nothing, but the search found something.
    SelectHit(data->FindNext());
    return true;
}

bool CListFrame::OnGridFindNext()
{
    m_pGrid->CloseCell();
    CDataAccess* data = GetDataAccess();
    return data && SelectHit(data->FindNext());
}

bool CListFrame::OnGridFindPrev()
{
    m_pGrid->CloseCell();
    CDataAccess* data = GetDataAccess();
    return data && SelectHit(data->FindPrev());
}

void CListFrame::OnGridAddRow()
{
    m_pGrid->AppendRow();
}

void CListFrame::OnGridDeleteRows()
{
    m_pGrid->DeleteSelectedRows();
}

void CListFrame::OnGridUndoRow()
{
    m_pGrid->UndoRowEdit();
}

void CListFrame::OnGridReferenceDown()
{
    ShowReferences(CReferenceDlg::DIRECTION_CHILDREN);
}

void CListFrame::OnGridReferenceUp()
{
    ShowReferences(CReferenceDlg::DIRECTION_PARENT);
}

void CListFrame::ShowReferences(int direction)
{
    m_pGrid->m_bSelectionRestart = 1;
    const int row = m_pGrid->GetNextSelectedItem();
    m_pGrid->m_bSelectionRestart = 1;
    if (row < 0 || !GetDataAccess())
        return;
    CReferenceDlg dialog(row, GetDataAccess(), this, direction);
    dialog.DoModal();
}

LRESULT CListFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_CELL_BUTTON)
        return platform::SendMessage(m_pOwnerWnd, UM_CELL_BUTTON, wParam, lParam);
    return CaptionTarget::OnMessage(message, wParam, lParam);
}
