#pragma once
// A main-frame base with a store on a fresh copy of the shipped data file, a home
// folder of its own (the default folders live there), recorded boxes and a fixed clock.
#include "data/cappdatafile.h"
#include "data/settings.h"
#include "document/session/cmainframebase.h"
#include "platform/clock.h"
#include "platform/utf16.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>

#include <string>
#include <vector>

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedHome = qgetenv("HOME");
        m_home = m_folder.Path(L"home");
        ASSERT_TRUE(QDir().mkpath(platform::ToQString(m_home)));
        qputenv("HOME", QFile::encodeName(platform::ToQString(m_home)));
        m_storePath = m_folder.CopyAppDataFile();
        ASSERT_TRUE(m_store.SetFile(m_storePath));
        m_frame.m_pAppDataFile = &m_store;
        g_pMainFrame = &m_frame;
        SetToday(2014, 11, 7, 9, 5, 3);
    }

    void TearDown() override
    {
        g_pMainFrame = nullptr;
        platform::SetClock({});
        qputenv("HOME", m_savedHome);
    }

    void SetToday(int y, int mo, int d, int h = 12, int mi = 0, int s = 0)
    {
        platform::SetClock([=] { return platform::LocalDateTime{y, mo, d, h, mi, s}; });
    }

    std::vector<std::wstring> Values(const std::wstring& node)
    {
        std::vector<std::wstring> values;
        std::wstring value;
        while (m_store.NextValue(node, value))
            values.push_back(value);
        return values;
    }

    std::wstring Value(const std::wstring& node)
    {
        std::wstring value = L"<none>";
        m_store.GetTextValue(node, value);
        return value;
    }

    std::string Raw(const std::string& sql) const { return testing_support::QueryRaw(m_storePath, sql); }

    testing_support::TempFolder m_folder;
    testing_support::BoxRecorder m_boxes;
    std::wstring m_home;
    std::wstring m_storePath;
    CAppDataFile m_store;
    CMainFrameBase m_frame;
    QByteArray m_savedHome;
};
