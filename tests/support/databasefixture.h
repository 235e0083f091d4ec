#pragma once
// The program-wide state that a document test over a database file runs in: a main
// frame whose application data file is a copy of the shipped one, a recorder for the
// boxes shown, and the database globals, destroyed after each test.
#include "data/cappdatafile.h"
#include "document/session/cmainframebase.h"
#include "document/datasheet/cdataaccess.h"
#include "document/session/currentdatabase.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <string>

class DatabaseFixture : public testing::Test {
protected:
    void SetUp() override
    {
        m_store.SetFile(m_folder.CopyAppDataFile());
        m_mainFrame.m_pAppDataFile = &m_store;
        g_pMainFrame = &m_mainFrame;
    }
    void TearDown() override
    {
        DestroyDatabaseGlobals();
        g_pMainFrame = nullptr;
    }

    // A fresh connection, unopened, and an empty foreign-key map.
    static void ResetDatabaseGlobals()
    {
        DestroyDatabaseGlobals();
        CreateDatabaseGlobals();
    }

    // Makes the database file from the script in the folder and opens it as the current
    // database on the connection of the globals.
    void OpenDatabase(const std::wstring& name, const std::string& script)
    {
        m_path = m_folder.MakeDatabase(name, script);
        g_strCurrentDbPath = m_path;
        ASSERT_TRUE(CDataAccess::OpenDatabase());
    }

    testing_support::TempFolder m_folder;
    CAppDataFile m_store;
    CMainFrameBase m_mainFrame;
    testing_support::BoxRecorder m_boxes;
    std::wstring m_path; // the database file of OpenDatabase
};
