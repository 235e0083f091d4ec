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
        OpenDatabase(L"windows.db", "CREATE TABLE t (a); CREATE TABLE u (b);");
        g_strDocDbPath = m_path;
        LoadTableNames();
        m_tree.resize(300, 400);
        m_tree.show();
        m_tree.LoadTables();
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
    size_t OpenRequests() const
    {
        return static_cast<size_t>(
            std::count(m_mainFrame.m_arrMessages.begin(), m_mainFrame.m_arrMessages.end(), UM_OPEN_TABLE_DATA));
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

} // namespace
