#include "shell/ctabulonapp.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/cappdatafile.h"
#include "data/constants.h"
#include "data/csplitpath.h"
#include "data/currentdb.h"
#include "data/databasecopy.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "document/windows/ctabulondoc.h"
#include "document/windows/ctabulonview.h"
#include "document/session/currentdatabase.h"
#include "document/windows/doctemplate.h"
#include "platform/filebeside.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/uiwait.h"
#include "platform/utf16.h"
#include "platform/waitcursor.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/presenters.h"
#include "platform/widgets/printdialog.h"
#include "shell/backup.h"
#include "shell/caboutdlg.h"
#include "shell/cbackupfiledlg.h"
#include "shell/cmainframe.h"
#include "shell/cworkspacebar.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>

#include <chrono>
#include <future>

CTabulonApp* g_pTabulonApp = nullptr;

namespace {

// The template's filter, then every file.
constexpr wchar_t DATABASE_FILTER[] = L"SQLite Files (*.db *.db3 *.sqlite *.sqlite3);;All Files (*)";

// Copies the database into a new file at target (CopyDatabaseFile) on a thread of its
// own, while the window goes on painting. An existing target is never written over.
// The errno value of a failure, 0 when the copy was made.
int CopyDatabaseAside(const std::wstring& source, const std::wstring& target)
{
    auto copy = std::async(std::launch::async, [&] { return CopyDatabaseFile(source, target, nullptr, {}); });
    platform::WaitResponsively([&](bool brief) {
        if (brief)
            return copy.wait_for(std::chrono::milliseconds(10)) == std::future_status::ready;
        copy.wait();
        return true;
    });
    return copy.get().error;
}

} // namespace

CTabulonApp::CTabulonApp()
{
    g_pTabulonApp = this;
    // A file whose backup is due is copied, in the backup's progress dialog, before it opens.
    SetBackupCheck([](const std::wstring& path) {
        if (IsBackupDue(path)) {
            CBackupFileDlg dialog(path);
            dialog.DoModal();
        }
    });
}

CTabulonApp::~CTabulonApp()
{
    m_pMainWnd.reset();
    g_pTabulonApp = nullptr;
}

bool CTabulonApp::InitInstance(const QStringList& arguments)
{
    QCoreApplication::setOrganizationName(platform::ToQString(STR_REGISTRY_KEY));
    QCoreApplication::setApplicationName(platform::ToQString(STR_PRODUCT_NAME));

    // The frame's constructor ends the process when the application data file is missing.
    m_pMainWnd = std::make_unique<CMainFrame>();
    if (!m_pMainWnd->m_pAppDataFile || !m_pMainWnd->Create()) {
        m_pMainWnd.reset();
        return false;
    }
    platform::SetMainWindow(m_pMainWnd.get());

    // The window shows first, so that the boxes of an open have it as their owner. It
    // takes the whole screen also where no window manager maximises it.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_pMainWnd->setGeometry(screen->availableGeometry());
    m_pMainWnd->showMaximized();
    m_pMainWnd->ShowWorkspaceWidth();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i].startsWith(QLatin1Char('-')))
            continue;
        OpenDocumentFile(platform::FromQString(arguments[i]));
        break;
    }
    m_pMainWnd->UpdateCommandUI();
    return true;
}

int CTabulonApp::Run()
{
    // The main window may have been closed before the main loop runs: a box of the
    // start-up (the question about a missing file) runs a loop of its own, and the quit
    // that follows the close of the last window is dropped while the main loop is not
    // running yet, so the main loop would wait for ever.
    if (!m_pMainWnd || !m_pMainWnd->isVisible())
        return 0;
    return QApplication::exec();
}

int CTabulonApp::ExitInstance()
{
    // The documents go first: their record sets let go of the connection and the last
    // one stops and joins the loader; then the connection closes.
    CloseAllDocuments();
    DestroyDatabaseGlobals();
    m_pMainWnd.reset();
    return 0;
}

void CTabulonApp::CloseAllDocuments() { DataWindowTemplate().CloseAllDocuments(); }

void CTabulonApp::OnAbout()
{
    CAboutDlg dialog(m_pMainWnd.get());
    dialog.DoModal();
}

bool CTabulonApp::OnUpdateFileOpen() const { return g_pMainFrame && !g_pMainFrame->m_bDatasheetLoading; }

bool CTabulonApp::OnUpdateOpenDbPath() const { return !g_strOpenDbPath.empty(); }

bool CTabulonApp::OnUpdateRelationships() const { return m_bDatabaseOpen; }

void CTabulonApp::OnFileOpen()
{
    if (!m_pMainWnd || !OnUpdateFileOpen() || m_pMainWnd->IsReportPrinting())
        return;
    platform::FileRequest request;
    request.owner = m_pMainWnd.get();
    m_pMainWnd->m_pAppDataFile->GetTextValue(NODE_USER_DB_LOCATION, request.initialPath);
    request.filter = DATABASE_FILTER;
    request.mustExist = true;
    const std::wstring path = platform::GetFileName(request);
    if (path.empty())
        return;
    const CSplitPath split(path.c_str());
    m_pMainWnd->m_pAppDataFile->UpdateTextValue(NODE_USER_DB_LOCATION, split.GetDrive() + split.GetDir());
    OpenDocumentFile(path);
    if (m_pMainWnd->m_wndWorkspace)
        m_pMainWnd->m_wndWorkspace->ShowTreeTab();
}

void CTabulonApp::OnSaveAs()
{
    if (!m_pMainWnd || g_strOpenDbPath.empty() || m_pMainWnd->IsReportPrinting())
        return;
    const std::wstring source = g_strOpenDbPath;
    platform::FileRequest request;
    request.owner = m_pMainWnd.get();
    request.save = true;
    request.initialPath = source;
    request.filter = DATABASE_FILTER;
    // Save As makes a new file and never writes over one, the open file's own included:
    // the dialog asks nothing about a name that exists, and such a name is refused here
    // and the dialog asked again.
    request.confirmOverwrite = false;
    std::wstring target;
    for (;;) {
        target = platform::GetFileName(request);
        if (target.empty())
            return;
        if (!platform::PathExists(target))
            break;
        std::wstring text;
        platform::MessageBox(m_pMainWnd.get(), FormatString(text, STR_SAVE_AS_FILE_EXISTS, target), STR_SAVE_AS_CAPTION,
                             platform::MB_OK | platform::MB_ICONWARNING);
        request.initialPath = target;
    }

    if (!EndOpenTransaction())
        return;
    platform::WaitCursor wait;
    CloseAllDocuments();
    platform::SendMessage(m_pMainWnd.get(), UM_CLEAR_WORKSPACE, 0, 0);
    const int error = CopyDatabaseAside(source, target);
    if (error == 0) {
        OpenDocumentFile(target);
        return;
    }
    std::wstring text;
    FormatString(text, STR_SAVE_AS_FAILED, target, platform::ErrorText(error));
    platform::MessageBox(m_pMainWnd.get(), text, STR_ERROR_CAPTION, platform::MB_OK | platform::MB_ICONERROR);
    OpenExistingDocumentFile(source);
}

void CTabulonApp::OnImportExport()
{
    if (m_pMainWnd && m_pMainWnd->IsReportPrinting())
        return;
    if (platform::MessageBox(m_pMainWnd.get(), STR_CLOSE_FOR_IMPORT_EXPORT, STR_CLOSE_FOR_IMPORT_EXPORT_CAPTION,
                             platform::MB_YESNO) != platform::IDYES)
        return;
    if (!EndOpenTransaction())
        return;
    CloseAllDocuments();
    if (g_pCurrentDb) {
        try {
            g_pCurrentDb->CloseDb();
        } catch (const CADbSqlException& e) {
            ShowFailureBox(e, LOC_LAUNCH_COMPANION);
        }
    }
    // The companion runs on its own; the program does not wait for it.
    const QString program = platform::ToQString(g_strAppFolder + STR_COMPANION_PROGRAM);
    if (!QFileInfo(program).isExecutable() || !QProcess::startDetached(program, {}))
        ShowFailureBox(STR_COMPANION_FAILED, LOC_LAUNCH_COMPANION);
}

void CTabulonApp::OnDatabaseConfiguration()
{
    if (!OnUpdateOpenDbPath())
        return;
    m_openRequest.m_strText = STR_DATABASE_SETTINGS_TITLE;
    m_openRequest.m_nMode = OpenDatabaseSettings;
    OnFileNew();
}

void CTabulonApp::OnRelationships()
{
    if (!OnUpdateRelationships())
        return;
    // One diagram: an open one comes to the front, and no request is left behind for
    // the next File New to find.
    if (ActivateOpenDocument(OpenRelationships, std::wstring()))
        return;
    m_openRequest.m_strText = STR_TABLE_RELATION_TITLE;
    m_openRequest.m_nMode = OpenRelationships;
    OnFileNew();
}

void CTabulonApp::OnPrintReport()
{
    if (!OnUpdatePrintReport())
        return;
    if (auto* view = qobject_cast<CTabulonView*>(DataWindowTemplate().GetActiveView()))
        view->OnPrintReportCommand();
}

void CTabulonApp::OnFilePrint()
{
    if (!OnUpdatePrintReport())
        return;
    if (auto* view = qobject_cast<CTabulonView*>(DataWindowTemplate().GetActiveView()))
        view->OnFilePrintCommand();
}

void CTabulonApp::OnFilePrintSetup() { platform::RunPageSetupDialog(m_pMainWnd.get()); }

bool CTabulonApp::OnUpdatePrintReport() const
{
    const auto* view = qobject_cast<const CTabulonView*>(DataWindowTemplate().GetActiveView());
    return view && view->OnUpdatePrintReportCommand();
}
