#pragma once
// The state a data-window test runs in: a main frame base that records the messages it
// is sent, an MDI area for the frames, the caption strip, a profile of its own for the
// recent-file list and a database opened as the current one.
#include "data/cappdatafile.h"
#include "document/strip/cacaptionbar.h"
#include "document/datasheet/cdataaccess.h"
#include "document/session/cmainframebase.h"
#include "document/windows/ctabulondoc.h"
#include "document/windows/ctabulonview.h"
#include "document/session/currentdatabase.h"
#include "document/session/openrequest.h"
#include "platform/recentfiles.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QMdiArea>

#include <functional>
#include <string>
#include <vector>

class RecordingMainFrame : public CMainFrameBase {
public:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_arrMessages.push_back(message);
        if (onMessage)
            onMessage(message, wParam, lParam);
        return 0;
    }
    std::vector<UINT> m_arrMessages;
    std::function<void(UINT, WPARAM, LPARAM)> onMessage;
};

class DataWindowFixture : public testing::Test {
protected:
    void SetUp() override
    {
        m_store.SetFile(m_folder.CopyAppDataFile());
        m_mainFrame.m_pAppDataFile = &m_store;
        m_mainFrame.m_pMdiArea = &m_area;
        m_mainFrame.m_pCaptionBar = &m_captionBar;
        g_pMainFrame = &m_mainFrame;
        platform::UseRecentFileSettings(m_folder.Path(L"profile.ini"));
        m_area.resize(800, 600);
        m_area.show();
        DestroyDatabaseGlobals();
        CreateDatabaseGlobals();
    }
    void TearDown() override
    {
        DataWindowTemplate().CloseAllDocuments();
        DestroyDatabaseGlobals();
        g_openRequest = OpenRequest();
        g_pMainFrame = nullptr;
    }

    void OpenDatabase(const std::wstring& name, const std::string& script)
    {
        m_path = m_folder.MakeDatabase(name, script);
        g_strCurrentDbPath = m_path;
        ASSERT_TRUE(CDataAccess::OpenDatabase());
    }

    // Writes the request and runs File New: the window's document, or null.
    static CTabulonDoc* Request(int mode, const std::wstring& text)
    {
        g_openRequest.m_strText = text;
        g_openRequest.m_nMode = mode;
        return static_cast<CTabulonDoc*>(DataWindowTemplate().OpenNewDocument());
    }
    static size_t WindowCount() { return DataWindowTemplate().GetDocuments().size(); }

    testing_support::TempFolder m_folder;
    CAppDataFile m_store;
    RecordingMainFrame m_mainFrame;
    QMdiArea m_area;
    CACaptionBar m_captionBar;
    testing_support::BoxRecorder m_boxes;
    std::wstring m_path;
};
