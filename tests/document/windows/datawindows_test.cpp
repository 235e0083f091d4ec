// The open of database files from every road, finding and activating open data windows
// by kind and object, and the recent-file iterator.
#include "document/windows/datawindows.h"

#include "data/cadbsqldb.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/rowloader.h"
#include "document/windows/ctabulondoc.h"
#include "document/windows/ctabulonview.h"
#include "datawindowfixture.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>

using testing_support::ExecRaw;

namespace {

class OpenDatabaseFiles : public DataWindowFixture {
protected:
    void SetUp() override
    {
        DataWindowFixture::SetUp();
        // The main frame's clearing of the workspace, as far as the documents see it.
        m_mainFrame.onMessage = [](UINT message, WPARAM, LPARAM) {
            if (message == UM_CLEAR_WORKSPACE) {
                DestroyDatabaseGlobals();
                CreateDatabaseGlobals();
            }
        };
        m_first = m_folder.MakeDatabase(L"first.db", "CREATE TABLE t(a); CREATE TABLE tt(b); INSERT INTO t VALUES(1);");
        m_second = m_folder.MakeDatabase(L"second.db", "CREATE TABLE other(c);");
    }
    size_t ClearCount() const
    {
        return static_cast<size_t>(
            std::count(m_mainFrame.m_arrMessages.begin(), m_mainFrame.m_arrMessages.end(), UM_CLEAR_WORKSPACE));
    }

    std::wstring m_first;
    std::wstring m_second;
};

TEST_F(OpenDatabaseFiles, ASecondDatabaseOpensWhileAMillionRowDatasheetStillLoads)
{
    const std::wstring big = m_folder.MakeDatabase(
        L"big.db", "CREATE TABLE big(id INTEGER PRIMARY KEY, v TEXT);"
                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000)"
                   "INSERT INTO big SELECT i, 'row ' || i FROM n;");
    ASSERT_TRUE(OpenDatabaseFile(big));
    ASSERT_NE(Request(OpenTableData, L"big"), nullptr);
    EXPECT_TRUE(m_mainFrame.m_bDatasheetLoading);

    ASSERT_TRUE(OpenDatabaseFile(m_second));
    EXPECT_EQ(WindowCount(), 0u);
    EXPECT_FALSE(m_mainFrame.m_bDatasheetLoading) << "File > Open is enabled again";
    EXPECT_EQ(g_strOpenDbPath, m_second);
    EXPECT_EQ(g_arrTableNames, std::vector<std::wstring>{L"other"});
    // The cancelled load's last messages find no window.
    QTRY_COMPARE(g_bLoaderBusy.load(), 0);
    QTest::qWait(0);
    EXPECT_EQ(m_boxes.Count(), 0u);
    ASSERT_NE(Request(OpenTableData, L"other"), nullptr);
}

TEST_F(OpenDatabaseFiles, AFileThatIsNotADatabaseLeavesEverythingAsItWas)
{
    ASSERT_TRUE(OpenDatabaseFile(m_first));
    ASSERT_NE(Request(OpenTableData, L"t"), nullptr);
    const size_t clears = ClearCount();

    const std::wstring text = m_folder.Path(L"notes.txt");
    {
        QFile file(platform::ToQString(text));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("This is not a database file, it is plain text, and long enough to hold a header.\n");
    }
    const struct {
        std::wstring path;
        const wchar_t* location;
    } cases[] = {
        {text, LOC_LIST_TABLES},
        {m_folder.Path(L"no-such-folder/x.db"), LOC_OPEN_CURRENT_DB},
    };
    for (const auto& c : cases) {
        m_boxes.Clear();
        EXPECT_FALSE(OpenDatabaseFile(c.path));
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_EQ(m_boxes.Last().caption, STR_ERROR_CAPTION);
        EXPECT_NE(m_boxes.Last().text.find(c.location), std::wstring::npos) << testing_support::Utf8(m_boxes.Last().text);
        EXPECT_EQ(WindowCount(), 1u);
        EXPECT_EQ(ClearCount(), clears);
        EXPECT_EQ(g_strOpenDbPath, m_first);
    }
}

TEST_F(OpenDatabaseFiles, ARelativePathIsMadeAbsoluteBeforeUse)
{
    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(platform::ToQString(m_folder.Path(L""))));
    const bool opened = OpenDatabaseFile(L"./sub/../first.db");
    QDir::setCurrent(current);
    ASSERT_TRUE(opened);
    EXPECT_EQ(g_strOpenDbPath, m_first);
    EXPECT_EQ(g_strDocDbPath, m_first);
    EXPECT_EQ(platform::RecentFiles().Entries(), std::vector<std::wstring>{m_first});
}

TEST_F(OpenDatabaseFiles, ActivationFindsTheWindowOfExactlyThatKindAndObject)
{
    ASSERT_TRUE(OpenDatabaseFile(m_first));
    CTabulonDoc* t = Request(OpenTableData, L"t");
    CTabulonDoc* tt = Request(OpenTableData, L"tt");
    ASSERT_NE(t, nullptr);
    ASSERT_NE(tt, nullptr);
    EXPECT_EQ(DataWindowTemplate().GetActiveView(), FindDataView(tt));

    for (const wchar_t* name : {L"T", L"t ", L"", L"ttt"}) {
        EXPECT_EQ(FindDataDocument(OpenTableData, name), nullptr) << testing_support::Utf8(name);
        EXPECT_FALSE(ActivateDataWindow(OpenTableData, name));
    }
    // A view of the same name is another window.
    EXPECT_EQ(FindDataDocument(OpenViewData, L"t"), nullptr);
    EXPECT_EQ(DataWindowTemplate().GetActiveView(), FindDataView(tt));
    EXPECT_EQ(FindDataDocument(OpenTableData, L"t"), t);
    EXPECT_TRUE(ActivateDataWindow(OpenTableData, L"t"));
    EXPECT_EQ(DataWindowTemplate().GetActiveView(), FindDataView(t));
    EXPECT_EQ(m_area.activeSubWindow(), FindDataView(t)->GetParentFrame());
}

// Tables named like the titles of the other kinds' windows: each opens a window of its
// own beside the window it is named after, and each look-up finds its own window.
TEST_F(OpenDatabaseFiles, TablesNamedLikeOtherWindowsTitlesAreWindowsOfTheirOwn)
{
    const std::wstring path = m_folder.MakeDatabase(
        L"hostile.db", "CREATE TABLE t(a); INSERT INTO t VALUES (1);"
                       "CREATE TABLE \"<Table Relation>\"(x); CREATE TABLE \"<Query1>\"(y);"
                       "CREATE TABLE \"PRAGMA table_info(t)\"(z); CREATE TABLE \"Internal Database setting\"(w);");
    ASSERT_TRUE(OpenDatabaseFile(path));
    CTabulonDoc* diagram = Request(OpenRelationships, STR_TABLE_RELATION_TITLE);
    CTabulonDoc* query = Request(OpenSqlQuery, L"SELECT * FROM t");
    CTabulonDoc* pragma = Request(OpenPragmaQuery, L"PRAGMA table_info(t)");
    CTabulonDoc* settings = Request(OpenDatabaseSettings, STR_DATABASE_SETTINGS_TITLE);
    ASSERT_NE(diagram, nullptr);
    ASSERT_NE(query, nullptr);
    ASSERT_NE(pragma, nullptr);
    ASSERT_NE(settings, nullptr);
    ASSERT_EQ(query->GetTitle(), L"<Query1>");

    const std::pair<const wchar_t*, CTabulonDoc*> named[] = {{STR_TABLE_RELATION_TITLE, diagram},
                                                             {L"<Query1>", query},
                                                             {L"PRAGMA table_info(t)", pragma},
                                                             {STR_DATABASE_SETTINGS_TITLE, settings}};
    for (const auto& [name, other] : named) {
        EXPECT_EQ(FindDataDocument(OpenTableData, name), nullptr) << testing_support::Utf8(name);
        CTabulonDoc* table = Request(OpenTableData, name);
        ASSERT_NE(table, nullptr) << testing_support::Utf8(name);
        EXPECT_NE(table, other);
        EXPECT_EQ(table->GetTitle(), name);
        EXPECT_EQ(FindDataDocument(OpenTableData, name), table);
        EXPECT_TRUE(ActivateDataWindow(OpenTableData, name));
        EXPECT_EQ(DataWindowTemplate().GetActiveView(), FindDataView(table));
    }
    EXPECT_EQ(FindDataDocument(OpenRelationships, L""), diagram);
    EXPECT_EQ(FindDataDocument(OpenDatabaseSettings, L""), settings);
    EXPECT_TRUE(ActivateDataWindow(OpenRelationships, L""));
    EXPECT_EQ(DataWindowTemplate().GetActiveView(), FindDataView(diagram));
    EXPECT_EQ(WindowCount(), 8u);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

class RecentFileIterator : public DataWindowFixture {
protected:
    std::vector<std::wstring> Walk(int calls)
    {
        std::vector<std::wstring> seen;
        for (int i = 0; i < calls; ++i) {
            std::wstring path = L"untouched";
            seen.push_back(NextRecentFile(path) ? path : L"<false>");
        }
        return seen;
    }
};

TEST_F(RecentFileIterator, YieldsTheEntriesInOrderAndStartsAgainAfterFalse)
{
    for (const wchar_t* name : {L"/c.db", L"/b.db", L"/a.db"})
        platform::RecentFiles().Add(name);
    EXPECT_EQ(Walk(8), (std::vector<std::wstring>{L"/a.db", L"/b.db", L"/c.db", L"<false>", L"/a.db", L"/b.db",
                                                   L"/c.db", L"<false>"}));
}

TEST_F(RecentFileIterator, AFullListEndsAfterItsFiftiethEntry)
{
    for (int i = 50; i >= 1; --i)
        platform::RecentFiles().Add(L"/" + std::to_wstring(i) + L".db");
    const std::vector<std::wstring> seen = Walk(102);
    EXPECT_EQ(seen[0], L"/1.db");
    EXPECT_EQ(seen[49], L"/50.db");
    EXPECT_EQ(seen[50], L"<false>");
    EXPECT_EQ(seen[51], L"/1.db");
    EXPECT_EQ(seen[100], L"/50.db");
    EXPECT_EQ(seen[101], L"<false>");
}

} // namespace
