#include "document/windows/datawindows.h"

#include "data/constants.h"
#include "document/grid/clistctrlcombo.h"
#include "document/session/cmainframebase.h"
#include "document/session/openrequest.h"
#include "document/windows/ctabulondoc.h"
#include "document/windows/ctabulonview.h"
#include "document/session/currentdatabase.h"
#include "platform/messagetarget.h"
#include "platform/recentfiles.h"
#include "platform/utf16.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QScrollBar>
#include <QTabBar>

#include <algorithm>

namespace {

// The recent-file iterator's state, shared by every caller.
bool g_bRecentRestart = true;
int g_nRecentCount = 0;
int g_nRecentPosition = 0;

} // namespace

bool OpenDatabaseFile(const std::wstring& path)
{
    if (path.empty())
        return false;
    // A relative name (the command line, a drop) would change meaning with the folder.
    const std::wstring absolute =
        platform::FromQString(QDir::cleanPath(QFileInfo(platform::ToQString(path)).absoluteFilePath()));
    // The database open now closes: a transaction left open is committed or rolled back
    // as the user says, or the database stays as it is.
    if (!EndOpenTransaction() || !ProbeDatabaseFile(absolute))
        return false;
    CDocTemplate& docTemplate = DataWindowTemplate();
    docTemplate.CloseAllDocuments();
    platform::SendMessage(g_pMainFrame, UM_CLEAR_WORKSPACE, 0, 0);
    docTemplate.OpenDocumentFile(absolute);
    return g_strOpenDbPath == absolute && g_strCurrentDbPath == absolute;
}

CTabulonDoc* FindDataDocument(int kind, const std::wstring& object)
{
    for (CDocument* document : DataWindowTemplate().GetDocuments()) {
        auto* data = static_cast<CTabulonDoc*>(document);
        if (data->m_nKind == kind && data->m_strObject == object)
            return data;
    }
    return nullptr;
}

CTabulonView* FindDataView(CTabulonDoc* document)
{
    if (!document)
        return nullptr;
    for (CView* view : document->GetViews())
        if (auto* dataView = qobject_cast<CTabulonView*>(view))
            return dataView;
    return nullptr;
}

bool ActivateDataWindow(int kind, const std::wstring& object)
{
    CTabulonView* view = FindDataView(FindDataDocument(kind, object));
    CChildFrame* frame = view ? view->GetParentFrame() : nullptr;
    if (!frame)
        return false;
    frame->ActivateFrame();
    return true;
}

TableWindowPlace::TableWindowPlace(CTabulonDoc* document)
{
    CTabulonView* view = FindDataView(document);
    CChildFrame* frame = view ? view->GetParentFrame() : nullptr;
    if (QMdiArea* area = frame ? frame->mdiArea() : nullptr) {
        m_nWindowIndex = static_cast<int>(area->subWindowList().indexOf(frame));
        m_bWasActive = area->activeSubWindow() == frame;
        if (!m_bWasActive)
            m_pActiveFrame = area->activeSubWindow();
    }
    if (CListCtrlCombo* grid = view ? view->m_wndGrid.GetGrid() : nullptr) {
        m_nTopRow = grid->GetTopIndex();
        m_nCursorRow = grid->GetCursorRow();
        m_nCursorColumn = grid->GetCursorColumn();
    }
    document->OnCloseDocument();
}

CTabulonDoc* TableWindowPlace::Reopen(const std::wstring& table) const
{
    // The keyboard stays where it was (the tree that renamed the table).
    const QPointer<QWidget> focus = QApplication::focusWidget();
    struct RestoreFocus {
        const QPointer<QWidget>& widget;
        ~RestoreFocus()
        {
            if (widget)
                widget->setFocus();
        }
    } restoreFocus{focus};
    g_openRequest.m_strText = table;
    g_openRequest.m_nMode = OpenTableData;
    auto* document = static_cast<CTabulonDoc*>(DataWindowTemplate().OpenNewDocument());
    CTabulonView* view = FindDataView(document);
    if (!view)
        return document;
    CChildFrame* frame = view->GetParentFrame();
    QMdiArea* area = frame ? frame->mdiArea() : nullptr;
    // A tabbed area keeps its windows in the order of its tabs.
    QTabBar* tabs = area ? area->findChild<QTabBar*>() : nullptr;
    if (tabs && m_nWindowIndex >= 0 && m_nWindowIndex < tabs->count())
        tabs->moveTab(static_cast<int>(area->subWindowList().indexOf(frame)), m_nWindowIndex);
    CListCtrlCombo* grid = view->m_wndGrid.GetGrid();
    if (m_nCursorRow >= 0 && m_nCursorRow < grid->GetItemCount()) {
        grid->SelectRow(m_nCursorRow);
        grid->SetCursorCell(m_nCursorRow, std::max(0, m_nCursorColumn));
    }
    grid->verticalScrollBar()->setValue(m_nTopRow);
    if (!m_bWasActive && m_pActiveFrame)
        area->setActiveSubWindow(m_pActiveFrame);
    return document;
}

bool NextRecentFile(std::wstring& out)
{
    const platform::RecentFileList& list = platform::RecentFiles();
    if (g_bRecentRestart) {
        g_bRecentRestart = false;
        g_nRecentCount = list.Capacity();
    }
    // Every false re-arms the iterator: the next call starts from the first entry.
    const auto rearm = [] {
        g_bRecentRestart = true;
        g_nRecentCount = 0;
        g_nRecentPosition = 0;
        return false;
    };
    if (g_nRecentPosition >= g_nRecentCount)
        return rearm();
    out = list.Slot(g_nRecentPosition++);
    return out.empty() ? rearm() : true;
}
