#include "shell/cmainframe.h"

#include "data/appstartup.h"
#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/cstringtokenizer.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "document/report/cchildview.h"
#include "document/session/currentdatabase.h"
#include "document/windows/ctabulondoc.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/waitcursor.h"
#include "platform/widgets/modaldialog.h"
#include "shell/backup.h"
#include "shell/cappconfigsheet.h"
#include "shell/cbackupdatafiledlg.h"
#include "shell/cquerydlg.h"
#include "shell/csplash.h"
#include "shell/ctabulonapp.h"
#include "shell/cworkspacebar.h"
#include "shell/settingsloaders.h"
#include "document/pictures/toolbaricons.h"

#include <QAbstractEventDispatcher>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStyleFactory>
#include <QTabBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <cstdlib>
#include <thread>

namespace {

constexpr std::chrono::milliseconds SPLASH_PAUSE{2000};
constexpr int WORKSPACE_WIDTH = 270; // the pane's first width, in pixels
// The splash's two lines (left, top, right, bottom in the picture's pixels).
const QRect LOADING_LINE(QPoint(35, 146), QPoint(334, 299));
const QRect FIRST_RUN_LINE(QPoint(35, 178), QPoint(334, 197));

// The Application Look items: 205 to 210, and 215 to 218 under Office 2007.
struct LookItem {
    int id;
    const char* text;
};
constexpr LookItem LOOK_ITEMS[] = {
    {205, "Windows 2000"}, {206, "Office XP"},     {207, "Windows XP"},   {208, "Office 2003"},
    {209, "Visual Studio 2005"}, {210, "Visual Studio 2008"}, {215, "Blue Style"}, {216, "Black Style"},
    {217, "Silver Style"}, {218, "Aqua Style"},
};

QString Text(const wchar_t* text) { return platform::ToQString(text); }

// Runs a command from the toolbar or a key. A failure the command did not show itself
// is shown here: nothing may unwind into the event loop.
void RunCommand(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const CADbSqlException& e) {
        platform::MessageBox(nullptr, e.GetErrorText(), STR_ERROR_CAPTION, platform::MB_OK | platform::MB_ICONERROR);
    } catch (const std::exception& e) {
        platform::MessageBox(nullptr, platform::FromQString(QString::fromLocal8Bit(e.what())), STR_ERROR_CAPTION,
                             platform::MB_OK | platform::MB_ICONERROR);
    }
}

} // namespace

StartupHooks& GetStartupHooks()
{
    // The process ends at once: nothing is open yet that would need closing.
    static StartupHooks hooks{[] { return platform::ExecutableFolder(); }, [](int exitCode) { std::_Exit(exitCode); },
                              [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); }, {}};
    return hooks;
}

int ConsoleRequestKind(const std::wstring& statement)
{
    CStringTokenizer tokens(statement, L" \t");
    tokens.Tokenize();
    return tokens.FindToken(L"PRAGMA") >= 0 ? OpenPragmaQuery : OpenSqlQuery;
}

CMainFrame::CMainFrame()
    : QMainWindow(nullptr)
    , m_objectCommands(*this)
{
    setWindowTitle(Text(STR_PRODUCT_NAME));
    StartupHooks& hooks = GetStartupHooks();
    const std::wstring folder = hooks.programFolder();
    if (folder.empty())
        platform::MessageBox(this, STR_APP_PATH_FAILED, STR_PRODUCT_NAME, platform::MB_OK);

    g_pMainFrame = this;

    // Without the application data file the program cannot run; the store has said so.
    m_appDataFile = AttachAppDataFile(folder);
    if (!m_appDataFile) {
        hooks.exitProcess(1);
        return;
    }
    m_pAppDataFile = m_appDataFile.get();

    platform::WaitCursor wait;
    const QPixmap bitmap = LoadSplashBitmap();
    if (bitmap.isNull())
        platform::MessageBox(this, STR_SPLASH_FAILED, STR_PRODUCT_NAME, platform::MB_OK);
    CSplash splash(bitmap);
    splash.Show();
    const auto showLine = [&](const wchar_t* text, const QRect& rect) {
        splash.ShowText(text, rect);
        if (hooks.splashLine)
            hooks.splashLine(text);
    };
    showLine(STR_LOADING_SETTINGS, LOADING_LINE);

    LoadDatasheetSettings();
    LoadBackupSettings();
    LoadLastBackupTime();

    if (!m_pAppDataFile->NodeExists(NODE_DB_DATA_TYPES))
        showLine(STR_FIRST_RUN, FIRST_RUN_LINE);
    else
        hooks.pause(SPLASH_PAUSE);
    InitKeywordLists();
    splash.Hide();
}

CMainFrame::~CMainFrame()
{
    QObject::disconnect(m_idleUpdate);
    if (g_pMainFrame == this)
        g_pMainFrame = nullptr;
}

bool CMainFrame::Create()
{
    setWindowFlags(Qt::Window);
    setAcceptDrops(true);
    OnApplicationLook(g_pTabulonApp ? g_pTabulonApp->m_nApplicationLook : APPLICATION_LOOK_AQUA);

    // Tabbed data windows under the caption strip.
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_wndCaptionBar.setParent(client);
    m_pCaptionBar = &m_wndCaptionBar;
    CreateCaptionBar();
    layout->addWidget(&m_wndCaptionBar);
    auto* area = new QMdiArea(client);
    area->setViewMode(QMdiArea::TabbedView);
    area->setTabPosition(QTabWidget::North);
    area->setTabShape(QTabWidget::Rounded);
    area->setTabsClosable(true);
    area->setTabsMovable(true);
    area->setDocumentMode(true);
    // Tabs as wide as their titles, not stretched across the area.
    if (auto* tabs = area->findChild<QTabBar*>())
        tabs->setExpanding(false);
    layout->addWidget(area, 1);
    setCentralWidget(client);
    m_pMdiArea = area;
    // The active data window's title comes before the program's name.
    connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        const QString product = Text(STR_PRODUCT_NAME);
        setWindowTitle(window && !window->windowTitle().isEmpty() ? window->windowTitle() + QStringLiteral(" - ") + product
                                                                  : product);
    });

    CreateMenuBar();
    CreateToolBar();
    CreateAccelerators();

    m_wndWorkspace = new CWorkspaceBar(this);
    m_wndWorkspace->setObjectName(QStringLiteral("workspace"));
    m_pWorkspaceTree = &m_wndWorkspace->m_wndTree;
    addDockWidget(Qt::LeftDockWidgetArea, m_wndWorkspace);
    m_wndMenuBar->hide();
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);

    InitPragmaSettingList();

    // Commands follow the program's state whenever the event loop goes idle.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        m_idleUpdate = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CMainFrame::UpdateCommandUI);
    UpdateCommandUI();
    return true;
}

void CMainFrame::ShowWorkspaceWidth()
{
    if (m_wndWorkspace)
        resizeDocks({m_wndWorkspace}, {WORKSPACE_WIDTH}, Qt::Horizontal);
}

void CMainFrame::CreateCaptionBar()
{
    m_wndCaptionBar.setObjectName(QStringLiteral("captionBar"));
    m_wndCaptionBar.setFixedHeight(CACaptionBar::DEFAULT_HEIGHT);
    m_wndCaptionBar.show();
}

QAction* CMainFrame::AddCommand(const wchar_t* tip, const QIcon& icon, std::function<void()> handler)
{
    auto* action = new QAction(icon, Text(tip), this);
    action->setToolTip(Text(tip));
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { RunCommand(handler); });
    return action;
}

void CMainFrame::CreateToolBar()
{
    CTabulonApp* app = g_pTabulonApp;
    m_wndToolBar = addToolBar(QStringLiteral("Standard"));
    m_wndToolBar->setObjectName(QStringLiteral("standardToolBar"));
    m_wndToolBar->setIconSize(QSize(32, 32));
    m_wndToolBar->setMovable(true);
    m_wndToolBar->toggleViewAction()->setEnabled(true);

    m_actNewDatabase = AddCommand(L"New Database", ToolBarIcon(ToolBarPicture::NewDatabase), [this] { OnNewDatabase(); });
    m_actOpen = AddCommand(L"Open Database", ToolBarIcon(ToolBarPicture::Open), [app] { app->OnFileOpen(); });
    m_actSaveAs = AddCommand(L" Save As", ToolBarIcon(ToolBarPicture::SaveAs), [app] { app->OnSaveAs(); });
    m_actImportExport =
        AddCommand(L"Import/Export", ToolBarIcon(ToolBarPicture::ImportExport), [app] { app->OnImportExport(); });
    m_actRelationships =
        AddCommand(L"Relationships", ToolBarIcon(ToolBarPicture::Relationships), [app] { app->OnRelationships(); });
    m_actConsole = AddCommand(L"SQL/PRAGMA Console", ToolBarIcon(ToolBarPicture::Console), [this] { OnConsole(); });
    m_actPrintReport =
        AddCommand(L"Print Report", ToolBarIcon(ToolBarPicture::PrintReport), [app] { app->OnPrintReport(); });
    m_actBackup = AddCommand(L"Backup", ToolBarIcon(ToolBarPicture::Backup), [this] { OnBackup(); });
    m_actVacuum = AddCommand(L"Vacuum", ToolBarIcon(ToolBarPicture::Vacuum), [this] { OnVacuum(); });
    m_actDatabaseConfiguration = AddCommand(L"Database Configuration", ToolBarIcon(ToolBarPicture::DatabaseSettings),
                                            [app] { app->OnDatabaseConfiguration(); });
    m_actSettings = AddCommand(L"Configuration", ToolBarIcon(ToolBarPicture::Settings), [this] { OnSettings(); });
    m_actHelp = AddCommand(L"Help", ToolBarIcon(ToolBarPicture::Help), [this] { OnHelp(); });
    m_actAbout = AddCommand(L"About", ToolBarIcon(ToolBarPicture::About), [app] { app->OnAbout(); });

    m_wndToolBar->addAction(m_actNewDatabase);
    m_wndToolBar->addAction(m_actOpen);
    m_wndToolBar->addAction(m_actSaveAs);
    m_wndToolBar->addSeparator();
    m_wndToolBar->addAction(m_actImportExport);
    m_wndToolBar->addSeparator();
    m_wndToolBar->addAction(m_actRelationships);
    m_wndToolBar->addAction(m_actConsole);
    m_wndToolBar->addAction(m_actPrintReport);
    m_wndToolBar->addSeparator();
    m_wndToolBar->addAction(m_actBackup);
    m_wndToolBar->addAction(m_actVacuum);
    m_wndToolBar->addSeparator();
    m_wndToolBar->addAction(m_actDatabaseConfiguration);
    m_wndToolBar->addAction(m_actSettings);
    m_wndToolBar->addSeparator();
    m_wndToolBar->addAction(m_actHelp);
    m_wndToolBar->addAction(m_actAbout);
}

void CMainFrame::CreateMenuBar()
{
    // The menus exist, as the framework builds them, but their bar stays hidden: every
    // key the program answers is a window-wide action (CreateAccelerators).
    m_wndMenuBar = menuBar();
    m_wndMenuBar->setObjectName(QStringLiteral("menuBar"));
    QMenu* view = m_wndMenuBar->addMenu(QStringLiteral("&View"));
    m_actViewCaptionBar = view->addAction(QStringLiteral("&Caption Bar"), this, &CMainFrame::OnViewCaptionBar);
    m_actViewCaptionBar->setCheckable(true);
    m_actViewWorkspace = view->addAction(QStringLiteral("&Workspace"), this, &CMainFrame::OnViewWorkspace);
    m_actViewWorkspace->setCheckable(true);
    QMenu* looks = view->addMenu(QStringLiteral("&Application Look"));
    QMenu* office2007 = nullptr;
    auto* group = new QActionGroup(this);
    for (const LookItem& item : LOOK_ITEMS) {
        QMenu* menu = looks;
        if (item.id >= 215) {
            if (!office2007)
                office2007 = looks->addMenu(QStringLiteral("Office 2007"));
            menu = office2007;
        }
        QAction* action = menu->addAction(QString::fromLatin1(item.text));
        action->setCheckable(true);
        group->addAction(action);
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { OnApplicationLook(id); });
        m_arrLookActions.emplace_back(id, action);
    }
    QMenu* help = m_wndMenuBar->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&Help Topics"), this, &CMainFrame::OnHelp);
    help->addAction(QStringLiteral("&About Tabulon..."), [] { g_pTabulonApp->OnAbout(); });
}

void CMainFrame::CreateAccelerators()
{
    // Window-wide keys. Undo, cut, copy and paste stay with the focused editor, and
    // Ctrl+S has nothing to save: the database is written as it is edited.
    const auto addKey = [this](const QList<QKeySequence>& keys, std::function<void()> handler) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [handler = std::move(handler)] { RunCommand(handler); });
        addAction(action);
        return action;
    };
    addKey({QKeySequence(Qt::CTRL | Qt::Key_N)}, [] { g_pTabulonApp->OnFileNew(); });
    addKey({QKeySequence(Qt::CTRL | Qt::Key_O)}, [this] {
        if (m_actOpen->isEnabled())
            m_actOpen->trigger();
    });
    addKey({QKeySequence(Qt::CTRL | Qt::Key_P)}, [this] {
        if (m_actPrintReport->isEnabled())
            m_actPrintReport->trigger();
    });
    addKey({QKeySequence(Qt::Key_F6)}, [this] { m_pMdiArea->activateNextSubWindow(); });
    addKey({QKeySequence(Qt::SHIFT | Qt::Key_F6)}, [this] { m_pMdiArea->activatePreviousSubWindow(); });
    addKey({QKeySequence(Qt::Key_F1)}, [this] { OnHelp(); });
    addKey({QKeySequence(Qt::SHIFT | Qt::Key_F1)}, [] { QWhatsThis::enterWhatsThisMode(); });
}

void CMainFrame::UpdateCommandUI()
{
    if (!m_actOpen || !g_pTabulonApp)
        return;
    const CTabulonApp& app = *g_pTabulonApp;
    // While a report is previewed or printed nothing may close its document or the database.
    const bool canClose = !IsReportPrinting();
    m_actNewDatabase->setEnabled(canClose && OnUpdateNewDatabase());
    m_actOpen->setEnabled(canClose && app.OnUpdateFileOpen());
    m_actSaveAs->setEnabled(canClose && app.OnUpdateOpenDbPath());
    m_actImportExport->setEnabled(canClose && OnUpdateAlwaysEnabled());
    m_actRelationships->setEnabled(app.OnUpdateRelationships());
    m_actConsole->setEnabled(OnUpdateDatabaseOpen());
    m_actPrintReport->setEnabled(app.OnUpdatePrintReport());
    m_actBackup->setEnabled(OnUpdateDatabaseOpen());
    m_actVacuum->setEnabled(OnUpdateDatabaseOpen());
    m_actDatabaseConfiguration->setEnabled(app.OnUpdateOpenDbPath());
    m_actViewCaptionBar->setChecked(OnUpdateViewCaptionBar());
    m_actViewWorkspace->setChecked(OnUpdateViewWorkspace());
    for (const auto& [id, action] : m_arrLookActions)
        action->setChecked(OnUpdateApplicationLook(id));
    if (m_wndWorkspace) {
        m_wndWorkspace->UpdateCommands();
        // Reload closes every data window and the database.
        if (!canClose)
            m_wndWorkspace->m_pActReload->setEnabled(false);
    }
}

bool CMainFrame::OnUpdateApplicationLook(int lookId) const
{
    return g_pTabulonApp && g_pTabulonApp->m_nApplicationLook == lookId;
}

bool CMainFrame::OnUpdateViewCaptionBar() const { return m_wndCaptionBar.isVisible(); }

bool CMainFrame::OnUpdateViewWorkspace() const { return m_wndWorkspace && m_wndWorkspace->isVisible(); }

bool CMainFrame::OnUpdateNewDatabase() const { return !m_bDatasheetLoading; }

bool CMainFrame::OnUpdateDatabaseOpen() const { return g_pTabulonApp && g_pTabulonApp->m_bDatabaseOpen; }

void CMainFrame::OnApplicationLook(int)
{
    // Whichever look is chosen, the program keeps its one look.
    platform::WaitCursor wait;
    if (g_pTabulonApp)
        g_pTabulonApp->m_nApplicationLook = APPLICATION_LOOK_AQUA;
    if (QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    update();
}

void CMainFrame::OnHelp()
{
    const std::wstring path = g_strAppFolder + STR_HELP_FILE;
    if (!platform::FileExists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(platform::ToQString(path))))
        platform::MessageBox(this, STR_HELP_FAILED, STR_PRODUCT_NAME, platform::MB_OK);
}

void CMainFrame::OnViewCaptionBar()
{
    m_wndCaptionBar.setVisible(!m_wndCaptionBar.isVisible());
    UpdateCommandUI();
}

void CMainFrame::OnViewWorkspace()
{
    if (!m_wndWorkspace)
        return;
    const bool show = !m_wndWorkspace->isVisible();
    m_wndWorkspace->setVisible(show);
    if (show)
        m_wndWorkspace->raise();
    UpdateCommandUI();
}

void CMainFrame::OnNewDatabase()
{
    if (IsReportPrinting() || m_bDatasheetLoading)
        return;
    if (!m_newDbMgr.RunNewDatabaseDialog(m_strNewDbPath, m_strNewDbSourcePath, m_bNewDbFromExisting,
                                         m_strNewDbEncoding, m_strNewDbPageSize, m_bNewDbAutoVacuum))
        return;
    // The data windows close, and the loader lets go of the connection, before the
    // database state is made anew; the open then creates the file with these options.
    m_bCreatingDatabase = true;
    g_pTabulonApp->OpenDocumentFile(m_strNewDbPath);
    m_bCreatingDatabase = false;
    UpdateCommandUI();
}

void CMainFrame::OnConsole()
{
    if (!OnUpdateDatabaseOpen())
        return;
    CQueryDlg dialog(this);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    const std::wstring statement = dialog.m_strStatement;
    g_pTabulonApp->m_openRequest.m_strText = statement;
    g_pTabulonApp->m_openRequest.m_nMode = ConsoleRequestKind(statement);
    g_pTabulonApp->OnFileNew();
}

void CMainFrame::OnSettings()
{
    CAppConfigSheet sheet(this);
    platform::RunModal(sheet);
}

void CMainFrame::OnBackup()
{
    if (!OnUpdateDatabaseOpen())
        return;
    CBackupDataFileDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnVacuum()
{
    if (!OnUpdateDatabaseOpen() || !g_pCurrentDb)
        return;
    platform::WaitCursor wait;
    VacuumDatabase();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!CanCloseFrame()) {
        event->ignore();
        return;
    }
    if (g_pTabulonApp)
        g_pTabulonApp->CloseAllDocuments();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasUrls())
        return;
    event->acceptProposedAction();
    OnDropFiles(event->mimeData()->urls());
}

void CMainFrame::OnDropFiles(const QList<QUrl>& urls)
{
    // Each dropped file is opened in turn, as from File > Open; the last one stays open.
    std::vector<std::wstring> paths;
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            paths.push_back(platform::FromQString(url.toLocalFile()));
    if (paths.empty() || !CanCloseFrame())
        return;
    for (const std::wstring& path : paths)
        g_pTabulonApp->OpenDocumentFile(path);
}

LRESULT CMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (message) {
    case UM_DATABASE_OPENED: result = OnDatabaseOpened(wParam, lParam); break;
    case UM_OPEN_TABLE_DATA: result = OnOpenTableData(wParam, lParam); break;
    case UM_CLEAR_WORKSPACE: result = OnClearWorkspace(wParam, lParam); break;
    case UM_OPEN_VIEW_DATA: result = OnOpenViewData(wParam, lParam); break;
    case UM_TREE_SELECTION: result = OnTreeSelection(wParam, lParam); break;
    default:
        // The object commands; UM_OPEN_INDEX and the rest have nothing to do here.
        if (!m_objectCommands.OnMessage(message, wParam, lParam, result))
            return 0;
        break;
    }
    UpdateCommandUI();
    return result;
}

LRESULT CMainFrame::OnDatabaseOpened(WPARAM, LPARAM)
{
    // The tree shows the cached name lists of the database just opened.
    CDbTreeCtrl& tree = m_wndWorkspace->m_wndTree;
    tree.LoadTables();
    tree.LoadIndexes();
    tree.LoadTriggers();
    tree.LoadViews();
    g_pTabulonApp->m_bDatabaseOpen = true;
    m_wndWorkspace->ShowTreeTab();
    return 0;
}

LRESULT CMainFrame::OnClearWorkspace(WPARAM, LPARAM)
{
    // Every road here has closed the data windows; the connection goes only after
    // every record set let go of it (the loader stopped and waited for).
    if (g_pTabulonApp)
        g_pTabulonApp->CloseAllDocuments();
    DestroyDatabaseGlobals();
    CreateDatabaseGlobals();
    if (m_wndWorkspace)
        m_wndWorkspace->m_wndTree.Clear();
    return 0;
}

LRESULT CMainFrame::OnOpenTableData(WPARAM, LPARAM lParam)
{
    g_pTabulonApp->m_openRequest.m_strText = *reinterpret_cast<const std::wstring*>(lParam);
    g_pTabulonApp->m_openRequest.m_nMode = OpenTableData;
    g_pTabulonApp->OnFileNew();
    return 0;
}

LRESULT CMainFrame::OnOpenViewData(WPARAM, LPARAM lParam)
{
    g_pTabulonApp->m_openRequest.m_strText = *reinterpret_cast<const std::wstring*>(lParam);
    g_pTabulonApp->m_openRequest.m_nMode = OpenViewData;
    g_pTabulonApp->OnFileNew();
    return 0;
}

LRESULT CMainFrame::OnTreeSelection(WPARAM wParam, LPARAM)
{
    if (m_wndWorkspace)
        m_wndWorkspace->SetObjectKind(static_cast<int>(wParam));
    return 0;
}
