#include "shell/cworkspacebar.h"

#include "data/cappdatafile.h"
#include "document/grid/clistctrlcombo.h"
#include "document/session/currentdatabase.h"
#include "platform/recentfiles.h"
#include "shell/ctabulonapp.h"
#include "workspacemainframe.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTest>

#include <algorithm>

#include <memory>

namespace {

// The program-wide state a pane lives in: the application object, a main frame that
// records what it is sent, a recent-file list of its own and a box recorder.
class WorkspaceTest : public testing::Test {
protected:
    void SetUp() override
    {
        platform::UseRecentFileSettings(m_folder.Path(L"profile.ini"));
        m_store.SetFile(m_folder.CopyAppDataFile());
        m_frame.m_pAppDataFile = &m_store;
    }
    void TearDown() override
    {
        m_pane.reset();
        DestroyDatabaseGlobals();
    }

    void MakePane()
    {
        m_pane = std::make_unique<CWorkspaceBar>();
        m_pane->resize(300, 500);
        m_pane->show();
    }
    CListFrame& RecentList() { return m_pane->m_wndRecentFiles.GetList(); }
    std::vector<std::wstring> Rows()
    {
        std::vector<std::wstring> rows;
        for (int row = 0; row < RecentList().GetGrid()->GetItemCount(); ++row)
            rows.push_back(RecentList().GetItemText(row, 0));
        return rows;
    }
    std::wstring MakeFile(const std::wstring& name)
    {
        return m_folder.MakeDatabase(name, "CREATE TABLE t (a);");
    }
    struct Buttons {
        bool add, del, schema, data;
    };
    Buttons Enabled() const
    {
        return {m_pane->m_pActAdd->isEnabled(), m_pane->m_pActDelete->isEnabled(),
                m_pane->m_pActViewSchema->isEnabled(), m_pane->m_pActViewData->isEnabled()};
    }

    testing_support::TempFolder m_folder;
    testing_support::BoxRecorder m_boxes;
    CAppDataFile m_store;
    CTabulonApp m_app;
    WorkspaceMainFrame m_frame;
    std::unique_ptr<CWorkspaceBar> m_pane;
};

// The toolbar, tabs, tooltips and start state: "Recent File" active, every button off.
TEST_F(WorkspaceTest, StartsOnTheRecentFileTabWithTheButtonsOff)
{
    MakePane();
    EXPECT_EQ(m_pane->windowTitle(), "Database Structure space");
    ASSERT_EQ(m_pane->m_wndTabs.count(), 2);
    EXPECT_EQ(m_pane->m_wndTabs.tabText(0), "SQLite Database");
    EXPECT_EQ(m_pane->m_wndTabs.tabText(1), "Recent File");
    EXPECT_EQ(m_pane->m_wndTabs.widget(0), &m_pane->m_wndTree);
    EXPECT_EQ(m_pane->m_wndTabs.currentIndex(), 1);
    QStringList tips;
    for (QAction* action : m_pane->m_wndToolBar.actions())
        tips << (action->isSeparator() ? QStringLiteral("|") : action->toolTip());
    EXPECT_EQ(tips, QStringList({"Add object.", "Delete object.", "|", "View object schema.",
                                 "View or edit object data.", "|", "Reload data file"}));
    for (QAction* action : m_pane->m_wndToolBar.actions())
        if (!action->isSeparator()) {
            EXPECT_FALSE(action->isEnabled()) << action->toolTip().toStdString();
        }
}

// The object buttons follow the kind last clicked, but only while the tree's tab is
// the active one; switching tabs takes them away and brings them back.
TEST_F(WorkspaceTest, ButtonsFollowTheFlagsOnTheTreeTabOnly)
{
    MakePane();
    struct Row {
        int kind;
        Buttons onTree;
    };
    const Row rows[] = {
        {0, {false, false, false, false}}, {1, {true, false, false, false}}, {2, {false, true, true, true}},
        {4, {false, true, true, false}},   {6, {false, true, true, false}},  {8, {false, true, true, true}},
        {9, {true, false, false, false}},  {10, {false, false, false, false}}, {42, {false, false, false, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        m_pane->m_wndTabs.setCurrentIndex(CWorkspaceBar::TAB_RECENT_FILES);
        m_pane->SetObjectKind(row.kind);
        const Buttons off = Enabled();
        EXPECT_FALSE(off.add || off.del || off.schema || off.data);
        m_pane->m_wndTabs.setCurrentIndex(CWorkspaceBar::TAB_TREE);
        const Buttons on = Enabled();
        EXPECT_EQ(on.add, row.onTree.add);
        EXPECT_EQ(on.del, row.onTree.del);
        EXPECT_EQ(on.schema, row.onTree.schema);
        EXPECT_EQ(on.data, row.onTree.data);
    }
}

// Delete on the toolbar asks first; No sends nothing, Yes drops the selected object.
TEST_F(WorkspaceTest, ToolbarDeleteConfirmsFirst)
{
    MakePane();
    g_strDocDbPath = L"/x.db";
    g_arrViewNames = {L"v1"};
    m_pane->m_wndTree.LoadTables();
    m_pane->m_wndTree.LoadViews();
    CDbTreeCtrl& tree = m_pane->m_wndTree;
    QTreeWidgetItem* views = tree.FindItemByKind(tree.GetTreeView()->topLevelItem(0), NodeKind::ViewsFolder);
    tree.GetTreeView()->setCurrentItem(views->child(0));
    m_boxes.QueueAnswer(platform::IDNO);
    m_pane->OnDeleteObject();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Click Yes button to proceed.");
    EXPECT_TRUE(m_frame.Requests().empty());
    m_boxes.QueueAnswer(platform::IDYES);
    m_pane->OnDeleteObject();
    ASSERT_EQ(m_frame.Requests().size(), 1u);
    EXPECT_EQ(m_frame.Requests()[0].message, UM_DROP_VIEW);
    EXPECT_EQ(m_frame.Requests()[0].text, L"v1");
}

// The recent-file tab lists the recent files most recent first, and the rows selected
// while it fills open nothing.
TEST_F(WorkspaceTest, RecentTabListsTheRecentFiles)
{
    const std::wstring a = MakeFile(L"a.db"), b = MakeFile(L"b.db");
    platform::RecentFiles().Add(a);
    platform::RecentFiles().Add(b);
    MakePane();
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{b, a}));
    EXPECT_TRUE(m_frame.messages.empty());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

// A row whose file is gone: the box, then the entry of that path leaves the recent-file
// list, wherever later opens have moved it, and the row leaves the tab.
TEST_F(WorkspaceTest, MissingFileLeavesBothListsByItsPath)
{
    const std::wstring a = MakeFile(L"a.db"), b = MakeFile(L"b.db"), c = MakeFile(L"c.db");
    for (const std::wstring& path : {a, b, c})
        platform::RecentFiles().Add(path);
    MakePane();
    ASSERT_EQ(Rows(), (std::vector<std::wstring>{c, b, a}));
    // Opened since: a moves to the top of the list, so entry 1 is now c, not b.
    platform::RecentFiles().Add(a);
    ASSERT_TRUE(QFile::remove(QString::fromStdWString(b)));

    RecentList().GetGrid()->SelectRow(1);
    QTest::keyClick(RecentList().GetGrid(), Qt::Key_Return);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"<" + b + L"> is not exist");
    EXPECT_EQ(m_boxes.Last().caption, L"Nonexistent file");
    EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONINFORMATION);
    EXPECT_EQ(platform::RecentFiles().Entries(), (std::vector<std::wstring>{a, c}));
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{c, a}));
    // No current cell is left behind on the row that took the deleted one's place.
    EXPECT_EQ(RecentList().GetGrid()->m_nCurrentRow, -1);
}

// A file opens only on a double-click or on Enter on the highlighted row; the arrows,
// on the grid or in its cell, only move. Delete takes the row and its file off the
// recent-file list for good.
TEST_F(WorkspaceTest, RecentRowsOpenOnDoubleClickOrEnterOnly)
{
    const std::wstring a = MakeFile(L"a.db"), b = MakeFile(L"b.db"), c = MakeFile(L"c.db");
    for (const std::wstring& path : {a, b, c})
        platform::RecentFiles().Add(path);
    MakePane();
    m_pane->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_pane.get()));
    ASSERT_EQ(Rows(), (std::vector<std::wstring>{c, b, a}));
    CListCtrlCombo* grid = RecentList().GetGrid();
    const auto opens = [this] {
        return std::count_if(m_frame.messages.begin(), m_frame.messages.end(),
                             [](const SentMessage& sent) { return sent.message == UM_DATABASE_OPENED; });
    };
    const auto showRecentTab = [&] {
        m_pane->m_wndTabs.setCurrentIndex(CWorkspaceBar::TAB_RECENT_FILES);
        grid->setFocus();
    };

    showRecentTab();
    // A click highlights, the arrows move: nothing opens.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->GetCellRect(0, 0).center());
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up})
        QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(opens(), 0);
    ASSERT_EQ(grid->GetCursorRow(), 1);

    QTest::mouseDClick(m_pane->windowHandle(), Qt::LeftButton, {},
                       grid->viewport()->mapTo(m_pane.get(), grid->GetCellRect(1, 0).center()));
    EXPECT_EQ(opens(), 1);
    EXPECT_EQ(g_strOpenDbPath, b);
    EXPECT_EQ(m_pane->m_wndTabs.currentIndex(), CWorkspaceBar::TAB_TREE);

    // Back on the tab: the arrows move from the opened row and open nothing; Enter opens
    // the row they reached.
    showRecentTab();
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Down})
        QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(opens(), 1);
    EXPECT_EQ(g_strOpenDbPath, b);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(opens(), 2);
    EXPECT_EQ(g_strOpenDbPath, a);

    // Delete: the row and its file's entry go, also for the next start.
    showRecentTab();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->GetCellRect(0, 0).center());
    m_boxes.QueueAnswer(platform::IDYES);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{b, a}));
    const std::vector<std::wstring> entries = platform::RecentFiles().Entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), c), 0);
    const platform::RecentFileList nextStart(m_folder.Path(L"profile.ini"));
    EXPECT_EQ(std::count(nextStart.Entries().begin(), nextStart.Entries().end(), c), 0);
    EXPECT_EQ(opens(), 2);
}

// Reload is off until a database has been opened; then it opens the same file again
// and shows the tree's tab.
TEST_F(WorkspaceTest, ReloadReopensTheOpenFileOnTheTreeTab)
{
    MakePane();
    EXPECT_FALSE(m_pane->m_pActReload->isEnabled());
    const std::wstring path = MakeFile(L"reload.db");
    m_app.m_bDatabaseOpen = true;
    g_strOpenDbPath = path;
    m_pane->UpdateCommands();
    EXPECT_TRUE(m_pane->m_pActReload->isEnabled());
    m_pane->m_pActReload->trigger();
    EXPECT_EQ(m_pane->m_wndTabs.currentIndex(), CWorkspaceBar::TAB_TREE);
    std::vector<UINT> sent;
    for (const SentMessage& message : m_frame.messages)
        sent.push_back(message.message);
    EXPECT_EQ(sent, (std::vector<UINT>{UM_CLEAR_WORKSPACE, UM_DATABASE_OPENED}));
    EXPECT_EQ(g_strOpenDbPath, path);
    EXPECT_EQ(g_arrTableNames, std::vector<std::wstring>{L"t"});
    EXPECT_TRUE(m_boxes.Boxes().empty());

    // The file has since been replaced by one that is no database: the refusal, and the
    // workspace stays as it was.
    {
        QFile file(QString::fromStdWString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("plain text, long enough to fill a database header and then some more.\n");
    }
    m_frame.messages.clear();
    m_pane->m_pActReload->trigger();
    EXPECT_EQ(m_boxes.Count(), 1u);
    EXPECT_TRUE(m_frame.messages.empty());
    EXPECT_EQ(g_arrTableNames, std::vector<std::wstring>{L"t"});

    // The file has been deleted: the engine would make an empty database there. Reload
    // says the file is gone, makes nothing and leaves the workspace as it was.
    ASSERT_TRUE(QFile::remove(QString::fromStdWString(path)));
    m_boxes.Clear();
    m_pane->m_pActReload->trigger();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"The file <" + path + L"> does not exist any more.");
    EXPECT_EQ(m_boxes.Last().caption, L"Error");
    EXPECT_FALSE(QFile::exists(QString::fromStdWString(path)));
    EXPECT_TRUE(m_frame.messages.empty());
    EXPECT_EQ(g_arrTableNames, std::vector<std::wstring>{L"t"});
}

} // namespace
