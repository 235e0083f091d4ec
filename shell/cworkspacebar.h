#pragma once
// The docking workspace pane: a small toolbar with the tree's object commands and
// Reload over two tabs, the object tree ("SQLite Database") and the recent-file list
// ("Recent File"). The toolbar's object buttons follow the kind of the tree item last
// clicked, which the main frame hands to the pane.
#include "shell/cdbtreectrl.h"
#include "shell/crecentfilewnd.h"

#include <QAction>
#include <QDockWidget>
#include <QTabWidget>
#include <QToolBar>

inline constexpr wchar_t STR_WORKSPACE_TITLE[] = L"Database Structure space";
inline constexpr wchar_t STR_TAB_DATABASE[] = L"SQLite Database";
inline constexpr wchar_t STR_TAB_RECENT_FILE[] = L"Recent File";
inline constexpr wchar_t STR_TIP_ADD_OBJECT[] = L"Add object.";
inline constexpr wchar_t STR_TIP_DELETE_OBJECT[] = L"Delete object.";
inline constexpr wchar_t STR_TIP_VIEW_SCHEMA[] = L"View object schema.";
inline constexpr wchar_t STR_TIP_VIEW_DATA[] = L"View or edit object data.";
inline constexpr wchar_t STR_TIP_RELOAD[] = L"Reload data file";

class CWorkspaceBar : public QDockWidget {
    // The pane's contents; declared first, so that it outlives the windows inside it.
    QWidget m_wndClient;

public:
    static constexpr int TOOLBAR_ID = 0xE801;
    static constexpr int TABS_ID = 1;
    static constexpr int ID_ADD_OBJECT = 32795;
    static constexpr int ID_DELETE_OBJECT = 32796;
    static constexpr int ID_VIEW_SCHEMA = 32797;
    static constexpr int ID_VIEW_DATA = 220;
    static constexpr int ID_RELOAD = 32820;
    static constexpr int TAB_TREE = 0;
    static constexpr int TAB_RECENT_FILES = 1;

    // Makes the toolbar, the tabs, the tree and the filled recent-file list; the
    // "Recent File" tab is active and the object buttons are disabled.
    explicit CWorkspaceBar(QWidget* parent = nullptr);
    ~CWorkspaceBar() override;

    // The buttons allowed for a tree item of the kind (UM_TREE_SELECTION); any value
    // outside 1 to 10 allows none, and a database that cannot be written no Add or Delete.
    void SetObjectKind(int kind);
    // Makes the tree's tab the active one (after a database was opened).
    void ShowTreeTab();
    // Enables every toolbar button from the active tab, the four flags and whether a
    // database has been opened. Runs whenever one of them changes; a caller that
    // writes the flags or the database-open flag directly calls it afterwards.
    void UpdateCommands();

    // The toolbar's commands.
    void OnAddObject();
    void OnDeleteObject();
    void OnViewSchema();
    void OnViewData();
    void OnReload();

    QToolBar m_wndToolBar;
    QTabWidget m_wndTabs;
    CDbTreeCtrl m_wndTree;
    CRecentFileWnd m_wndRecentFiles;
    int m_bCanAdd = 0;
    int m_bCanDelete = 0;
    int m_bCanViewSchema = 0;
    int m_bCanViewData = 0;

    QAction* m_pActAdd = nullptr;
    QAction* m_pActDelete = nullptr;
    QAction* m_pActViewSchema = nullptr;
    QAction* m_pActViewData = nullptr;
    QAction* m_pActReload = nullptr;
};
