#include "shell/cmainframe.h"

#include "data/appstartup.h"
#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "data/statementtext.h"
#include "data/textutil.h"
#include "designers/designerkit.h"
#include "document/report/cchildview.h"
#include "document/strip/ccaptiondlg.h"
#include "document/windows/ctabulondoc.h"
#include "document/windows/ctabulonview.h"
#include "document/windows/datawindows.h"
#include "document/windows/windowlistdlg.h"
#include "document/session/currentdatabase.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/recentfiles.h"
#include "platform/utf16.h"
#include "platform/waitcursor.h"
#include "platform/widgets/hiddenmenubar.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"
#include "shell/backup.h"
#include "shell/cappconfigsheet.h"
#include "shell/cbackupdatafiledlg.h"
#include "shell/cquerydlg.h"
#include "shell/csplash.h"
#include "shell/ctabulonapp.h"
#include "shell/cworkspacebar.h"
#include "shell/objectcommands.h"
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
#include <QPointer>
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

// The File menu lists at most this many recent files, as the framework's menus do.
constexpr size_t MAX_RECENT_FILE_ITEMS = 16;

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
    static StartupHooks hooks{[] { return platform::ExecutableFolder(); },
                              [] { return platform::UserDataFolder(STR_PRODUCT_NAME); },
                              [](int exitCode) { std::_Exit(exitCode); },
                              [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); }, {}};
    return hooks;
}

int ConsoleRequestKind(const std::wstring& statement)
{
    return FirstStatementWord(statement) == L"PRAGMA" ? OpenPragmaQuery : OpenSqlQuery;
}

CMainFrame::CMainFrame()
    : QMainWindow(nullptr)
{
    setWindowTitle(Text(STR_PRODUCT_NAME));
    StartupHooks& hooks = GetStartupHooks();
    const std::wstring folder = hooks.programFolder();
    if (folder.empty())
        platform::MessageBox(this, STR_APP_PATH_FAILED, STR_PRODUCT_NAME, platform::MB_OK);

    g_pMainFrame = this;

    // Without a sound application data file the program cannot run; the start has said so.
    m_appDataFile = AttachAppDataFile(folder, hooks.userDataFolder());
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
    // The data windows close after the frame's members are gone.
    QObject::disconnect(m_activationUpdate);
    QObject::disconnect(m_titleUpdate);
    if (g_pMainFrame == this)
        g_pMainFrame = nullptr;
}

bool CMainFrame::Create()
{
    setWindowFlags(Qt::Window);
    setAcceptDrops(true);
    // The program starts in the style Qt chose, and leaves it alone.
    if (g_pTabulonApp)
        g_pTabulonApp->m_nApplicationLook = CurrentLookId();

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
    // The active data window's title comes before the program's name, also when a New
    // Window numbers it.
    m_activationUpdate = connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        QObject::disconnect(m_titleUpdate);
        if (window)
            m_titleUpdate = connect(window, &QWidget::windowTitleChanged, this, &CMainFrame::ShowActiveWindowTitle);
        ShowActiveWindowTitle();
        UpdateMenusForActiveWindow();
    });

    CreateToolBar();
    CreateMenuBar();
    CreateAccelerators();

    m_wndWorkspace = new CWorkspaceBar(this);
    m_wndWorkspace->setObjectName(QStringLiteral("workspace"));
    m_pWorkspaceTree = &m_wndWorkspace->m_wndTree;
    m_pObjectCommands =
        std::make_unique<CObjectCommands>(m_wndWorkspace->m_wndTree, this, [this] { return CanCloseFrame(); });
    addDockWidget(Qt::LeftDockWidgetArea, m_wndWorkspace);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);

    InitPragmaSettingList();

    // Commands follow the program's state whenever the event loop goes idle.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        m_idleUpdate = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CMainFrame::UpdateCommandUI);
    UpdateCommandUI();
    return true;
}

void CMainFrame::ShowActiveWindowTitle()
{
    // The active window, or while a dialog is in front the one that was active last.
    const QMdiSubWindow* window = m_pMdiArea ? m_pMdiArea->currentSubWindow() : nullptr;
    const QString product = Text(STR_PRODUCT_NAME);
    setWindowTitle(window && !window->windowTitle().isEmpty() ? window->windowTitle() + QStringLiteral(" - ") + product
                                                              : product);
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
    // Menu 128 while no data window is active; menu 130 adds the data window's items and
    // the Window menu (UpdateMenusForActiveWindow). The bar stays hidden until Alt or F10.
    CTabulonApp* app = g_pTabulonApp;
    m_wndMenuBar = menuBar();
    m_wndMenuBar->setObjectName(QStringLiteral("menuBar"));
    // Keys of items that only a menu holds work while the bar is hidden, as window keys.
    const auto withKey = [this](QAction* action, const QKeySequence& key) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        return action;
    };

    QMenu* file = m_wndMenuBar->addMenu(QStringLiteral("&File"));
    m_actNewDatabase->setText(QStringLiteral("&New Database..."));
    file->addAction(m_actNewDatabase);
    m_actOpen->setText(QStringLiteral("&Open..."));
    file->addAction(withKey(m_actOpen, QKeySequence(Qt::CTRL | Qt::Key_O)));
    m_actCloseWindow = file->addAction(QStringLiteral("&Close"), this, [this] { OnCloseDataWindow(); });
    withKey(m_actCloseWindow, QKeySequence(Qt::CTRL | Qt::Key_W));
    file->addSeparator();
    m_arrDataWindowItems = {m_actCloseWindow};
    // The toolbar's Save As stays on the toolbar whatever window is active.
    m_actMenuSaveAs = file->addAction(QStringLiteral("Save &As..."), this, [app] { RunCommand([app] { app->OnSaveAs(); }); });
    m_arrDataWindowItems.push_back(m_actMenuSaveAs);
    m_arrDataWindowItems.push_back(file->addSeparator());
    m_actPrint = file->addAction(QStringLiteral("&Print..."), this, [app] { RunCommand([app] { app->OnFilePrint(); }); });
    withKey(m_actPrint, QKeySequence(Qt::CTRL | Qt::Key_P));
    m_actPrintPreview =
        file->addAction(QStringLiteral("Print Pre&view"), this, [app] { RunCommand([app] { app->OnPrintReport(); }); });
    m_arrDataWindowItems.push_back(m_actPrint);
    m_arrDataWindowItems.push_back(m_actPrintPreview);
    file->addAction(QStringLiteral("P&rint Setup..."), this, [app] { app->OnFilePrintSetup(); });
    m_pRecentFilesSeparator = file->addSeparator();
    m_pExitSeparator = file->addSeparator();
    m_actExit = file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    withKey(m_actExit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    // The recent files as the list holds them now, between the two separators.
    connect(file, &QMenu::aboutToShow, this, [this, file] { FillRecentFileItems(file); });

    QMenu* view = m_wndMenuBar->addMenu(QStringLiteral("&View"));
    QMenu* bars = view->addMenu(QStringLiteral("&Toolbars and Docking Windows"));
    bars->addAction(m_wndToolBar->toggleViewAction());
    m_actViewWorkspace = bars->addAction(platform::ToQString(STR_WORKSPACE_TITLE), this, &CMainFrame::OnViewWorkspace);
    m_actViewWorkspace->setCheckable(true);
    // The frame has no status bar: its item is there, and off, as the framework shows it.
    view->addAction(QStringLiteral("&Status Bar"))->setEnabled(false);
    m_actViewCaptionBar = view->addAction(QStringLiteral("&Caption Bar"), this, &CMainFrame::OnViewCaptionBar);
    m_actViewCaptionBar->setCheckable(true);
    // One item for each style Qt offers on this machine.
    QMenu* looks = view->addMenu(QStringLiteral("&Application Look"));
    auto* group = new QActionGroup(this);
    const QStringList styles = QStyleFactory::keys();
    for (qsizetype i = 0; i < styles.size(); ++i) {
        QAction* action = looks->addAction(styles[i]);
        action->setCheckable(true);
        group->addAction(action);
        const int id = FIRST_LOOK_ID + static_cast<int>(i);
        connect(action, &QAction::triggered, this, [this, id] { OnApplicationLook(id); });
        m_arrLookActions.emplace_back(id, action);
    }

    m_pWindowMenu = m_wndMenuBar->addMenu(QStringLiteral("&Window"));
    m_actNewWindow = new QAction(QStringLiteral("&New Window"), this);
    connect(m_actNewWindow, &QAction::triggered, this, [this] { RunCommand([this] { OnWindowNew(); }); });
    // At the end of the Window menu, always there.
    m_actWindowManager = new QAction(QStringLiteral("&Windows..."), this);
    connect(m_actWindowManager, &QAction::triggered, this, [this] { RunCommand([this] { OnWindowManager(); }); });
    connect(m_pWindowMenu, &QMenu::aboutToShow, this, [this] { FillWindowMenu(); });
    m_arrDataWindowItems.push_back(m_pWindowMenu->menuAction());

    QMenu* help = m_wndMenuBar->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&Help Topics"), this, &CMainFrame::OnHelp);
    help->addAction(QStringLiteral("&About Tabulon..."), [] { g_pTabulonApp->OnAbout(); });

    new platform::HiddenMenuBar(m_wndMenuBar);
    UpdateMenusForActiveWindow();
}

void CMainFrame::UpdateMenusForActiveWindow()
{
    const bool dataWindow = m_pMdiArea && m_pMdiArea->activeSubWindow();
    for (QAction* action : m_arrDataWindowItems)
        action->setVisible(dataWindow);
}

void CMainFrame::FillRecentFileItems(QMenu* file)
{
    for (QAction* action : m_arrRecentFileItems) {
        file->removeAction(action);
        action->deleteLater();
    }
    m_arrRecentFileItems.clear();
    const std::vector<std::wstring>& entries = platform::RecentFiles().Entries();
    for (size_t i = 0; i < entries.size() && i < MAX_RECENT_FILE_ITEMS; ++i) {
        const std::wstring path = entries[i];
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QString::number(i + 1);
        auto* action = new QAction(number + QLatin1Char(' ') + platform::PlainMenuText(platform::ToQString(path)), file);
        action->setEnabled(m_actOpen->isEnabled());
        connect(action, &QAction::triggered, this, [this, path] {
            RunCommand([path] { g_pTabulonApp->OpenDocumentFile(path); });
            if (m_wndWorkspace)
                m_wndWorkspace->ShowTreeTab();
        });
        file->insertAction(m_pExitSeparator, action);
        m_arrRecentFileItems.push_back(action);
    }
    m_pRecentFilesSeparator->setVisible(!m_arrRecentFileItems.empty());
}

void CMainFrame::FillWindowMenu()
{
    m_pWindowMenu->clear();
    m_actNewWindow->setEnabled(CanOpenNewDataWindow());
    m_pWindowMenu->addAction(m_actNewWindow);
    m_pWindowMenu->addSeparator();
    const QList<QMdiSubWindow*> windows = m_pMdiArea ? m_pMdiArea->subWindowList() : QList<QMdiSubWindow*>();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QString::number(i + 1);
        QAction* action = m_pWindowMenu->addAction(number + QLatin1Char(' ') + platform::PlainMenuText(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == m_pMdiArea->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(window)] {
            if (window)
                m_pMdiArea->setActiveSubWindow(window);
        });
    }
    m_pWindowMenu->addSeparator();
    m_pWindowMenu->addAction(m_actWindowManager);
}

void CMainFrame::OnWindowNew()
{
    OpenNewDataWindow();
}

void CMainFrame::OnWindowManager()
{
    WindowListDialog dialog(m_pMdiArea, this);
    dialog.DoModal();
}

void CMainFrame::OnCloseDataWindow()
{
    // Not while the window's report is previewed or printed.
    if (m_pMdiArea && m_pMdiArea->activeSubWindow() && CanCloseFrame())
        m_pMdiArea->activeSubWindow()->close();
}

void CMainFrame::CreateAccelerators()
{
    // Window-wide keys; Ctrl+O, Ctrl+P, Ctrl+W and Ctrl+Q are their menu items' own.
    // Undo, cut, copy and paste stay with the focused editor, and Ctrl+S has nothing to
    // save: the database is written as it is edited.
    const auto addKey = [this](const QList<QKeySequence>& keys, std::function<void()> handler) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [handler = std::move(handler)] { RunCommand(handler); });
        addAction(action);
        return action;
    };
    addKey({QKeySequence(Qt::CTRL | Qt::Key_N)}, [] { g_pTabulonApp->OnFileNew(); });
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
    m_actMenuSaveAs->setEnabled(m_actSaveAs->isEnabled());
    m_actPrint->setEnabled(app.OnUpdatePrintReport());
    m_actPrintPreview->setEnabled(app.OnUpdatePrintReport());
    m_actCloseWindow->setEnabled(canClose && m_pMdiArea && m_pMdiArea->activeSubWindow());
    m_actNewWindow->setEnabled(CanOpenNewDataWindow());
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

void CMainFrame::OnApplicationLook(int lookId)
{
    const QStringList styles = QStyleFactory::keys();
    const qsizetype index = lookId - FIRST_LOOK_ID;
    if (index < 0 || index >= styles.size())
        return;
    platform::WaitCursor wait;
    if (QStyle* style = QStyleFactory::create(styles[index])) {
        QApplication::setStyle(style);
        if (g_pTabulonApp)
            g_pTabulonApp->m_nApplicationLook = lookId;
    }
    UpdateCommandUI();
}

int CMainFrame::CurrentLookId()
{
    // The style in use: the desktop's, or the one -style or QT_STYLE_OVERRIDE named.
    const QString current = QApplication::style()->name();
    const QStringList styles = QStyleFactory::keys();
    for (qsizetype i = 0; i < styles.size(); ++i)
        if (styles[i].compare(current, Qt::CaseInsensitive) == 0)
            return FIRST_LOOK_ID + static_cast<int>(i);
    return 0;
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
    CQueryDlg dialog(this, m_strFailedConsoleText);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    RunConsoleText(dialog.m_strStatement);
}

void CMainFrame::RunConsoleText(const std::wstring& text)
{
    const std::vector<StatementPiece> statements = SplitStatements(text);
    const bool several = statements.size() > 1;
    std::vector<std::wstring> alteredTables;
    m_strFailedConsoleText.clear();
    size_t ran = 0;
    for (size_t i = 0; i < statements.size(); ++i) {
        const std::wstring& statement = statements[i].m_strText;
        CloseChangedObjectWindow(statement, alteredTables);
        std::wstring context;
        if (several) {
            std::wstring ranBefore;
            if (i == 0)
                ranBefore = STR_CONSOLE_NONE_RAN;
            else
                FormatString(ranBefore, STR_CONSOLE_BEFORE_RAN, static_cast<int>(i));
            FormatString(context, STR_CONSOLE_STATEMENT_FAILED, static_cast<int>(i + 1),
                         static_cast<int>(statements.size()), StatementOpening(statement));
            context += L"\n" + ranBefore;
        }
        const FailureContext failure(context);
        g_pTabulonApp->m_openRequest.m_strText = statement;
        g_pTabulonApp->m_openRequest.m_nMode = ConsoleRequestKind(statement);
        // Each statement runs as if typed alone; the success boxes of a text of several
        // give way to one count at its end.
        g_pTabulonApp->m_openRequest.m_bQuiet = several;
        g_pTabulonApp->OnFileNew();
        if (failure.Shown()) {
            // What did not run comes back in the next console.
            m_strFailedConsoleText = text.substr(statements[i].m_nOffset);
            break;
        }
        ++ran;
    }
    if (m_pObjectCommands)
        m_pObjectCommands->RefreshSchema(alteredTables);
    if (several && ran == statements.size()) {
        std::wstring done;
        platform::MessageBox(this, FormatString(done, STR_CONSOLE_STATEMENTS_EXECUTED, static_cast<int>(ran)),
                             STR_PRODUCT_NAME, platform::MB_OK | platform::MB_ICONINFORMATION);
    }
}

void CMainFrame::CloseChangedObjectWindow(const std::wstring& statement, std::vector<std::wstring>& alteredTables)
{
    // DROP TABLE [IF EXISTS] name, DROP VIEW ..., ALTER TABLE name ...; a schema name
    // before a dot is passed over.
    std::vector<std::wstring> words = StatementWords(statement, 8);
    for (std::wstring& word : words)
        StringToUpper(word);
    const bool drop = words.size() > 2 && words[0] == L"DROP" && (words[1] == L"TABLE" || words[1] == L"VIEW");
    const bool alter = words.size() > 2 && words[0] == L"ALTER" && words[1] == L"TABLE";
    if (!drop && !alter)
        return;
    size_t at = 2;
    if (drop && words.size() > 4 && words[2] == L"IF" && words[3] == L"EXISTS")
        at = 4;
    if (at + 2 < words.size() && words[at + 1] == L".")
        at += 2;
    const std::vector<std::wstring> original = StatementWords(statement, at + 1);
    if (original.size() <= at)
        return;
    const std::wstring name = UnquoteName(original[at]);
    if (alter)
        alteredTables.push_back(name);
    // Its open statements would keep the engine from changing the table or view.
    if (IsReportPrinting())
        return;
    for (CDocument* document : DataWindowTemplate().GetDocuments()) {
        auto* data = static_cast<CTabulonDoc*>(document);
        if ((data->m_nKind == OpenTableData || data->m_nKind == OpenViewData) && EqualsAsciiNoCase(data->GetTitle(), name)) {
            data->OnCloseDocument();
            break;
        }
    }
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
    if (!CanCloseFrame() || !EndOpenTransaction()) {
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
        if (!m_pObjectCommands || !m_pObjectCommands->OnMessage(message, wParam, lParam, result))
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
    // A text searched for in the previous database means nothing in the next.
    m_wndCaptionBar.GetCaptionDlg()->ClearSearchText();
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
