// The tree's double-click on a table whose data window is already open.
#include "shell/cdbtreectrl.h"

#include "data/constants.h"
#include "datawindowfixture.h"
#include "shell/ctabulonapp.h"

#include <gtest/gtest.h>

#include <QMdiSubWindow>
#include <QTest>

#include <algorithm>

namespace {

class TreeWithWindows : public DataWindowFixture {
protected:
    void SetUp() override
    {
        DataWindowFixture::SetUp();
        OpenDatabase(L"windows.db", "CREATE TABLE t (a); CREATE TABLE u (b); CREATE VIEW v AS SELECT a FROM t;");
        g_strDocDbPath = m_path;
        LoadTableNames();
        LoadViewNames();
        m_tree.resize(300, 400);
        m_tree.show();
        m_tree.LoadTables();
        m_tree.LoadIndexes();
        m_tree.LoadTriggers();
        m_tree.LoadViews();
    }
    QTreeWidgetItem* Table(int index)
    {
        return m_tree.FindItemByKind(m_tree.GetTreeView()->topLevelItem(0), NodeKind::TablesFolder)->child(index);
    }
    void DoubleClick(QTreeWidgetItem* item)
    {
        CObjectTreeView* view = m_tree.GetTreeView();
        view->scrollToItem(item);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item).center());
    }
    QTreeWidgetItem* View()
    {
        return m_tree.FindItemByKind(m_tree.GetTreeView()->topLevelItem(0), NodeKind::ViewsFolder)->child(0);
    }
    size_t OpenRequests(UINT message = UM_OPEN_TABLE_DATA) const
    {
        return static_cast<size_t>(
            std::count(m_mainFrame.m_arrMessages.begin(), m_mainFrame.m_arrMessages.end(), message));
    }

    CTabulonApp m_app;
    CDbTreeCtrl m_tree;
};

// The open window of the table comes to the front and nothing is sent; a table
// without a window is asked for.
TEST_F(TreeWithWindows, DoubleClickActivatesTheOpenWindowOfTheTable)
{
    CTabulonDoc* t = Request(OpenTableData, L"t");
    ASSERT_NE(t, nullptr);
    ASSERT_NE(Request(OpenTableData, L"u"), nullptr);
    QMdiSubWindow* tWindow = nullptr;
    for (QMdiSubWindow* window : m_area.subWindowList())
        if (window->windowTitle() == "t")
            tWindow = window;
    ASSERT_NE(tWindow, nullptr);
    ASSERT_NE(m_area.activeSubWindow(), tWindow);

    DoubleClick(Table(0));
    EXPECT_EQ(OpenRequests(), 0u);
    EXPECT_EQ(m_area.activeSubWindow(), tWindow);

    DataWindowTemplate().CloseAllDocuments();
    DoubleClick(Table(0));
    EXPECT_EQ(OpenRequests(), 1u);
}

// A double-click on a table opens it and nothing more: the table folds and unfolds only
// by its expander and the keys; a folder still folds on a double-click. (Each
// double-click follows a click, as a user's does, so the control has its pressed item.)
TEST_F(TreeWithWindows, DoubleClickOnATableOpensWithoutFolding)
{
    const auto userDoubleClick = [this](QTreeWidgetItem* item) {
        CObjectTreeView* view = m_tree.GetTreeView();
        view->scrollToItem(item);
        const QPoint centre = view->visualItemRect(item).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    };
    QTreeWidgetItem* table = Table(0);
    QTreeWidgetItem* folder = table->parent();
    folder->setExpanded(false);
    userDoubleClick(folder);
    EXPECT_TRUE(folder->isExpanded());
    EXPECT_EQ(OpenRequests(), 0u);

    ASSERT_FALSE(table->isExpanded());
    userDoubleClick(table);
    EXPECT_FALSE(table->isExpanded());
    table->setExpanded(true);
    userDoubleClick(table);
    EXPECT_TRUE(table->isExpanded());
    EXPECT_EQ(OpenRequests(), 2u);
}

// A view whose window is open: the double-click brings that window to the front and asks
// for no second one.
TEST_F(TreeWithWindows, DoubleClickActivatesTheOpenWindowOfTheView)
{
    ASSERT_NE(Request(OpenViewData, L"v"), nullptr);
    ASSERT_NE(Request(OpenTableData, L"t"), nullptr);
    DoubleClick(View());
    EXPECT_EQ(OpenRequests(UM_OPEN_VIEW_DATA), 0u);
    ASSERT_NE(m_area.activeSubWindow(), nullptr);
    EXPECT_EQ(m_area.activeSubWindow()->windowTitle(), "v");
    EXPECT_EQ(WindowCount(), 2u);
}

} // namespace
