#pragma once
// The program's one top-level window: tabbed data windows, the toolbar, the hidden
// menu bar, the workspace pane and the caption strip. Its constructor is the start-up
// work before any window shows: the program folder, the application data store, the
// splash while the settings load, and the value lists on the first run.
#include "document/cacaptionbar.h"
#include "document/cmainframebase.h"
#include "document/openrequest.h"

#include <QMainWindow>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CAppDataFile;
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
inline constexpr wchar_t STR_WORKSPACE_CAPTION[] = L"Database Structure space";

// What the start-up does to end the process and to pause with the splash on screen;
// tests replace both. An exit that returns leaves the frame without its store.
struct StartupHooks {
    std::function<void(int exitCode)> exitProcess;
    std::function<void(std::chrono::milliseconds)> pause;
};
StartupHooks& GetStartupHooks();

// The workspace pane's button flags for a clicked tree item of this NodeKind.
struct WorkspaceButtonFlags {
    bool canAdd = false;
    bool canDelete = false;
    bool canViewSchema = false;
    bool canViewData = false;
};
WorkspaceButtonFlags SelectionFlags(int nodeKind);

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

    // The main-frame object messages.
    LRESULT OnDatabaseOpened(WPARAM wParam, LPARAM lParam);
    LRESULT OnOpenTableData(WPARAM wParam, LPARAM lParam);
    LRESULT OnClearWorkspace(WPARAM wParam, LPARAM lParam);
    LRESULT OnEditTrigger(WPARAM wParam, LPARAM lParam);
    LRESULT OnOpenViewData(WPARAM wParam, LPARAM lParam);
    LRESULT OnTreeSelection(WPARAM wParam, LPARAM lParam);
    LRESULT OnNewTable(WPARAM wParam, LPARAM lParam);
    LRESULT OnNewIndex(WPARAM wParam, LPARAM lParam);
    LRESULT OnNewTrigger(WPARAM wParam, LPARAM lParam);
    LRESULT OnNewView(WPARAM wParam, LPARAM lParam);
    LRESULT OnNewColumn(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropTable(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropIndex(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropTrigger(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropView(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowTableScript(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowIndexScript(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowTriggerScript(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowViewScript(WPARAM wParam, LPARAM lParam);
    LRESULT OnRenameTable(WPARAM wParam, LPARAM lParam);

    QMenuBar* m_wndMenuBar = nullptr;      // created hidden
    QToolBar* m_wndToolBar = nullptr;
    CWorkspaceBar* m_wndWorkspace = nullptr; // the docking pane, owned by the window
    CACaptionBar m_wndCaptionBar;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::unique_ptr<CAppDataFile> m_appDataFile; // the store m_pAppDataFile points to
};
