#include "document/datasheet/cdatainterface.h"

#include "data/rowloader.h"
#include "document/session/cmainframebase.h"
#include "document/strip/cacaptionbar.h"
#include "document/strip/ccaptiondlg.h"
#include "document/datasheet/cdataaccess.h"
#include "document/datasheet/datasheetlines.h"

CDataInterface::~CDataInterface()
{
    if (m_pDataAccess && !m_bLoadEnded)
        EndLoading();
    // The lines and the model may outlive the bridge: neither keeps a way to it.
    if (m_pLines)
        m_pLines->DetachDataInterface(this);
    if (m_pDataAccess && m_pDataAccess->m_pDataInterface == this)
        m_pDataAccess->m_pDataInterface = nullptr;
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
        // File > Open waits while another datasheet's load is asked for or runs; that
        // load's own end lifts it.
        if (g_bLoaderBusy != 0)
            m_bLoadEnded = true;
        else
            EndLoading();
    }
    return 0;
}

void CDataInterface::DetachDataAccess(CDataAccess* model)
{
    if (m_pDataAccess != model)
        return;
    // A model that goes while its rows load sends no more of them.
    if (!m_bLoadEnded)
        EndLoading();
    m_pDataAccess = nullptr;
}

void CDataInterface::EndLoading()
{
    m_bLoadEnded = true;
    if (g_pMainFrame)
        g_pMainFrame->m_bDatasheetLoading = false;
}

LRESULT CDataInterface::OnRowEditState(WPARAM wParam, LPARAM)
{
    if (MainCaptionBar())
        MainCaptionBar()->GetCaptionDlg()->EnableButton(wParam != 0, CCaptionDlg::UndoRow);
    return 0;
}

void CDataInterface::UpdateItemCount()
{
    if (m_pLines && m_pDataAccess && m_pDataAccess->m_pRecSet)
        m_pLines->UpdateLineCount(m_pDataAccess->GetItemCount());
}
