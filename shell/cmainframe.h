#pragma once
// The program's one top-level window: tabbed data windows, the toolbar, the hidden
// menu bar, the workspace pane and the caption strip. Its constructor is the start-up
// work before any window shows: the program folder, the application data store, the
// splash while the settings load, and the value lists on the first run.
#include "document/strip/cacaptionbar.h"
#include "document/session/cmainframebase.h"
#include "document/session/openrequest.h"
#include "shell/cnewdbmgr.h"
#include "shell/objectcommands.h"

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
class CWorkspaceBar;
class QAction;
class QMdiArea;
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
    std::function<void(int exitCode)> exitProcess;
    std::function<void(std::chrono::milliseconds)> pause;
    std::function<void(const std::wstring&)> splashLine; // may be empty
};
StartupHooks& GetStartupHooks();

// The window kind the console opens for a statement: a PRAGMA result when one of its
// tokens (split at blanks and tabs) is "PRAGMA" in any letter case, else a query result.
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
    void OnApplicationLook(int lookId);
    bool OnUpdateApplicationLook(int lookId) const; // the radio mark
    void OnViewCaptionBar();
    bool OnUpdateViewCaptionBar() const; // the check mark
    void OnViewWorkspace();
    bool OnUpdateViewWorkspace() const; // the check mark
    void OnNewDatabase();
    bool OnUpdateNewDatabase() const;
    void OnConsole();
    bool OnUpdateDatabaseOpen() const;
    void OnSettings();
    bool OnUpdateAlwaysEnabled() const { return true; }
    void OnBackup();
    void OnVacuum();
    // Files dropped on the window: each local file opens in turn.
    void OnDropFiles(const QList<QUrl>& urls);

    // The main-frame messages of the tree and the document; the object commands are
    // m_objectCommands'.
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
    CObjectCommands m_objectCommands;

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
    std::vector<std::pair<int, QAction*>> m_arrLookActions; // Application Look items by id

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateMenuBar();
    void CreateToolBar();
    void CreateAccelerators();
    QAction* AddCommand(const wchar_t* tip, const QIcon& icon, std::function<void()> handler);

    std::unique_ptr<CAppDataFile> m_appDataFile; // the store m_pAppDataFile points to
    QMetaObject::Connection m_idleUpdate;
};
