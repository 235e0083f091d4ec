#include "shell/cdbtreectrl.h"

#include "data/cadbsqldb.h"
#include "data/currentdb.h"
#include "document/datasheet/cdataaccess.h"
#include "document/session/currentdatabase.h"
#include "scopedhandlers.h"
#include "workspacemainframe.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QMenu>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

using testing_support::Utf8;

namespace {

const char* const kSchema = "CREATE TABLE t1 (a INTEGER, b TEXT);"
                            "CREATE TABLE t2 (x);"
                            "CREATE TABLE \"a]b\" (p, q, r);"
                            "CREATE INDEX i1 ON t1 (a);"
                            "CREATE TRIGGER g1 AFTER INSERT ON t1 BEGIN SELECT 1; END;"
                            "CREATE VIEW v1 AS SELECT * FROM t1;";

class TreeTest : public testing::Test {
protected:
    void TearDown() override { DestroyDatabaseGlobals(); }

    void Load(const std::string& script)
    {
        m_path = m_folder.MakeDatabase(L"objects.db", script);
        DestroyDatabaseGlobals();
        CreateDatabaseGlobals();
        g_strCurrentDbPath = g_strDocDbPath = m_path;
        ASSERT_TRUE(CDataAccess::OpenDatabase());
        LoadTableNames();
        LoadIndexNames();
        LoadTriggerNames();
        LoadViewNames();
        m_tree.resize(300, 500);
        m_tree.show();
        m_tree.LoadTables();
        m_tree.LoadIndexes();
        m_tree.LoadTriggers();
        m_tree.LoadViews();
    }

    QTreeWidgetItem* Root() { return m_tree.GetTreeView()->topLevelItem(0); }
    QTreeWidgetItem* Folder(NodeKind kind) { return m_tree.FindItemByKind(Root(), kind); }
    // The child of the folder with the text; null when none.
    static QTreeWidgetItem* Child(QTreeWidgetItem* folder, const QString& text)
    {
        for (int i = 0; folder && i < folder->childCount(); ++i)
            if (folder->child(i)->text(0) == text)
                return folder->child(i);
        return nullptr;
    }
    static QStringList Texts(QTreeWidgetItem* item)
    {
        QStringList texts;
        for (int i = 0; item && i < item->childCount(); ++i)
            texts << item->child(i)->text(0);
        return texts;
    }
    QTreeWidgetItem* Table(const QString& name) { return Child(Folder(NodeKind::TablesFolder), name); }

    QPoint Centre(QTreeWidgetItem* item)
    {
        CObjectTreeView* view = m_tree.GetTreeView();
        view->scrollToItem(item);
        return view->visualItemRect(item).center();
    }
    void Click(QTreeWidgetItem* item)
    {
        QTest::mouseClick(m_tree.GetTreeView()->viewport(), Qt::LeftButton, {}, Centre(item));
    }
    void DoubleClick(QTreeWidgetItem* item)
    {
        QTest::mouseDClick(m_tree.GetTreeView()->viewport(), Qt::LeftButton, {}, Centre(item));
    }
    // Picks the menu entry with the text for the item under the point; records the
    // enabled entries of the menu shown.
    void RightClick(const QPoint& viewportPoint, const QString& pick = QString())
    {
        ScopedMenuHandler handler([&](QMenu& menu, const QPoint&) -> QAction* {
            ++m_menusShown;
            m_enabledEntries.clear();
            QAction* chosen = nullptr;
            for (QAction* action : menu.actions()) {
                if (action->isEnabled())
                    m_enabledEntries << action->text();
                if (action->text() == pick)
                    chosen = action;
            }
            return chosen;
        });
        QWidget* viewport = m_tree.GetTreeView()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, viewportPoint, viewport->mapToGlobal(viewportPoint));
        QApplication::sendEvent(viewport, &event);
    }

    testing_support::TempFolder m_folder;
    testing_support::BoxRecorder m_boxes;
    WorkspaceMainFrame m_frame;
    CDbTreeCtrl m_tree;
    std::wstring m_path;
    int m_menusShown = 0;
    QStringList m_enabledEntries;
};

// An empty database: the root (the file's path) is expanded and holds the four
// folders, in order, each counting 0.
TEST_F(TreeTest, EmptyDatabaseShowsExpandedRootWithFourEmptyFolders)
{
    Load("PRAGMA user_version = 1;");
    ASSERT_EQ(m_tree.GetTreeView()->topLevelItemCount(), 1);
    EXPECT_EQ(Root()->text(0).toStdWString(), m_path);
    EXPECT_EQ(CDbTreeCtrl::KindOf(Root()), 0);
    EXPECT_TRUE(Root()->isExpanded());
    EXPECT_EQ(Texts(Root()), QStringList({"Table(0)", "Index(0)", "Trigger(0)", "View(0)"}));
    const int kinds[] = {1, 3, 5, 7};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(CDbTreeCtrl::KindOf(Root()->child(i)), kinds[i]);
        EXPECT_EQ(Root()->child(i)->childCount(), 0);
    }
}

// Every table carries a Fields folder with its count and its columns in table order; a
// name holding ']' loads like any other.
TEST_F(TreeTest, TablesCarryTheirFieldsFolders)
{
    Load(kSchema);
    QTreeWidgetItem* tables = Folder(NodeKind::TablesFolder);
    EXPECT_EQ(tables->text(0), "Table(3)");
    EXPECT_EQ(Texts(tables), QStringList({"a]b", "t1", "t2"}));
    struct Case {
        const char* table;
        const char* folder;
        QStringList columns;
    };
    const Case cases[] = {
        {"t1", "Field(2)", {"a", "b"}}, {"t2", "Field(1)", {"x"}}, {"a]b", "Field(3)", {"p", "q", "r"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        QTreeWidgetItem* table = Table(c.table);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(CDbTreeCtrl::KindOf(table), 2);
        ASSERT_EQ(table->childCount(), 1);
        QTreeWidgetItem* fields = table->child(0);
        EXPECT_EQ(CDbTreeCtrl::KindOf(fields), 9);
        EXPECT_EQ(fields->text(0), c.folder);
        EXPECT_EQ(Texts(fields), c.columns);
        for (int i = 0; i < fields->childCount(); ++i)
            EXPECT_EQ(CDbTreeCtrl::KindOf(fields->child(i)), 10);
    }
    EXPECT_EQ(Texts(Folder(NodeKind::IndexesFolder)), QStringList({"i1"}));
    EXPECT_EQ(CDbTreeCtrl::KindOf(Folder(NodeKind::IndexesFolder)->child(0)), 4);
    EXPECT_EQ(CDbTreeCtrl::KindOf(Folder(NodeKind::TriggersFolder)->child(0)), 6);
    EXPECT_EQ(CDbTreeCtrl::KindOf(Folder(NodeKind::ViewsFolder)->child(0)), 8);
    EXPECT_FALSE(Folder(NodeKind::IndexesFolder)->isExpanded());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

// A table whose columns cannot be read (here: the connection is closed) still shows,
// with "Field(0)", and the load goes on.
TEST_F(TreeTest, UnreadableColumnsGiveAnEmptyFieldsFolder)
{
    DestroyDatabaseGlobals();
    CreateDatabaseGlobals();
    g_strDocDbPath = L"/nowhere.db";
    g_arrTableNames = {L"t1", L"t2"};
    ASSERT_NO_THROW(m_tree.LoadTables());
    QTreeWidgetItem* tables = Folder(NodeKind::TablesFolder);
    ASSERT_NE(tables, nullptr);
    EXPECT_EQ(tables->text(0), "Table(2)");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(tables->child(i)->child(0)->text(0), "Field(0)");
        EXPECT_EQ(tables->child(i)->child(0)->childCount(), 0);
    }
}

// The one table behind the context menu and the workspace toolbar, over every kind and
// beyond: Add on folders, Delete and View Schema on objects, View Data on tables and
// views, Rename on tables only.
TEST(ObjectCommandsTable, EnablingByKind)
{
    struct Row {
        int kind;
        bool add, del, schema, data, rename;
    };
    const Row rows[] = {
        {-1, false, false, false, false, false}, {0, false, false, false, false, false},
        {1, true, false, false, false, false},   {2, false, true, true, true, true},
        {3, true, false, false, false, false},   {4, false, true, true, false, false},
        {5, true, false, false, false, false},   {6, false, true, true, false, false},
        {7, true, false, false, false, false},   {8, false, true, true, true, false},
        {9, true, false, false, false, false},   {10, false, false, false, false, false},
        {11, false, false, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        const ObjectCommands c = ObjectCommandsForKind(row.kind);
        EXPECT_EQ(c.bAdd, row.add);
        EXPECT_EQ(c.bDelete, row.del);
        EXPECT_EQ(c.bViewSchema, row.schema);
        EXPECT_EQ(c.bViewData, row.data);
        EXPECT_EQ(c.bRename, row.rename);
    }
}

// The context menu enables its entries by that table for the item under the pointer,
// makes that item current (the pane's buttons hear of it, as after a click), and shows
// nothing over empty space.
TEST_F(TreeTest, ContextMenuFollowsTheItemUnderThePointer)
{
    Load(kSchema);
    RightClick(Centre(Table("t1")));
    EXPECT_EQ(m_menusShown, 1);
    EXPECT_EQ(m_enabledEntries, QStringList({"Delete", "View Schema", "View Data", "Rename"}));
    EXPECT_EQ(m_tree.SelectedItem(), Table("t1"));
    RightClick(Centre(Child(Folder(NodeKind::ViewsFolder), "v1")));
    EXPECT_EQ(m_enabledEntries, QStringList({"Delete", "View Schema", "View Data"}));
    RightClick(Centre(Folder(NodeKind::IndexesFolder)));
    EXPECT_EQ(m_enabledEntries, QStringList({"Add"}));
    RightClick(Centre(Root()));
    EXPECT_TRUE(m_enabledEntries.isEmpty());
    EXPECT_TRUE(m_frame.Requests().empty());
    ASSERT_FALSE(m_frame.messages.empty());
    EXPECT_EQ(m_frame.messages.back().message, UM_TREE_SELECTION);
    EXPECT_EQ(m_frame.messages.back().wParam, static_cast<WPARAM>(NodeKind::DatabaseRoot));

    const int shown = m_menusShown;
    RightClick(QPoint(5, m_tree.GetTreeView()->viewport()->height() - 5));
    EXPECT_EQ(m_menusShown, shown);

    // The menu key: the menu of the item under the mouse pointer, not of the selected one.
    QWidget* viewport = m_tree.GetTreeView()->viewport();
    QCursor::setPos(viewport->mapToGlobal(Centre(Folder(NodeKind::TriggersFolder))));
    ScopedMenuHandler handler([&](QMenu& menu, const QPoint&) -> QAction* {
        ++m_menusShown;
        m_enabledEntries.clear();
        for (QAction* action : menu.actions())
            if (action->isEnabled())
                m_enabledEntries << action->text();
        return nullptr;
    });
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(0, 0), viewport->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(viewport, &key);
    EXPECT_EQ(m_menusShown, shown + 1);
    EXPECT_EQ(m_tree.SelectedItem(), Folder(NodeKind::TriggersFolder));
    EXPECT_EQ(m_enabledEntries, QStringList({"Add"}));
}

// Delete from the menu asks first; No drops nothing, Yes sends the drop with the name.
TEST_F(TreeTest, MenuDeleteConfirmsFirst)
{
    Load(kSchema);
    m_boxes.QueueAnswer(platform::IDNO);
    RightClick(Centre(Table("t2")), "Delete");
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Click Yes button to proceed.");
    EXPECT_EQ(m_boxes.Last().caption, L"Delete Confirmation");
    EXPECT_EQ(m_boxes.Last().style, platform::MB_YESNO | platform::MB_ICONWARNING | platform::MB_DEFBUTTON2);
    EXPECT_TRUE(m_frame.Requests().empty());
    m_boxes.QueueAnswer(platform::IDYES);
    RightClick(Centre(Table("t2")), "Delete");
    ASSERT_EQ(m_frame.Requests().size(), 1u);
    EXPECT_EQ(m_frame.Requests()[0].message, UM_DROP_TABLE);
    EXPECT_EQ(m_frame.Requests()[0].text, L"t2");
}

// Tables added after the load go to the end of their folder, out of name order, and the
// caption counts again; a column joins its table's Fields folder.
TEST_F(TreeTest, AddAppendsAndRecounts)
{
    Load(kSchema);
    testing_support::ExecRaw(m_path, "CREATE TABLE aaa (c1, c2);");
    m_tree.AddTable(L"aaa");
    QTreeWidgetItem* tables = Folder(NodeKind::TablesFolder);
    EXPECT_EQ(Texts(tables), QStringList({"a]b", "t1", "t2", "aaa"}));
    EXPECT_EQ(tables->text(0), "Table(4)");
    EXPECT_EQ(Texts(Table("aaa")->child(0)), QStringList({"c1", "c2"}));
    EXPECT_EQ(Table("aaa")->child(0)->text(0), "Field(2)");

    m_tree.AddIndex(L"i0");
    m_tree.AddTrigger(L"g0");
    m_tree.AddView(L"v0");
    EXPECT_EQ(Folder(NodeKind::IndexesFolder)->text(0), "Index(2)");
    EXPECT_EQ(Texts(Folder(NodeKind::IndexesFolder)), QStringList({"i1", "i0"}));
    EXPECT_EQ(Folder(NodeKind::TriggersFolder)->text(0), "Trigger(2)");
    EXPECT_EQ(Folder(NodeKind::ViewsFolder)->text(0), "View(2)");
    EXPECT_EQ(CDbTreeCtrl::KindOf(Child(Folder(NodeKind::ViewsFolder), "v0")), 8);

    m_tree.AddField(L"T1", L"c");
    EXPECT_EQ(Table("t1")->child(0)->text(0), "Field(3)");
    EXPECT_EQ(Texts(Table("t1")->child(0)), QStringList({"a", "b", "c"}));
    m_tree.AddField(L"missing", L"c");
    EXPECT_EQ(Texts(tables).size(), 4);
}

// Removing matches names with ASCII letters folded, as the engine does; a name that
// is not listed, or differs beyond ASCII case, changes nothing.
TEST_F(TreeTest, RemoveMatchesNamesAsTheEngineDoes)
{
    Load(std::string(kSchema) + "CREATE TABLE [Äx] (z);");
    m_tree.RemoveTable(L"T1");
    EXPECT_EQ(Texts(Folder(NodeKind::TablesFolder)), QStringList({"a]b", "t2", "Äx"}));
    EXPECT_EQ(Folder(NodeKind::TablesFolder)->text(0), "Table(3)");
    m_tree.RemoveTable(L"äx");
    m_tree.RemoveTable(L"nothing");
    EXPECT_EQ(Folder(NodeKind::TablesFolder)->text(0), "Table(3)");
    m_tree.RemoveTable(L"A]B");
    EXPECT_EQ(Texts(Folder(NodeKind::TablesFolder)), QStringList({"t2", "Äx"}));

    m_tree.RemoveIndex(L"I1");
    m_tree.RemoveTrigger(L"G1");
    m_tree.RemoveView(L"V1");
    EXPECT_EQ(Folder(NodeKind::IndexesFolder)->text(0), "Index(0)");
    EXPECT_EQ(Folder(NodeKind::TriggersFolder)->text(0), "Trigger(0)");
    EXPECT_EQ(Folder(NodeKind::ViewsFolder)->text(0), "View(0)");
    m_tree.RemoveView(L"v1");
    EXPECT_EQ(Folder(NodeKind::ViewsFolder)->text(0), "View(0)");
}

// Fault: a temporary trigger may bear the name of the file's trigger in another ASCII case,
// and removing it took the first item equal but for case, the file's trigger. The item of
// the very name goes; the other stays.
TEST_F(TreeTest, RemoveTakesTheItemOfTheVeryNameFirst)
{
    Load(kSchema);
    g_pCurrentDb->ExecuteCmd(L"CREATE TEMP TRIGGER G1 AFTER INSERT ON t1 BEGIN SELECT 2; END");
    m_tree.AddTrigger(L"G1");
    ASSERT_EQ(Texts(Folder(NodeKind::TriggersFolder)), QStringList({"g1", "G1"}));
    m_tree.RemoveTrigger(L"G1");
    EXPECT_EQ(Texts(Folder(NodeKind::TriggersFolder)), QStringList({"g1"}));
    m_tree.AddTrigger(L"G1");
    m_tree.RemoveTrigger(L"g1");
    EXPECT_EQ(Texts(Folder(NodeKind::TriggersFolder)), QStringList({"G1"}));
    EXPECT_EQ(Folder(NodeKind::TriggersFolder)->text(0), "Trigger(1)");
}

// The main frame hears of each new current item once, however it became current (a
// click, the keyboard, a click while clicks are locked), and of none after Clear; while
// clicks are locked a double-click and Enter open nothing.
TEST_F(TreeTest, TheCurrentItemIsReportedHoweverItBecameCurrent)
{
    Load(kSchema);
    Click(Folder(NodeKind::TablesFolder));
    ASSERT_EQ(m_frame.messages.size(), 1u);
    EXPECT_EQ(m_frame.messages[0].message, UM_TREE_SELECTION);
    EXPECT_EQ(m_frame.messages[0].wParam, 1u);
    EXPECT_EQ(m_frame.messages[0].text, L"Table(3)");
    Click(Folder(NodeKind::TablesFolder));
    EXPECT_EQ(m_frame.messages.size(), 1u);

    QTest::keyClick(m_tree.GetTreeView(), Qt::Key_Down);
    ASSERT_EQ(m_frame.messages.size(), 2u);
    EXPECT_EQ(m_frame.messages[1].message, UM_TREE_SELECTION);
    EXPECT_EQ(m_frame.messages[1].wParam, static_cast<WPARAM>(CDbTreeCtrl::KindOf(m_tree.SelectedItem())));
    EXPECT_NE(m_tree.SelectedItem(), Folder(NodeKind::TablesFolder));
    EXPECT_EQ(m_frame.messages[1].text, m_tree.SelectedItem()->text(0).toStdWString());

    platform::SendMessage(&m_tree, UM_TREE_LOCK, 0, 0);
    Click(Table("t2"));
    EXPECT_EQ(m_tree.SelectedItem(), Table("t2"));
    ASSERT_EQ(m_frame.messages.size(), 3u);
    EXPECT_EQ(m_frame.messages[2].text, L"t2");
    DoubleClick(Child(Folder(NodeKind::ViewsFolder), "v1"));
    QTest::keyClick(m_tree.GetTreeView(), Qt::Key_Return);
    EXPECT_TRUE(m_frame.Requests().empty());
    platform::SendMessage(&m_tree, UM_TREE_UNLOCK, 0, 0);
    QTest::keyClick(m_tree.GetTreeView(), Qt::Key_Return);
    ASSERT_EQ(m_frame.Requests().size(), 1u);
    EXPECT_EQ(m_frame.Requests()[0].message, UM_OPEN_VIEW_DATA);

    m_tree.Clear();
    ASSERT_EQ(m_frame.messages.back().message, UM_TREE_SELECTION);
    EXPECT_EQ(static_cast<int>(m_frame.messages.back().wParam), -1);
}

// The keys of the current item: Enter opens it as a double-click does, Delete asks and
// drops it, F2 opens the rename box; each only where the item's kind offers the command.
TEST_F(TreeTest, KeysActOnTheCurrentItem)
{
    Load(kSchema);
    QTreeWidget* view = m_tree.GetTreeView();
    view->setFocus();
    struct Case {
        QTreeWidgetItem* item;
        Qt::Key key;
        UINT message; // 0: none
        int boxes;
    };
    const Case cases[] = {
        {Table("a]b"), Qt::Key_Return, UM_OPEN_TABLE_DATA, 0},
        {Child(Folder(NodeKind::TriggersFolder), "g1"), Qt::Key_Enter, UM_EDIT_TRIGGER, 0},
        {Folder(NodeKind::ViewsFolder), Qt::Key_Return, 0, 0},
        {Child(Folder(NodeKind::IndexesFolder), "i1"), Qt::Key_Delete, UM_DROP_INDEX, 1},
        {Folder(NodeKind::TablesFolder), Qt::Key_Delete, 0, 0},
        {Child(Folder(NodeKind::IndexesFolder), "i1"), Qt::Key_F2, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item->text(0).toStdString() + " " + QKeySequence(c.key).toString().toStdString());
        view->setCurrentItem(c.item);
        m_frame.messages.clear();
        const size_t boxes = m_boxes.Count();
        if (c.boxes)
            m_boxes.QueueAnswer(platform::IDYES);
        QTest::keyClick(view, c.key);
        EXPECT_EQ(m_boxes.Count() - boxes, static_cast<size_t>(c.boxes));
        const auto requests = m_frame.Requests();
        ASSERT_EQ(requests.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(requests[0].message, c.message);
            EXPECT_EQ(requests[0].text, c.item->text(0).toStdWString());
        }
        EXPECT_FALSE(m_tree.GetRenameEdit()->isVisible());
    }
    m_boxes.Clear();

    view->setCurrentItem(Table("t2"));
    QTest::keyClick(view, Qt::Key_F2);
    EXPECT_TRUE(m_tree.GetRenameEdit()->isVisible());
    EXPECT_EQ(m_tree.GetRenameItem(), Table("t2"));
}

// A double-click opens what the item names: a table's or a view's data, the index
// (no action at the frame), the trigger's editor; folders and fields open nothing.
TEST_F(TreeTest, DoubleClickRequests)
{
    Load(kSchema);
    struct Case {
        QTreeWidgetItem* item;
        UINT message;
        const wchar_t* text;
    };
    const Case cases[] = {
        {Table("a]b"), UM_OPEN_TABLE_DATA, L"a]b"},
        {Child(Folder(NodeKind::IndexesFolder), "i1"), UM_OPEN_INDEX, L"i1"},
        {Child(Folder(NodeKind::TriggersFolder), "g1"), UM_EDIT_TRIGGER, L"g1"},
        {Child(Folder(NodeKind::ViewsFolder), "v1"), UM_OPEN_VIEW_DATA, L"v1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.text));
        m_frame.messages.clear();
        DoubleClick(c.item);
        const auto requests = m_frame.Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].message, c.message);
        EXPECT_EQ(requests[0].text, c.text);
    }
    // Empty space below the items: the double-click acts on the item still selected.
    m_frame.messages.clear();
    QWidget* viewport = m_tree.GetTreeView()->viewport();
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(40, viewport->height() - 5));
    ASSERT_EQ(m_frame.Requests().size(), 1u);
    EXPECT_EQ(m_frame.Requests()[0].message, UM_OPEN_VIEW_DATA);

    m_frame.messages.clear();
    DoubleClick(Folder(NodeKind::ViewsFolder));
    DoubleClick(Table("t1")->child(0));
    EXPECT_TRUE(m_frame.Requests().empty());
}

// Add on a Fields folder names that folder's own table, each time; Add, Delete and View
// on kinds they do not serve show the one box and send nothing.
TEST_F(TreeTest, ObjectCommandsOnTheSelectedItem)
{
    Load(kSchema);
    QTreeWidget* view = m_tree.GetTreeView();
    view->setCurrentItem(Table("t1")->child(0));
    m_tree.DoAdd();
    view->setCurrentItem(Table("t2")->child(0));
    m_tree.DoAdd();
    view->setCurrentItem(Folder(NodeKind::TriggersFolder));
    m_tree.DoAdd();
    view->setCurrentItem(Table("t2"));
    m_tree.DoView();
    view->setCurrentItem(Child(Folder(NodeKind::ViewsFolder), "v1"));
    m_tree.DoDelete();
    const auto requests = m_frame.Requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[0].message, UM_NEW_COLUMN);
    EXPECT_EQ(requests[0].text, L"t1");
    EXPECT_EQ(requests[1].text, L"t2");
    EXPECT_EQ(requests[2].message, UM_NEW_TRIGGER);
    EXPECT_EQ(requests[3].message, UM_SHOW_TABLE_SCRIPT);
    EXPECT_EQ(requests[3].text, L"t2");
    EXPECT_EQ(requests[4].message, UM_DROP_VIEW);
    EXPECT_EQ(requests[4].text, L"v1");
    EXPECT_TRUE(m_boxes.Boxes().empty());

    m_frame.messages.clear();
    view->setCurrentItem(Table("t1"));
    m_tree.DoAdd();
    view->setCurrentItem(Root());
    m_tree.DoDelete();
    m_tree.DoView();
    m_tree.DoEdit();
    EXPECT_TRUE(m_frame.Requests().empty());
    ASSERT_EQ(m_boxes.Count(), 4u);
    for (const auto& box : m_boxes.Boxes()) {
        EXPECT_EQ(box.text, L"Invalid Add Command:CDbTreeCtrl::DoAdd()");
        EXPECT_EQ(box.caption, L"Tabulon");
        EXPECT_EQ(box.style, platform::MB_OK);
    }
}

// The rename in place: opened over the item, committed by Enter, by the box's losing the
// focus and by a left click in the tree, dropped by Escape; unchanged or blank names send
// nothing; a refusal keeps the old text and the rename is not offered again; an
// acceptance shows the new name.
TEST_F(TreeTest, RenameIsCommittedByEnterTheFocusLeavingOrAClick)
{
    Load(kSchema);
    QTreeWidget* view = m_tree.GetTreeView();
    QLineEdit* edit = m_tree.GetRenameEdit();
    const auto rename = [&](const QString& table, const QString& typed) {
        view->setCurrentItem(Table(table));
        m_tree.StartRename();
        EXPECT_TRUE(edit->isVisible());
        EXPECT_EQ(edit->text(), table);
        edit->setText(typed);
    };

    rename("t1", "t1");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(m_frame.Requests().empty());

    rename("t1", "   ");
    Click(Table("t2"));
    EXPECT_TRUE(m_frame.Requests().empty());
    EXPECT_NE(Table("t1"), nullptr);

    rename("t1", "dropped");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(m_tree.GetRenameItem(), nullptr);
    Click(Table("t2"));
    EXPECT_TRUE(m_frame.Requests().empty());

    m_frame.renameResult = 0;
    rename("t1", "t9");
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(m_frame.Requests().size(), 1u);
    EXPECT_EQ(m_frame.Requests()[0].names, (std::vector<std::wstring>{L"t1", L"t9"}));
    EXPECT_NE(Table("t1"), nullptr);
    Click(Table("t2"));
    EXPECT_EQ(m_frame.Requests().size(), 1u);

    m_frame.renameResult = 1;
    rename("t1", "T1 new");
    Click(Folder(NodeKind::TablesFolder));
    ASSERT_EQ(m_frame.Requests().size(), 2u);
    EXPECT_EQ(m_frame.Requests()[1].names, (std::vector<std::wstring>{L"t1", L"T1 new"}));
    EXPECT_NE(Table("T1 new"), nullptr);
    EXPECT_EQ(Table("T1 new")->child(0)->text(0), "Field(2)");
    // The click that commits is still a click: its selection notice follows the rename.
    EXPECT_EQ(m_frame.messages.back().message, UM_TREE_SELECTION);
    EXPECT_EQ(m_frame.messages.back().wParam, 1u);

    // The focus going elsewhere commits.
    QLineEdit elsewhere;
    elsewhere.show();
    rename("t2", "t2 moved");
    QApplication::setActiveWindow(&m_tree);
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QApplication::setActiveWindow(&elsewhere);
    elsewhere.setFocus();
    QTRY_COMPARE(m_frame.Requests().size(), 3u);
    EXPECT_EQ(m_frame.Requests()[2].names, (std::vector<std::wstring>{L"t2", L"t2 moved"}));
    EXPECT_FALSE(edit->isVisible());
}

// The rename box stays over its item when the tree scrolls or a folder above it folds.
TEST_F(TreeTest, TheRenameBoxFollowsItsItem)
{
    std::string schema;
    for (int i = 0; i < 60; ++i)
        schema += "CREATE TABLE t" + std::to_string(100 + i) + "(a);";
    Load(schema);
    QTreeWidget* view = m_tree.GetTreeView();
    QTreeWidgetItem* item = Table("t130");
    view->scrollToItem(item);
    view->setCurrentItem(item);
    m_tree.StartRename();
    QLineEdit* edit = m_tree.GetRenameEdit();
    const auto overItem = [&] {
        return view->visualItemRect(item).contains(edit->geometry().center());
    };
    ASSERT_TRUE(overItem());
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + 5);
    EXPECT_TRUE(overItem());
    Table("t100")->setExpanded(true);
    EXPECT_TRUE(overItem());
    EXPECT_EQ(m_tree.GetRenameItem(), item);
}

// A pending rename dies with its item: Clear and the drop of the table cancel it, so a
// later click sends nothing; dropping another table leaves it pending.
TEST_F(TreeTest, RenameDroppedWithItsItem)
{
    Load(kSchema);
    QTreeWidget* view = m_tree.GetTreeView();
    view->setCurrentItem(Table("t1"));
    m_tree.StartRename();
    m_tree.GetRenameEdit()->setText("renamed");
    m_tree.RemoveTable(L"t2");
    EXPECT_NE(m_tree.GetRenameItem(), nullptr);
    m_tree.RemoveTable(L"T1");
    EXPECT_EQ(m_tree.GetRenameItem(), nullptr);
    EXPECT_FALSE(m_tree.GetRenameEdit()->isVisible());
    Click(Table("a]b"));
    EXPECT_TRUE(m_frame.Requests().empty());

    view->setCurrentItem(Table("a]b"));
    m_tree.StartRename();
    m_tree.GetRenameEdit()->setText("renamed");
    m_tree.Clear();
    EXPECT_EQ(view->topLevelItemCount(), 0);
    EXPECT_EQ(m_tree.GetRenameItem(), nullptr);
    EXPECT_FALSE(m_tree.GetRenameEdit()->isVisible());
    m_tree.LoadTables();
    Click(Table("t1"));
    EXPECT_TRUE(m_frame.Requests().empty());
}

} // namespace
