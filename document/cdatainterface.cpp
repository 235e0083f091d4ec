#include "document/cdatainterface.h"

#include "data/rowloader.h"
#include "document/cmainframebase.h"
#include "document/cacaptionbar.h"
#include "document/ccaptiondlg.h"
#include "document/cdataaccess.h"
#include "document/datasheetgrid.h"

CDataInterface::~CDataInterface()
{
    if (m_pDataAccess && !m_bLoadEnded && g_pMainFrame)
        g_pMainFrame->m_bDatasheetLoading = false;
}

LRESULT CDataInterface::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_LOAD_TABLE_DATA:
        return LoadTableData(wParam, lParam);
    case UM_ROW_EDIT_STATE:
        return OnRowEditState(wParam, lParam);
    default:
        return 0;
    }
}

bool CDataInterface::Sort(const std::wstring& column, int direction)
{
    return m_pDataAccess && m_pDataAccess->Sort(column, direction);
}

bool CDataInterface::Search(int column, const std::wstring& text, int mode)
{
    return m_pDataAccess && m_pDataAccess->Search(text, mode, column);
}

LRESULT CDataInterface::LoadTableData(WPARAM, LPARAM)
{
    if (!m_pDataAccess || !m_pDataAccess->m_pRecSet)
        return 0;
    UpdateItemCount();
    if (m_pDataAccess->IsLoadEnded()) {
        m_bLoadEnded = true;
        // File > Open waits while another datasheet's load is asked for or runs; that
        // load's own end lifts it.
        if (g_pMainFrame && g_bLoaderBusy == 0)
            g_pMainFrame->m_bDatasheetLoading = false;
    }
    return 0;
}

LRESULT CDataInterface::OnRowEditState(WPARAM wParam, LPARAM)
{
    if (MainCaptionBar())
        MainCaptionBar()->GetCaptionDlg()->EnableButton(wParam != 0, CCaptionDlg::UndoRow);
    return 0;
}

void CDataInterface::UpdateItemCount()
{
    if (m_pListFrame && m_pDataAccess && m_pDataAccess->m_pRecSet)
        m_pListFrame->SetItemCountEx(m_pDataAccess->GetItemCount());
}
