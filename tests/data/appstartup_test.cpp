#include "data/appstartup.h"
#include "data/constants.h"
#include "platform/utf16.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDir>

using testing_support::BoxRecorder;
using testing_support::TempFolder;

namespace {

// Without Data/KVZDATA.KVZ in the program folder the program must not start: one box,
// and no store for the caller, which then ends with exit code 1.
TEST(AppStartup, MissingDataFileRefusesToStartWithOneBox)
{
    TempFolder folder;
    const std::wstring appFolder = folder.Path(L"") + L"/";
    BoxRecorder boxes;
    EXPECT_EQ(AttachAppDataFile(appFolder), nullptr);
    EXPECT_EQ(g_strAppFolder, appFolder);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, L"Application data file <KVZDATA.KVZ> is missing.\nCan not continue.");
    EXPECT_EQ(boxes.Last().caption, L"Error");
    EXPECT_EQ(boxes.Last().style, platform::MB_OK | platform::MB_ICONERROR);
}

TEST(AppStartup, AttachesTheStoreOnTheShippedFileInTheProgramFolder)
{
    TempFolder folder;
    ASSERT_TRUE(QDir(platform::ToQString(folder.Path(L""))).mkdir(QStringLiteral("Data")));
    const std::wstring file = folder.CopyAppDataFile(L"Data/KVZDATA.KVZ");
    const std::wstring appFolder = folder.Path(L"") + L"/";
    BoxRecorder boxes;
    const std::unique_ptr<CAppDataFile> store = AttachAppDataFile(appFolder);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->m_strFilePath, file);
    EXPECT_EQ(g_strAppFolder, appFolder);
    EXPECT_EQ(boxes.Count(), 0u);
    // The store works on that file.
    EXPECT_TRUE(store->CreateNode(NODE_DB_DATA_TYPES, NODE_TYPE_TEXT));
    EXPECT_EQ(testing_support::QueryRaw(file, "SELECT NodeName FROM Node"), "SQLITE_DB_DATA_TYPES");
}

} // namespace
