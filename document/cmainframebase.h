#pragma once
// The members of the main frame that the lower layers use. The main frame derives
// from this class and sets g_pMainFrame in its constructor; tests make one of their own.
// The main frame receives the program's UM_ messages (the tree's requests, the views'
// notices) as a message target; this base ignores them.
#include "platform/messagetarget.h"

#include <string>

class CAppDataFile;

class CMainFrameBase : public platform::MessageTarget {
public:
    LRESULT OnMessage(UINT, WPARAM, LPARAM) override { return 0; }

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
};

extern CMainFrameBase* g_pMainFrame;
