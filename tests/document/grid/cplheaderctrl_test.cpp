#include "document/grid/cplheaderctrl.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include <cstdlib>
#include <memory>

namespace {

const QColor kHeader1(160, 160, 158);
const QColor kHeader2(192, 200, 200);
const QColor kSortMark(20, 120, 240);

class TestFrame : public HeaderOwner {
public:
    bool readOnly = false;
    bool IsReadOnly() const override { return readOnly; }
    QColor GetTextColor() const override { return Qt::black; }
    QColor GetHeaderColor1() const override { return kHeader1; }
    QColor GetHeaderColor2() const override { return kHeader2; }
    QColor GetSortMarkColor() const override { return kSortMark; }
};

TEST(HeaderGeometry, HeightIsDefaultTimesOnePointTwoTruncated)
{
    const int cases[][2] = {{20, 24}, {21, 25}, {24, 28}, {25, 30}, {0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(HeaderHeight(c[0]), c[1]) << c[0];
}

// Catches a dead zone of the wrong width or on one side only, and a hit on an item too
// narrow to have a live zone.
TEST(HeaderGeometry, HitTestLeavesFivePixelsAtEachEdge)
{
    const std::vector<QRect> items = {QRect(0, 0, 100, 20), QRect(100, 0, 50, 20), QRect(150, 0, 10, 20)};
    const struct {
        int x, y, item;
    } cases[] = {
        {4, 10, -1},  {5, 10, 0},    {94, 10, 0},   {95, 10, -1}, {104, 10, -1}, {105, 10, 1},
        {144, 10, 1}, {145, 10, -1}, {155, 10, -1}, {50, 20, -1}, {50, 0, 0},    {200, 10, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HeaderHitTest(items, QPoint(c.x, c.y)), c.item) << c.x << "," << c.y;
}

TEST(HeaderGeometry, SortMarkCorners)
{
    const QPoint corner(100, 2);
    EXPECT_EQ(SortMarkPolygon(corner, SORT_MARK_NONE), QPolygon({QPoint(101, 3), QPoint(109, 10), QPoint(101, 17)}));
    EXPECT_EQ(SortMarkPolygon(corner, SORT_MARK_ASCENDING), QPolygon({QPoint(101, 11), QPoint(108, 3), QPoint(115, 11)}));
    EXPECT_EQ(SortMarkPolygon(corner, SORT_MARK_DESCENDING), QPolygon({QPoint(101, 3), QPoint(108, 11), QPoint(115, 3)}));
}

// A shown header of three 100-pixel columns, with a grid stand-in that sorts on every
// click the way the grid does: one toggle for the whole header, ascending first.
class Header : public testing::Test {
protected:
    void SetUp() override
    {
        model.setColumnCount(3);
        model.setHorizontalHeaderLabels({"id", "name", "a very long column title that does not fit"});
        header = std::make_unique<CPLHeaderCtrl>(&frame);
        header->setModel(&model);
        for (int column = 0; column < 3; ++column)
            header->resizeSection(column, 100);
        header->resize(400, header->sizeHint().height());
        header->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(header.get()));
        QObject::connect(header.get(), &CPLHeaderCtrl::ItemClicked, [this](int column) {
            clicks.push_back(column);
            toggle = !toggle;
            header->SetSortMark(column, toggle ? SORT_MARK_ASCENDING : SORT_MARK_DESCENDING);
        });
    }

    void Click(int x) { QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 8)); }

    // Whether the pixel at the offset from the item's top-left corner has the mark's colour.
    bool MarkAt(int column, int dx, int dy) const
    {
        const QImage image = header->viewport()->grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        const int x = header->sectionViewportPosition(column) + dx;
        return image.pixelColor(int(x * ratio), int(dy * ratio)).rgb() == kSortMark.rgb();
    }

    // The mark's shape by three probe points: 'R' right, 'U' up, 'D' down, '-' none.
    char MarkShape(int column) const
    {
        const bool lowLeft = MarkAt(column, 3, 8);
        const bool highLeft = MarkAt(column, 3, 2);
        const bool lowRight = MarkAt(column, 12, 8);
        if (lowLeft && !highLeft && !lowRight)
            return 'R';
        if (lowLeft && !highLeft && lowRight)
            return 'U';
        if (!lowLeft && highLeft)
            return 'D';
        return lowLeft || highLeft || lowRight ? '?' : '-';
    }

    TestFrame frame;
    QStandardItemModel model;
    std::unique_ptr<CPLHeaderCtrl> header;
    std::vector<int> clicks;
    bool toggle = false;
};

// Catches a mark that does not alternate whichever column is pressed, a first press that
// sorts descending, and a mark left on the previous column.
TEST_F(Header, MarkSequenceFollowsTheClicks)
{
    EXPECT_EQ(header->GetSortColumn(), 0);
    EXPECT_EQ(header->GetSortState(), SORT_MARK_NONE);
    EXPECT_EQ(MarkShape(0), 'R');
    EXPECT_EQ(MarkShape(1), '-');

    const struct {
        int x;
        int column;
        char shape;
    } presses[] = {{150, 1, 'U'}, {150, 1, 'D'}, {50, 0, 'U'}, {250, 2, 'D'}, {150, 1, 'U'}};
    for (const auto& press : presses) {
        Click(press.x);
        EXPECT_EQ(clicks.back(), press.column);
        EXPECT_EQ(header->GetSortColumn(), press.column);
        QTRY_COMPARE(MarkShape(press.column), press.shape);
        for (int other = 0; other < 3; ++other) {
            if (other != press.column) {
                EXPECT_EQ(MarkShape(other), '-') << "column " << other;
            }
        }
    }
    EXPECT_EQ(clicks.size(), 5u);
    EXPECT_FALSE(header->IsPressed());
}

// Catches a dead-zone press that sorts (the default processing reports a click for it)
// and a divider drag there that does not resize.
TEST_F(Header, DeadZonePressResizesButNeverSorts)
{
    QSignalSpy pressed(header.get(), &QHeaderView::sectionPressed);
    for (int x : {104, 195, 2})
        Click(x);
    EXPECT_TRUE(clicks.empty());
    EXPECT_GE(pressed.count(), 1) << "the dead-zone press did not reach the default processing";
    EXPECT_EQ(header->GetSortState(), SORT_MARK_NONE);

    // A drag from the divider between columns 0 and 1.
    QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(99, 8));
    QTest::mouseMove(header->viewport(), QPoint(130, 8));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(130, 8));
    EXPECT_EQ(header->sectionSize(0), 131);
    EXPECT_TRUE(clicks.empty());
}

// Catches a read-only frame that sorts or changes the mark, and a read-only frame that
// also swallows dead-zone presses (dividers must still work).
TEST_F(Header, ReadOnlyFrameSwallowsItemPresses)
{
    frame.readOnly = true;
    QSignalSpy pressed(header.get(), &QHeaderView::sectionPressed);
    QSignalSpy clicked(header.get(), &QHeaderView::sectionClicked);
    Click(150);
    Click(50);
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(pressed.count(), 0);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_FALSE(header->IsPressed());
    EXPECT_EQ(MarkShape(0), 'R');

    Click(104);
    EXPECT_EQ(pressed.count(), 1);
    EXPECT_TRUE(clicks.empty());
}

// Catches a pressed highlight that stays on after a release outside every live zone.
TEST_F(Header, PressedHighlightEndsWithAnyRelease)
{
    QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 8));
    EXPECT_TRUE(header->IsPressed());
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(198, 8));
    EXPECT_FALSE(header->IsPressed());
    EXPECT_EQ(clicks, std::vector<int>{1}) << "a release on the pressed item is a click";
}

// Catches a header as high as the default one, and items painted without the 3-D frame.
TEST_F(Header, HeightAndFramePixels)
{
    QHeaderView plain(Qt::Horizontal);
    plain.setModel(&model);
    plain.setFont(header->font());
    EXPECT_EQ(header->sizeHint().height(), HeaderHeight(plain.sizeHint().height()));

    const QImage image = header->viewport()->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    auto at = [&](int x, int y) { return image.pixelColor(int(x * ratio), int(y * ratio)).rgb(); };
    const int bottom = header->viewport()->height() - 1;
    EXPECT_EQ(at(150, 0), QColor(192, 222, 192).rgb());
    EXPECT_EQ(at(100, bottom / 2), QColor(192, 222, 192).rgb());
    EXPECT_EQ(at(150, bottom), QColor(128, 111, 128).rgb());
    EXPECT_EQ(at(199, bottom / 2), QColor(128, 111, 128).rgb());
    // The gradient runs from the first header colour at the top to the second at the bottom.
    auto near = [&](int x, int y, const QColor& expected) {
        const QColor c = image.pixelColor(int(x * ratio), int(y * ratio));
        return std::abs(c.red() - expected.red()) <= 4 && std::abs(c.green() - expected.green()) <= 4 &&
               std::abs(c.blue() - expected.blue()) <= 4;
    };
    EXPECT_TRUE(near(120, 1, kHeader1));
    EXPECT_TRUE(near(120, bottom - 1, kHeader2));
}

} // namespace
