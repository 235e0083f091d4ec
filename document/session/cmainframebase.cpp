#include "document/session/cmainframebase.h"

#include "data/cappdatafile.h"
#include "data/constants.h"
#include "document/session/reportprinting.h"
#include "platform/messagebox.h"

#include <QObject>

CMainFrameBase* g_pMainFrame = nullptr;

CAppDataFile* MainAppDataFile() { return g_pMainFrame ? g_pMainFrame->m_pAppDataFile : nullptr; }

std::vector<std::wstring> ReadValueList(const std::wstring& node)
{
    std::vector<std::wstring> values;
    if (CAppDataFile* store = MainAppDataFile())
        for (std::wstring value; store->NextValue(node, value);)
            values.push_back(value);
    return values;
}

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
