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

CTabulonView* ActiveDataView()
{
    return qobject_cast<CTabulonView*>(DataWindowTemplate().GetActiveView());
}

bool CanOpenNewDataWindow()
{
    const CTabulonView* view = ActiveDataView();
    return view && view->CanOpenNewWindow();
}

CTabulonView* OpenNewDataWindow()
{
    if (!CanOpenNewDataWindow())
        return nullptr;
    return qobject_cast<CTabulonView*>(DataWindowTemplate().OpenNewWindow(ActiveDataView()->GetDocument()));
}

TableWindowPlace::TableWindowPlace(CTabulonDoc* document)
{
    QMdiArea* area = nullptr;
    for (CView* each : document->GetViews()) {
        auto* view = qobject_cast<CTabulonView*>(each);
        if (!view)
            continue;
        Place place;
        CChildFrame* frame = view->GetParentFrame();
        if (QMdiArea* frameArea = frame ? frame->mdiArea() : nullptr) {
            area = frameArea;
            place.m_nWindowIndex = static_cast<int>(area->subWindowList().indexOf(frame));
            if (area->activeSubWindow() == frame)
                m_nActivePlace = static_cast<int>(m_arrPlaces.size());
        }
        if (CListCtrlCombo* grid = view->m_wndGrid.GetGrid()) {
            place.m_nTopRow = grid->GetTopIndex();
            place.m_nCursorRow = grid->GetCursorRow();
            place.m_nCursorColumn = grid->GetCursorColumn();
        }
        m_arrPlaces.push_back(place);
    }
    if (area && m_nActivePlace < 0)
        m_pActiveFrame = area->activeSubWindow();
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
    CDocTemplate& docTemplate = DataWindowTemplate();
    auto* document = static_cast<CTabulonDoc*>(docTemplate.OpenNewDocument());
    std::vector<CTabulonView*> views = {FindDataView(document)};
    if (!views.front())
        return document;
    for (size_t i = 1; i < m_arrPlaces.size(); ++i)
        if (auto* view = qobject_cast<CTabulonView*>(docTemplate.OpenNewWindow(document)))
            views.push_back(view);
    QMdiArea* area = views.front()->GetParentFrame() ? views.front()->GetParentFrame()->mdiArea() : nullptr;
    // In a tabbed area each window goes back to its tab, the lowest first, so that the
    // ones put back keep their places.
    std::vector<size_t> byIndex(views.size());
    for (size_t i = 0; i < byIndex.size(); ++i)
        byIndex[i] = i;
    std::sort(byIndex.begin(), byIndex.end(),
              [this](size_t a, size_t b) { return m_arrPlaces[a].m_nWindowIndex < m_arrPlaces[b].m_nWindowIndex; });
    for (size_t i : byIndex) {
        const int index = m_arrPlaces[i].m_nWindowIndex;
        const CChildFrame::Tab tab = views[i]->GetParentFrame()->GetTab();
        if (tab.m_pTabBar && index >= 0 && index < tab.m_pTabBar->count())
            tab.m_pTabBar->moveTab(tab.m_nIndex, index);
    }
    for (size_t i = 0; i < views.size(); ++i) {
        const Place& place = m_arrPlaces[i];
        CListCtrlCombo* grid = views[i]->m_wndGrid.GetGrid();
        if (place.m_nCursorRow >= 0 && place.m_nCursorRow < grid->GetItemCount()) {
            grid->SelectRow(place.m_nCursorRow);
            grid->SetCursorCell(place.m_nCursorRow, std::max(0, place.m_nCursorColumn));
        }
        grid->verticalScrollBar()->setValue(place.m_nTopRow);
    }
    QMdiSubWindow* active = m_nActivePlace >= 0 && static_cast<size_t>(m_nActivePlace) < views.size()
                                ? views[static_cast<size_t>(m_nActivePlace)]->GetParentFrame()
                                : m_pActiveFrame.data();
    if (area && active)
        area->setActiveSubWindow(active);
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
