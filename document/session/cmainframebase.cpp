#include "document/session/cmainframebase.h"

#include "data/constants.h"
#include "document/strip/cacaptionbar.h"
#include "document/session/reportprinting.h"
#include "platform/messagebox.h"

CMainFrameBase* g_pMainFrame = nullptr;

CACaptionBar* MainCaptionBar() { return g_pMainFrame ? g_pMainFrame->m_pCaptionBar.data() : nullptr; }

bool CMainFrameBase::IsReportPrinting() const
{
    const auto* report = dynamic_cast<const ReportPrinting*>(m_pReportView.data());
    return report && report->IsPrinting();
}

bool CMainFrameBase::CanCloseFrame() const
{
    if (!IsReportPrinting())
        return true;
    platform::MessageBox(nullptr, STR_CLOSE_PRINT_PREVIEW_FIRST, STR_INVALID_OPERATION_CAPTION,
                         platform::MB_OK | platform::MB_ICONINFORMATION);
    return false;
}
