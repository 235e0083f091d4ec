#include "shell/crecentfilewnd.h"

#include "data/formatstring.h"
#include "document/grid/clistctrlcombo.h"
#include "platform/messagebox.h"
#include "platform/recentfiles.h"
#include "platform/utf16.h"
#include "shell/ctabulonapp.h"
#include "shell/cworkspacebar.h"

#include <QFile>

namespace {
constexpr GridColumnSpec kColumns[] = {{STR_RECENT_FILE_COLUMN, GRID_TEXT_ONLY, 250}};
} // namespace

CRecentFileWnd::CRecentFileWnd(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("recentFiles%1").arg(WINDOW_ID));
    m_wndList.m_nMode = CListFrame::MODE_LIST;
    m_wndList.Create(this);
    m_wndList.setObjectName(QStringLiteral("recentFileList%1").arg(LIST_ID));
    FillList();
}

CRecentFileWnd::~CRecentFileWnd() = default;

void CRecentFileWnd::FillList()
{
    m_wndList.AddColumns(kColumns);
    m_wndList.InitGrid();
    CListCtrlCombo* grid = m_wndList.GetGrid();
    std::wstring path;
    while (g_pTabulonApp && g_pTabulonApp->NextRecentFile(path)) {
        const int row = grid->InsertItem(grid->GetItemCount(), path);
        grid->EndEdit(row);
        grid->BeginEdit(row, 0, true);
    }
    m_bFilling = 0;
}

void CRecentFileWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The list's border lies just outside the visible area.
    m_wndList.setGeometry(-2, -4, width() + 4, height() + 8);
}

LRESULT CRecentFileWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_LIST_ROW_ACTIVATE)
        OnRowActivate(static_cast<int>(wParam), static_cast<int>(lParam));
    return 0;
}

void CRecentFileWnd::OnRowActivate(int column, int row)
{
    if (m_bFilling)
        return;
    const std::wstring path = m_wndList.GetItemText(row, column);
    if (path.empty())
        return;
    QFile file(platform::ToQString(path));
    if (file.open(QIODevice::ReadOnly)) {
        file.close();
        if (g_pTabulonApp)
            g_pTabulonApp->OpenDocumentFile(path);
        for (QWidget* pane = parentWidget(); pane; pane = pane->parentWidget())
            if (auto* workspace = dynamic_cast<CWorkspaceBar*>(pane)) {
                workspace->ShowTreeTab();
                break;
            }
        return;
    }
    std::wstring text;
    platform::MessageBox(this, FormatString(text, STR_FILE_NOT_EXIST, path), STR_FILE_NOT_EXIST_CAPTION,
                         platform::MB_OK | platform::MB_ICONINFORMATION);
    // The row's own path, wherever the list has moved it since the tab was filled.
    platform::RecentFiles().Remove(path);
    m_wndList.DeleteRow(row);
    m_wndList.GetGrid()->BeginEdit(-1, -1, false);
}
