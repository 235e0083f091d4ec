#pragma once
// The program's one top-level window: tabbed data windows, the toolbar, the hidden
// menu bar, the workspace pane and the caption strip. Its constructor is the start-up
// work before any window shows: the program folder, the application data store, the
// splash while the settings load, and the value lists on the first run.
#include "document/strip/cacaptionbar.h"
#include "document/session/cmainframebase.h"
#include "document/session/openrequest.h"
#include "shell/cnewdbmgr.h"

#include <QList>
#include <QMainWindow>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CAppDataFile;
class CDbTreeCtrl;
class CObjectCommands;
class CWorkspaceBar;
class QAction;
class QMdiArea;
class QMenu;
class QMenuBar;
class QToolBar;

inline constexpr wchar_t STR_LOADING_SETTINGS[] = L"Loading application settings. Please standby...";
inline constexpr wchar_t STR_FIRST_RUN[] = L"Initialize data for the first time. Please Standby...";
inline constexpr wchar_t STR_APP_PATH_FAILED[] = L"Failed get application path";
inline constexpr wchar_t STR_SPLASH_FAILED[] = L"loading splash screen failed";
inline constexpr wchar_t STR_HELP_FILE[] = L"Tabulon.chm";
inline constexpr wchar_t STR_HELP_FAILED[] = L"Unable to open help file";

// What the start-up does to find the program folder, to end the process and to pause
// with the splash on screen; tests replace them, and watch the splash's lines. An exit
// that returns leaves the frame without its store.
struct StartupHooks {
    std::function<std::wstring()> programFolder;
    std::function<std::wstring()> userDataFolder; // where an installed program keeps its data file
    std::function<void(int exitCode)> exitProcess;
    std::function<void(std::chrono::milliseconds)> pause;
    std::function<void(const std::wstring&)> splashLine; // may be empty
};
StartupHooks& GetStartupHooks();

inline constexpr wchar_t STR_CONSOLE_STATEMENTS_EXECUTED[] = L"Successfully executed %d statements";
inline constexpr wchar_t STR_CONSOLE_STATEMENT_FAILED[] = L"Statement %d of %d failed: %s";
inline constexpr wchar_t STR_CONSOLE_NONE_RAN[] = L"No statement of the text ran.";
inline constexpr wchar_t STR_CONSOLE_BEFORE_RAN[] = L"The %d statement(s) before it ran; those after it did not run.";

// The window kind the console asks for a statement: a PRAGMA result when its first word
// (after white space and comments) is PRAGMA in any letter case, else a query result
// (whose document runs a statement without rows instead).
int ConsoleRequestKind(const std::wstring& statement);

class CMainFrame : public QMainWindow, public CMainFrameBase {
    Q_OBJECT
public:
    // Start-up: sets g_pMainFrame and g_strAppFolder, attaches the store (ending the
    // process with exit code 1 when the data file is missing), shows the splash while
    // the settings load, and fills the value lists on the first run.
    CMainFrame();
    ~CMainFrame() override;

    // The window's creation: look, tabbed area, menu bar, toolbar, workspace pane,
    // caption strip, the PRAGMA settings list. False when a bar cannot be made.
    bool Create();

    // The UM_ messages of the tree and the document.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The database folder and, where missing, the value lists.
    void InitKeywordLists();
    void CreateCaptionBar();
    // Gives the shown window's workspace pane room for its two tabs.
    void ShowWorkspaceWidth();

    // Brings the enabled and checked state of every command up to date. It runs
    // whenever the event loop is about to wait, so flags set anywhere take effect.
    void UpdateCommandUI();

    // Commands, with the handlers that decide whether they are enabled.
    void OnHelp();
    // Chooses the style of the Application Look item lookId.
    void OnApplicationLook(int lookId);
    // The Application Look item of the style in use; 0 when none matches.
    static int CurrentLookId();
    bool OnUpdateApplicationLook(int lookId) const; // the radio mark
    void OnViewCaptionBar();
    bool OnUpdateViewCaptionBar() const; // the check mark
    void OnViewWorkspace();
    bool OnUpdateViewWorkspace() const; // the check mark
    void OnNewDatabase();
    bool OnUpdateNewDatabase() const;
    void OnConsole();
    // Runs every statement of the console's text in order, each as if typed alone, and
    // stops at the first that fails; then brings the name lists and the tree up to date.
    void RunConsoleText(const std::wstring& text);
    bool OnUpdateDatabaseOpen() const;
    void OnSettings();
    bool OnUpdateAlwaysEnabled() const { return true; }
    void OnBackup();
    void OnVacuum();
    // Closes the active data window (Ctrl+W).
    void OnCloseDataWindow();
    // New Window: another window on the active data window's rows.
    void OnWindowNew();
    // Windows...: the list of the data windows, to activate or close them.
    void OnWindowManager();
    // Files dropped on the window: each local file opens in turn.
    void OnDropFiles(const QList<QUrl>& urls);

    // The main-frame messages of the tree and the document; the object commands are
    // m_pObjectCommands'.
    LRESULT OnDatabaseOpened(WPARAM wParam, LPARAM lParam);
    LRESULT OnOpenTableData(WPARAM wParam, LPARAM lParam);
    LRESULT OnClearWorkspace(WPARAM wParam, LPARAM lParam);
    LRESULT OnOpenViewData(WPARAM wParam, LPARAM lParam);
    LRESULT OnTreeSelection(WPARAM wParam, LPARAM lParam);

    QMenuBar* m_wndMenuBar = nullptr;      // created hidden
    QToolBar* m_wndToolBar = nullptr;
    CWorkspaceBar* m_wndWorkspace = nullptr; // the docking pane, owned by the window
    CACaptionBar m_wndCaptionBar;
    CNewDbMgr m_newDbMgr;
    // The tree's object commands, made with the workspace pane.
    std::unique_ptr<CObjectCommands> m_pObjectCommands;

    // The toolbar's and the accelerators' commands.
    QAction* m_actNewDatabase = nullptr;
    QAction* m_actOpen = nullptr;
    QAction* m_actSaveAs = nullptr;
    QAction* m_actImportExport = nullptr;
    QAction* m_actRelationships = nullptr;
    QAction* m_actConsole = nullptr;
    QAction* m_actPrintReport = nullptr;
    QAction* m_actBackup = nullptr;
    QAction* m_actVacuum = nullptr;
    QAction* m_actDatabaseConfiguration = nullptr;
    QAction* m_actSettings = nullptr;
    QAction* m_actHelp = nullptr;
    QAction* m_actAbout = nullptr;
    QAction* m_actViewCaptionBar = nullptr;
    QAction* m_actViewWorkspace = nullptr;
    QAction* m_actMenuSaveAs = nullptr;
    QAction* m_actPrint = nullptr;
    QAction* m_actPrintPreview = nullptr;
    QAction* m_actCloseWindow = nullptr;
    QAction* m_actNewWindow = nullptr;
    QAction* m_actWindowManager = nullptr;
    QAction* m_actExit = nullptr;
    QMenu* m_pWindowMenu = nullptr;
    std::vector<std::pair<int, QAction*>> m_arrLookActions; // Application Look items by id

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Closes the data window of the table or view that the statement drops or alters,
    // and notes an altered table.
    void CloseChangedObjectWindow(const std::wstring& statement, std::vector<std::wstring>& alteredTables);
    void CreateMenuBar();
    void CreateToolBar();
    void CreateAccelerators();
    // Shows the data window's items and the Window menu while a data window is active.
    void UpdateMenusForActiveWindow();
    void FillRecentFileItems(QMenu* file);
    void FillWindowMenu();
    // The frame's title: the active data window's title before the program's name.
    void ShowActiveWindowTitle();
    QAction* AddCommand(const wchar_t* tip, const QIcon& icon, std::function<void()> handler);

    std::unique_ptr<CAppDataFile> m_appDataFile; // the store m_pAppDataFile points to
    std::vector<QAction*> m_arrDataWindowItems;  // the items menu 130 adds
    std::vector<QAction*> m_arrRecentFileItems;
    QAction* m_pRecentFilesSeparator = nullptr;
    QAction* m_pExitSeparator = nullptr;
    std::wstring m_strFailedConsoleText; // what did not run of the last console text; "" after a success
    QMetaObject::Connection m_idleUpdate;
    QMetaObject::Connection m_activationUpdate;
    QMetaObject::Connection m_titleUpdate; // the active window's title, as it changes
};
