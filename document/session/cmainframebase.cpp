#include "document/session/cmainframebase.h"

#include "data/constants.h"
#include "document/strip/cacaptionbar.h"
#include "document/report/cchildview.h"
#include "platform/messagebox.h"

CMainFrameBase* g_pMainFrame = nullptr;

CACaptionBar* MainCaptionBar() { return g_pMainFrame ? g_pMainFrame->m_pCaptionBar.data() : nullptr; }

bool CMainFrameBase::IsReportPrinting() const { return m_pReportView && m_pReportView->m_bPrinting; }

bool CMainFrameBase::CanCloseFrame() const
{
    if (!IsReportPrinting())
        return true;
    platform::MessageBox(nullptr, STR_CLOSE_PRINT_PREVIEW_FIRST, STR_INVALID_OPERATION_CAPTION,
                         platform::MB_OK | platform::MB_ICONINFORMATION);
    return false;
}
