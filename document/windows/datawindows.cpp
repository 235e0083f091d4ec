#include "document/windows/datawindows.h"

#include "data/constants.h"
#include "document/session/cmainframebase.h"
#include "document/windows/ctabulondoc.h"
#include "document/windows/ctabulonview.h"
#include "document/session/currentdatabase.h"
#include "platform/messagetarget.h"
#include "platform/recentfiles.h"
#include "platform/utf16.h"

#include <QDir>
#include <QFileInfo>

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

CTabulonDoc* FindDocumentByTitle(const std::wstring& title)
{
    for (CDocument* document : DataWindowTemplate().GetDocuments())
        if (document->GetTitle() == title)
            return static_cast<CTabulonDoc*>(document);
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

bool ActivateDataWindow(const std::wstring& title)
{
    CTabulonView* view = FindDataView(FindDocumentByTitle(title));
    CChildFrame* frame = view ? view->GetParentFrame() : nullptr;
    if (!frame)
        return false;
    frame->ActivateFrame();
    return true;
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
