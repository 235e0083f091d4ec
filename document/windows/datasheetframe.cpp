#include "document/windows/datasheetframe.h"

#include "data/constants.h"
#include "data/formatstring.h"
#include "document/datasheet/cdataaccess.h"
#include "document/datasheet/cdatainterface.h"
#include "document/datasheet/datasheetrows.h"
#include "document/dialogs/creferencedlg.h"
#include "document/grid/clistctrlcombo.h"
#include "document/grid/clistframe.h"
#include "document/grid/gridgeometry.h"
#include "document/session/cmainframebase.h"
#include "document/strip/cacaptionbar.h"
#include "document/strip/ccaptiondlg.h"
#include "platform/messagebox.h"

int g_nOpenDatasheets = 0;

namespace {

constexpr wchar_t TXT_ROW_OUT_OF_RANGE[] = L"Row #%d is out of range";
constexpr wchar_t TXT_ENTER_ROW_NUMBER[] = L"Please enter row number for a View or Query datasheet";
constexpr wchar_t TXT_ENTER_ROW_NUMBER_CAPTION[] = L"Invalid operation";

CCaptionDlg* Strip()
{
    return MainCaptionBar() ? MainCaptionBar()->GetCaptionDlg() : nullptr;
}

} // namespace

DatasheetFrame::DatasheetFrame(CListFrame& frame, DatasheetRows& rows, CDataInterface& bridge)
    : m_frame(frame)
    , m_bridge(bridge)
{
    frame.m_nMode = CListFrame::MODE_DATASHEET;
    frame.m_pRows = &rows;
    connect(&frame, &CListFrame::RowShown, this, &DatasheetFrame::ShowRowPosition);
    connect(&frame, &CListFrame::CellSelected, this, &DatasheetFrame::OnCellSelected);
}

DatasheetFrame::~DatasheetFrame()
{
    // A text still typed in an open cell is stored before the strip lets go of the window.
    if (CListCtrlCombo* grid = m_frame.GetGrid())
        grid->CloseCell();
    if (m_bCountedOpen && --g_nOpenDatasheets == 0 && MainCaptionBar())
        MainCaptionBar()->Clear();
}

CDataAccess* DatasheetFrame::GetDataAccess() const
{
    return m_bridge.m_pDataAccess;
}

void DatasheetFrame::InitGrid()
{
    m_frame.InitGrid();
    if (CCaptionDlg* strip = Strip())
        for (int index : {CCaptionDlg::SearchText, CCaptionDlg::Search, CCaptionDlg::SearchType, CCaptionDlg::AddRow})
            strip->EnableButton(true, index);
    if (!m_bCountedOpen && m_frame.GetGrid()->GetColumnCount() > 0) {
        m_bCountedOpen = true;
        ++g_nOpenDatasheets;
    }
}

void DatasheetFrame::UpdateCaptionBar()
{
    if (!MainCaptionBar())
        return;
    CListCtrlCombo* grid = m_frame.GetGrid();
    grid->m_bSelectionRestart = 1;
    const bool hasSelection = grid->GetNextSelectedItem() >= 0;
    grid->m_bSelectionRestart = 1;
    MainCaptionBar()->SetTable(m_frame.m_strTitle, hasSelection, m_frame.m_bReadOnly != 0);
    MainCaptionBar()->SetTargetFrame(this);
}

void DatasheetFrame::ShowRowPosition(int row)
{
    if (MainCaptionBar())
        MainCaptionBar()->SetRowPosition(row, m_frame.GetGrid()->GetRecordCount(), m_frame.m_bReadOnly != 0);
}

void DatasheetFrame::OnCellSelected()
{
    if (CCaptionDlg* strip = Strip())
        for (int index : {CCaptionDlg::DeleteRows, CCaptionDlg::ReferenceUp, CCaptionDlg::ReferenceDown})
            strip->EnableButton(false, index);
}

bool DatasheetFrame::SelectHit(int row)
{
    CListCtrlCombo* grid = m_frame.GetGrid();
    if (row < 0 || row >= grid->GetRecordCount())
        return false;
    grid->SelectRow(row);
    return true;
}

void DatasheetFrame::GoToRow(const std::wstring& text)
{
    CListCtrlCombo* grid = m_frame.GetGrid();
    int number = 0;
    if (!grid::ParseRowNumber(text, number)) {
        platform::MessageBox(&m_frame, TXT_ENTER_ROW_NUMBER, TXT_ENTER_ROW_NUMBER_CAPTION,
                             platform::MB_OK | platform::MB_ICONINFORMATION);
        return;
    }
    if (number >= 1 && number <= grid->GetRecordCount()) {
        grid->SelectRow(number - 1);
        return;
    }
    std::wstring message;
    platform::MessageBox(&m_frame, FormatString(message, TXT_ROW_OUT_OF_RANGE, number), STR_INVALID_OPERATION_CAPTION,
                         platform::MB_OK | platform::MB_ICONINFORMATION);
}

bool DatasheetFrame::OnGridSearch(int searchType, const std::wstring& text)
{
    CListCtrlCombo* grid = m_frame.GetGrid();
    grid->CloseCell();
    if (m_frame.m_bReadOnly || searchType == SEARCH_GO_TO_ROW) {
        GoToRow(text);
        return false;
    }
    CDataAccess* data = GetDataAccess();
    if (!data || !m_bridge.Search(grid->m_nSortColumn, text, searchType))
        return false;
    // A hit outside the loaded rows selects nothing, but the search found something.
    SelectHit(data->FindNext());
    return true;
}

bool DatasheetFrame::OnGridFindNext()
{
    m_frame.GetGrid()->CloseCell();
    CDataAccess* data = GetDataAccess();
    return data && SelectHit(data->FindNext());
}

bool DatasheetFrame::OnGridFindPrev()
{
    m_frame.GetGrid()->CloseCell();
    CDataAccess* data = GetDataAccess();
    return data && SelectHit(data->FindPrev());
}

void DatasheetFrame::OnGridAddRow()
{
    m_frame.GetGrid()->AppendRow();
}

void DatasheetFrame::OnGridDeleteRows()
{
    m_frame.GetGrid()->DeleteSelectedRows();
}

void DatasheetFrame::OnGridUndoRow()
{
    m_frame.GetGrid()->UndoRowEdit();
}

void DatasheetFrame::OnGridReferenceDown()
{
    ShowReferences(CReferenceDlg::DIRECTION_CHILDREN);
}

void DatasheetFrame::OnGridReferenceUp()
{
    ShowReferences(CReferenceDlg::DIRECTION_PARENT);
}

void DatasheetFrame::ShowReferences(int direction)
{
    CListCtrlCombo* grid = m_frame.GetGrid();
    grid->m_bSelectionRestart = 1;
    const int row = grid->GetNextSelectedItem();
    grid->m_bSelectionRestart = 1;
    if (row < 0 || !GetDataAccess())
        return;
    CReferenceDlg dialog(row, GetDataAccess(), &m_frame, direction);
    dialog.DoModal();
}
