#pragma once
// The members of the main frame that the lower layers use. The main frame derives
// from this class and sets g_pMainFrame in its constructor; tests make one of their own.
// The main frame receives the program's UM_ messages (the tree's requests, the views'
// notices) as a message target; this base ignores them.
#include "platform/messagetarget.h"

#include <QPointer>

#include <string>
#include <vector>

class CACaptionBar;
class CAppDataFile;
class QMdiArea;

// The messages that the documents and the application send the main frame. Numbers are
// per receiver: the workspace tree's requests to the frame (shell/cdbtreectrl.h) take
// other numbers of the same range, and the same values mean other things to the grid.
inline constexpr UINT UM_DATABASE_OPENED = WM_USER + 0x01;
inline constexpr UINT UM_CLEAR_WORKSPACE = WM_USER + 0x0F;
// Messages to the workspace tree (m_pWorkspaceTree) while a datasheet is set up: while
// locked, its clicks select and expand items but send no requests.
inline constexpr UINT UM_TREE_LOCK = WM_USER + 0x04;
inline constexpr UINT UM_TREE_UNLOCK = WM_USER + 0x05;

inline constexpr wchar_t STR_CLOSE_PRINT_PREVIEW_FIRST[] = L"Please click 'Close' button to close Print Preview";

class CMainFrameBase : public platform::MessageTarget {
public:
    LRESULT OnMessage(UINT, WPARAM, LPARAM) override { return 0; }

    // True while the last report view started is previewing or printing: closing the
    // frame, and the commands that close documents or the database, must wait.
    bool IsReportPrinting() const;
    // The close guard: while a report is previewed or printed, the box that asks for the
    // preview's Close and false; otherwise true.
    bool CanCloseFrame() const;

    CAppDataFile* m_pAppDataFile = nullptr; // the one application data store
    bool m_bDatasheetLoading = false;       // File > Open and New database are disabled while set
    bool m_bCreatingDatabase = false;       // the next open creates a new database with these options:
    std::wstring m_strNewDbPath;
    std::wstring m_strNewDbSourcePath;
    bool m_bNewDbFromExisting = false;
    std::wstring m_strNewDbEncoding;
    std::wstring m_strNewDbPageSize;
    bool m_bNewDbAutoVacuum = false;
    std::wstring m_strRecentQueryNode; // saved-query node of the open database
    // The report view whose preview or print started last (a ReportPrinting); null
    // again once it is gone.
    QPointer<QObject> m_pReportView;
    // The caption bar that hosts the caption strip (the main frame's m_wndCaptionBar).
    QPointer<CACaptionBar> m_pCaptionBar;
    // The tabbed area that holds the data windows; set by the main frame's creation.
    QMdiArea* m_pMdiArea = nullptr;
    // The workspace tree, which a datasheet set up at once unlocks (UM_TREE_UNLOCK, posted).
    platform::MessageTarget* m_pWorkspaceTree = nullptr;
};

extern CMainFrameBase* g_pMainFrame;

// The main frame's application data store; null without a main frame or before its store exists.
CAppDataFile* MainAppDataFile();
// Every value of a list node of that store, in stored order; empty without a store.
std::vector<std::wstring> ReadValueList(const std::wstring& node);
