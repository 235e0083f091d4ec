#pragma once
// The grid's column header, drawn by the program: a framed gradient per item, the
// centred title, and the sort mark on the sort column. The mark shows the sort state
// that the grid sets; the header only reports clicks. A press within 5 pixels of an
// item's edge is no item press: it may resize or move a column but never sorts. On a
// read-only frame an item press is swallowed.
#include <QColor>
#include <QHeaderView>
#include <QPolygon>

#include <vector>

// What the header reads from the grid frame that owns it.
class HeaderOwner {
public:
    virtual bool IsReadOnly() const = 0;
    virtual QColor GetTextColor() const = 0;
    virtual QColor GetHeaderColor1() const = 0; // top of the items' gradient
    virtual QColor GetHeaderColor2() const = 0; // bottom of the items' gradient
    virtual QColor GetSortMarkColor() const = 0;

protected:
    ~HeaderOwner() = default;
};

// Sort states of the mark.
inline constexpr int SORT_MARK_NONE = 0;       // no direction yet: pointing right
inline constexpr int SORT_MARK_ASCENDING = 1;  // pointing up
inline constexpr int SORT_MARK_DESCENDING = 2; // pointing down

// The height of the header: its default height times 1.2, truncated.
int HeaderHeight(int defaultHeight);
// The first item whose rectangle, narrowed by 5 pixels on the left and on the right,
// holds the point; -1 when none.
int HeaderHitTest(const std::vector<QRect>& items, const QPoint& point);
// The triangle of the sort mark for an item whose top-left corner is topLeft.
QPolygon SortMarkPolygon(const QPoint& topLeft, int sortState);

class CPLHeaderCtrl : public QHeaderView {
    Q_OBJECT
public:
    explicit CPLHeaderCtrl(HeaderOwner* owner, QWidget* parent = nullptr);

    // The grid's sort column and state (SORT_MARK_...); the mark follows at once.
    void SetSortMark(int column, int sortState);
    int GetSortColumn() const { return m_nSortColumn; }
    int GetSortState() const { return m_nSortState; }
    bool IsPressed() const { return m_nPressedItem >= 0; }

    // The logical index of the item whose live zone holds the point, or -1.
    int HitTest(const QPoint& point) const;

    QSize sizeHint() const override;

signals:
    // A click on an item (press and release on it, neither resizing nor moving it); the
    // grid sorts by that column and sets the mark.
    void ItemClicked(int column);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OnSectionClicked(int logicalIndex);
    void RepaintItem(int logicalIndex);

    HeaderOwner* m_pOwner;
    int m_nSortColumn = 0;
    int m_nSortState = SORT_MARK_NONE;
    int m_nPrevSortColumn = 0;
    int m_nPressedItem = -1; // the item pressed and not yet released, highlighted meanwhile
};
