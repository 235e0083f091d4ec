// The relationship diagram: the forest layout's coordinates, the tables it would leave
// out, the table windows over a real schema, lines that follow a drag, and step
// scrolling; and the object pictures the diagram's key comes from.
#include "document/diagram/cdiagramtablewnd.h"
#include "document/pictures/cobjectimagelist.h"
#include "document/diagram/crelationshipdiagram.h"
#include "document/session/currentdatabase.h"
#include "document/diagram/diagramlayout.h"
#include "databasefixture.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <map>

namespace {

// A rectangle by its edges (right and bottom just outside), as the layout is specified.
QRect Edges(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

// A map of (table, parent) pairs, indexed as the program indexes it.
ForeignKeyMap MakeMap(const std::vector<std::pair<std::wstring, std::wstring>>& tables)
{
    ForeignKeyMap map;
    for (const auto& [name, parent] : tables) {
        ForeignKeyMapEntry entry;
        entry.m_strTableName = name;
        entry.m_strParentTable = parent;
        map.m_arrEntries.push_back(entry);
    }
    for (size_t i = 0; i < map.m_arrEntries.size(); ++i) {
        const int parent = map.FindTable(map.m_arrEntries[i].m_strParentTable);
        if (parent != -1)
            map.m_arrEntries[static_cast<size_t>(parent)].m_arrChildren.push_back(static_cast<int>(i));
    }
    map.m_bIndexed = 1;
    return map;
}

std::map<std::wstring, QRect> Rects(const ForeignKeyMap& map, const DiagramLayout& layout)
{
    std::map<std::wstring, QRect> rects;
    for (size_t i = 0; i < map.m_arrEntries.size(); ++i)
        rects[map.m_arrEntries[i].m_strTableName] = layout.m_arrRects[i];
    return rects;
}

bool Overlap(const std::vector<QRect>& rects)
{
    for (size_t i = 0; i < rects.size(); ++i)
        for (size_t j = i + 1; j < rects.size(); ++j)
            if (rects[i].intersects(rects[j]))
                return true;
    return false;
}

} // namespace

// Without foreign keys every table is a root, one below the other.
TEST(DiagramLayout, RootsStandInOneColumn)
{
    const ForeignKeyMap map = MakeMap({{L"a", L""}, {L"b", L""}, {L"c", L""}});
    const DiagramLayout layout = LayoutRelationshipDiagram(map);
    EXPECT_EQ(layout.m_arrRects, (std::vector<QRect>{Edges(10, 10, 150, 78), Edges(10, 98, 160, 166),
                                                      Edges(10, 186, 160, 254)}));
    EXPECT_EQ(layout.m_arrRoots, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(layout.m_nMaxBottom, 342);
    EXPECT_EQ(layout.m_nMaxRight, 160) << "the roots count in the extent across";
}

// Children stand in the row below their parent, 150 apart; a child's own subtree comes
// before its next sibling, which continues in the deepest row that subtree used.
TEST(DiagramLayout, ChildrenAndGrandchildren)
{
    const ForeignKeyMap family = MakeMap({{L"P", L""}, {L"A", L"P"}, {L"B", L"P"}, {L"Q", L""}});
    const DiagramLayout layout = LayoutRelationshipDiagram(family);
    EXPECT_EQ(Rects(family, layout), (std::map<std::wstring, QRect>{{L"P", Edges(10, 10, 150, 78)},
                                                                     {L"A", Edges(10, 98, 150, 166)},
                                                                     {L"B", Edges(160, 98, 300, 166)},
                                                                     {L"Q", Edges(10, 186, 160, 254)}}));
    EXPECT_EQ(layout.m_arrOrder, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(layout.m_nMaxRight, 450) << "one place beyond the last child, as one row below the last row";

    const ForeignKeyMap deep = MakeMap({{L"P", L""}, {L"A", L"P"}, {L"A1", L"A"}, {L"B", L"P"}});
    const std::map<std::wstring, QRect> rects = Rects(deep, LayoutRelationshipDiagram(deep));
    EXPECT_EQ(rects.at(L"A1"), Edges(10, 186, 150, 254));
    EXPECT_EQ(rects.at(L"B"), Edges(160, 186, 300, 254));
}

// Tables the forest leaves out (a key to itself, to a missing table, keys in a cycle)
// follow as further roots: the others keep their places and every table gets a window.
TEST(DiagramLayout, LeftOutTablesFollowAsRoots)
{
    const ForeignKeyMap map = MakeMap(
        {{L"R", L""}, {L"S", L"S"}, {L"X", L"missing"}, {L"C1", L"C2"}, {L"C2", L"C1"}, {L"K", L"r"}});
    const DiagramLayout layout = LayoutRelationshipDiagram(map);
    EXPECT_EQ(Rects(map, layout), (std::map<std::wstring, QRect>{{L"R", Edges(10, 10, 150, 78)},
                                                                  {L"K", Edges(10, 98, 150, 166)},
                                                                  {L"S", Edges(10, 186, 160, 254)},
                                                                  {L"X", Edges(10, 274, 160, 342)},
                                                                  {L"C1", Edges(10, 362, 160, 430)},
                                                                  {L"C2", Edges(10, 450, 160, 518)}}));
    EXPECT_EQ(layout.m_arrRoots, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(layout.m_arrOrder.size(), 6u);
    EXPECT_EQ(layout.m_nMaxBottom, 606);
}

// However the forest branches, no two windows overlap.
TEST(DiagramLayout, WindowsNeverOverlap)
{
    const ForeignKeyMap map = MakeMap({{L"P", L""},   {L"A", L"P"},  {L"B", L"P"},   {L"C", L"P"},   {L"D", L"P"},
                                       {L"A1", L"A"}, {L"A2", L"A"}, {L"A11", L"A1"}, {L"C1", L"C"}, {L"C2", L"C"},
                                       {L"C21", L"C2"}, {L"Q", L""}, {L"Q1", L"Q"},  {L"Q2", L"Q"},  {L"Q11", L"Q1"}});
    const DiagramLayout layout = LayoutRelationshipDiagram(map);
    EXPECT_EQ(layout.m_arrOrder.size(), map.m_arrEntries.size());
    EXPECT_FALSE(Overlap(layout.m_arrRects));
    for (const QRect& rect : layout.m_arrRects) {
        EXPECT_LE(rect.x() + rect.width(), layout.m_nMaxRight);
        EXPECT_LE(rect.y() + rect.height(), layout.m_nMaxBottom);
    }
}

namespace {

// A shop of thirteen tables: orders referred to by three tables (one of them naming it
// in capitals), composite keys, a category tree and a manager chain referring to their
// own table, a key to a table that does not exist, and tables without keys.
const char* const kShop =
    "CREATE TABLE customers(id INTEGER PRIMARY KEY, name TEXT NOT NULL, email TEXT DEFAULT 'none');"
    "CREATE TABLE orders(id INTEGER PRIMARY KEY, customer_id INTEGER NOT NULL REFERENCES customers(id), placed DATE);"
    "CREATE TABLE order_items(order_id INTEGER REFERENCES orders(id), line INTEGER, qty INTEGER DEFAULT 1,"
    "  PRIMARY KEY(order_id, line));"
    "CREATE TABLE products(id INTEGER PRIMARY KEY, name TEXT, category_id REFERENCES categories(id));"
    "CREATE TABLE categories(id INTEGER PRIMARY KEY, name TEXT, parent_id REFERENCES categories(id));"
    "CREATE TABLE employees(id INTEGER PRIMARY KEY, name TEXT, manager_id REFERENCES Employees(id));"
    "CREATE TABLE payments(id INTEGER PRIMARY KEY, order_id REFERENCES ORDERS(id), amount REAL);"
    "CREATE TABLE shipments(id INTEGER PRIMARY KEY, order_id REFERENCES orders(id), carrier TEXT);"
    "CREATE TABLE carriers(id INTEGER PRIMARY KEY, name TEXT);"
    "CREATE TABLE reviews(id INTEGER PRIMARY KEY, product_id REFERENCES products(id), body TEXT);"
    "CREATE TABLE addresses(customer_id REFERENCES customers(id), kind TEXT, line1 TEXT, PRIMARY KEY(customer_id, kind));"
    "CREATE TABLE audit_log(id INTEGER PRIMARY KEY, ts DATETIME, note);"
    "CREATE TABLE legacy(id, ref REFERENCES missing_table(id));";

class RelationshipDiagram : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        ResetDatabaseGlobals();
        ASSERT_NO_FATAL_FAILURE(OpenDatabase(L"shop.db", kShop));
        BuildForeignKeyMap();
    }

    static CDiagramTableWnd* Window(const CRelationshipDiagram& diagram, const std::wstring& table)
    {
        return diagram.GetWindow(g_pForeignKeyMap->FindTable(table));
    }
    static QTreeWidgetItem* Row(CDiagramTableWnd* window, const QString& column)
    {
        const QList<QTreeWidgetItem*> found = window->GetList()->findItems(column, Qt::MatchExactly, 0);
        return found.isEmpty() ? nullptr : found.first();
    }
    static QImage Picture(const QIcon& icon) { return icon.pixmap(OBJECT_IMAGE_SIZE).toImage(); }
    static QLine Link(const QWidget* parent, const QWidget* child)
    {
        const QRect p = parent->geometry();
        return QLine(QPoint(p.x() + p.width(), p.y() + p.height()), child->geometry().topLeft());
    }
    static bool HasLink(const CRelationshipDiagram& diagram, const QLine& line)
    {
        const std::vector<QLine> links = diagram.DiagramLinks();
        return std::find(links.begin(), links.end(), line) != links.end();
    }
};

} // namespace

// Every table of a real schema gets its window with its columns: the key picture beside
// every primary-key column (both of a composite key), "True"/"False" for Not Null, the
// declared type and the default as stored. No windows overlap, a parent named in other
// capitals is found, and each line joins a parent to its child. Saved for a look
// (relationship_diagram.png).
TEST_F(RelationshipDiagram, TablesOfARealSchema)
{
    CRelationshipDiagram diagram;
    diagram.resize(1100, 760);
    diagram.BuildRelationshipDiagram(*g_pForeignKeyMap);
    ASSERT_EQ(diagram.GetWindows().size(), 13u);
    std::vector<QRect> rects;
    for (const CDiagramTableWnd* window : diagram.GetWindows())
        rects.push_back(window->geometry());
    EXPECT_FALSE(Overlap(rects));

    CDiagramTableWnd* items = Window(diagram, L"order_items");
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items->GetTableName(), "order_items");
    QTreeWidget* list = items->GetList();
    ASSERT_EQ(list->columnCount(), 4);
    const QStringList titles = {"Name", "Type", "Not Null", "Default Value"};
    const int widths[] = {80, 80, 60, 60};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list->headerItem()->text(i), titles[i]);
        EXPECT_EQ(list->header()->sectionSize(i), widths[i]);
    }
    ASSERT_EQ(list->topLevelItemCount(), 3);
    const CObjectImageList images;
    const QImage key = Picture(images.GetIcon(OBJECT_IMAGE_INDEX));
    const QImage blank = Picture(images.GetBlankIcon());
    EXPECT_EQ(Picture(Row(items, "order_id")->icon(0)), key);
    EXPECT_EQ(Picture(Row(items, "line")->icon(0)), key);
    EXPECT_EQ(Picture(Row(items, "qty")->icon(0)), blank);
    EXPECT_EQ(Row(items, "qty")->text(1), "INTEGER");
    EXPECT_EQ(Row(items, "qty")->text(3), "1");

    CDiagramTableWnd* customers = Window(diagram, L"customers");
    EXPECT_EQ(Row(customers, "name")->text(2), "True");
    EXPECT_EQ(Row(customers, "email")->text(2), "False");
    EXPECT_EQ(Row(customers, "email")->text(3), "'none'");
    EXPECT_EQ(Row(Window(diagram, L"audit_log"), "note")->text(1), "");

    CDiagramTableWnd* orders = Window(diagram, L"orders");
    for (const wchar_t* child : {L"order_items", L"payments", L"shipments"})
        EXPECT_TRUE(HasLink(diagram, Link(orders, Window(diagram, child)))) << testing_support::Utf8(child);
    EXPECT_TRUE(HasLink(diagram, Link(customers, orders)));
    for (const wchar_t* table : {L"categories", L"employees", L"legacy"})
        EXPECT_NE(Window(diagram, table), nullptr) << testing_support::Utf8(table);
    // The diagram keeps its windows to itself.
    for (const ForeignKeyMapEntry& entry : g_pForeignKeyMap->m_arrEntries)
        EXPECT_EQ(entry.m_pDiagramWnd, nullptr);

    diagram.show();
    diagram.grab().save(QStringLiteral(TABULON_BINARY_DIR "/relationship_diagram.png"));
}

// Two diagrams of one map, one closed and the map built anew: the other keeps drawing
// its own windows, and a second build of a diagram changes nothing.
TEST_F(RelationshipDiagram, EachDiagramOwnsItsState)
{
    auto first = std::make_unique<CRelationshipDiagram>();
    CRelationshipDiagram second;
    first->BuildRelationshipDiagram(*g_pForeignKeyMap);
    second.BuildRelationshipDiagram(*g_pForeignKeyMap);
    const std::vector<QLine> links = second.DiagramLinks();
    ASSERT_FALSE(links.empty());
    first.reset();
    BuildForeignKeyMap();
    g_pForeignKeyMap->m_arrEntries.clear();
    EXPECT_EQ(second.DiagramLinks(), links);
    second.BuildRelationshipDiagram(*g_pForeignKeyMap);
    EXPECT_EQ(second.GetWindows().size(), 13u);
}

// Dragging a table window by its caption moves it; the lines to its parent and from it
// to its children follow, and so does a resize.
TEST_F(RelationshipDiagram, LinesFollowADrag)
{
    CRelationshipDiagram diagram;
    diagram.resize(1100, 760);
    diagram.BuildRelationshipDiagram(*g_pForeignKeyMap);
    diagram.show();
    CDiagramTableWnd* orders = Window(diagram, L"orders");
    CDiagramTableWnd* customers = Window(diagram, L"customers");
    CDiagramTableWnd* payments = Window(diagram, L"payments");
    const QPoint start = orders->pos();

    const QPoint grip = orders->GetCaption()->geometry().center();
    QTest::mousePress(orders, Qt::LeftButton, {}, grip);
    QTest::mouseMove(orders, grip + QPoint(120, 60));
    EXPECT_EQ(orders->pos(), start + QPoint(120, 60));
    EXPECT_TRUE(HasLink(diagram, Link(customers, orders)));
    QTest::mouseMove(orders, grip + QPoint(80, 40));
    QTest::mouseRelease(orders, Qt::LeftButton, {}, grip);
    EXPECT_EQ(orders->pos(), start + QPoint(200, 100));
    EXPECT_TRUE(HasLink(diagram, Link(customers, orders)));
    EXPECT_TRUE(HasLink(diagram, Link(orders, payments)));

    orders->resize(orders->width() + 50, orders->height() + 30);
    EXPECT_TRUE(HasLink(diagram, Link(orders, payments)));
    // A press on the list does not move the window.
    QTest::mousePress(orders->GetList()->viewport(), Qt::LeftButton);
    QTest::mouseRelease(orders->GetList()->viewport(), Qt::LeftButton);
    EXPECT_EQ(orders->pos(), start + QPoint(200, 100));
}

// The bars move the contents 40 pixels across and 30 down a step, never past the
// ends; the largest positions bring the layout's far edges just into view; the thumb
// moves the contents too, and a resize that makes the layout fit scrolls it back.
TEST_F(RelationshipDiagram, ScrollsInSteps)
{
    CRelationshipDiagram diagram;
    diagram.resize(260, 300);
    diagram.BuildRelationshipDiagram(*g_pForeignKeyMap);
    diagram.show();
    const DiagramLayout& layout = diagram.GetLayout();
    QScrollBar* across = diagram.horizontalScrollBar();
    QScrollBar* down = diagram.verticalScrollBar();
    const QSize view = diagram.viewport()->size();
    ASSERT_GT(diagram.GetHScrollMax(), 0);
    ASSERT_GT(diagram.GetVScrollMax(), 0);
    // Just enough steps: the far edges come into view at the largest position, not before.
    EXPECT_LE(layout.m_nMaxRight - 40 * diagram.GetHScrollMax(), view.width());
    EXPECT_GT(layout.m_nMaxRight - 40 * (diagram.GetHScrollMax() - 1), view.width());
    EXPECT_LE(layout.m_nMaxBottom - 30 * diagram.GetVScrollMax(), view.height());
    EXPECT_GT(layout.m_nMaxBottom - 30 * (diagram.GetVScrollMax() - 1), view.height());

    QWidget* first = diagram.GetWindows().front();
    const QPoint home = first->pos();
    const std::vector<QLine> lines = diagram.DiagramLinks();
    across->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(first->pos(), home - QPoint(40, 0));
    across->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(first->pos(), home - QPoint(80, 0));
    for (int i = 0; i < diagram.GetHScrollMax() + 3; ++i)
        across->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(diagram.GetHScrollPos(), diagram.GetHScrollMax());
    EXPECT_EQ(first->pos(), home - QPoint(40 * diagram.GetHScrollMax(), 0));
    across->triggerAction(QAbstractSlider::SliderToMinimum);
    across->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(first->pos(), home);

    down->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    down->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(first->pos(), home - QPoint(0, 60));
    std::vector<QLine> moved;
    for (const QLine& line : lines)
        moved.push_back(line.translated(0, -60));
    EXPECT_EQ(diagram.DiagramLinks(), moved);
    down->setValue(5); // the thumb dragged
    EXPECT_EQ(first->pos(), home - QPoint(0, 150));

    diagram.resize(layout.m_nMaxRight + 100, layout.m_nMaxBottom + 100);
    EXPECT_EQ(diagram.GetHScrollMax(), 0);
    EXPECT_EQ(diagram.GetVScrollMax(), 0);
    EXPECT_EQ(first->pos(), home);
    EXPECT_EQ(diagram.DiagramLinks(), lines);
}

// The strip holds nine pictures: seven drawn, each its own, and two empty places.
TEST(ObjectImageList, NinePicturesByIndex)
{
    const CObjectImageList images;
    ASSERT_EQ(images.GetImageCount(), OBJECT_IMAGE_COUNT);
    const QImage blank = images.GetBlankIcon().pixmap(OBJECT_IMAGE_SIZE).toImage();
    std::vector<QImage> drawn;
    for (int i = 0; i < OBJECT_IMAGE_COUNT; ++i) {
        const QImage picture = images.GetIcon(i).pixmap(OBJECT_IMAGE_SIZE).toImage();
        EXPECT_EQ(picture.size(), QSize(16, 16));
        if (i == 1 || i == 5) {
            EXPECT_EQ(picture, blank) << i;
            continue;
        }
        EXPECT_NE(picture, blank) << i;
        for (const QImage& other : drawn)
            EXPECT_NE(picture, other) << i;
        drawn.push_back(picture);
    }
    EXPECT_TRUE(images.GetIcon(-1).isNull());
    EXPECT_TRUE(images.GetIcon(OBJECT_IMAGE_COUNT).isNull());
    // Sharp on a high-density screen: a picture of its own at twice the size.
    EXPECT_EQ(images.GetIcon(OBJECT_IMAGE_TABLE).pixmap(QSize(32, 32)).size(), QSize(32, 32));
}
