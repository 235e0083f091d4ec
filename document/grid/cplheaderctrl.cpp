#include "document/grid/cplheaderctrl.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Width of the dead zone at each edge of an item.
constexpr int kDeadZone = 5;

const QColor kFrameTopLeft(192, 222, 192);
const QColor kFrameBottomRight(128, 111, 128);
// The light veil over the item under the pressed button.
const QColor kPressedHighlight(255, 255, 255, 96);

} // namespace

int HeaderHeight(int defaultHeight) { return defaultHeight * 12 / 10; }

int HeaderHitTest(const std::vector<QRect>& items, const QPoint& point)
{
    for (size_t index = 0; index < items.size(); ++index)
        if (items[index].adjusted(kDeadZone, 0, -kDeadZone, 0).contains(point))
            return static_cast<int>(index);
    return -1;
}

QPolygon SortMarkPolygon(const QPoint& topLeft, int sortState)
{
    const int l = topLeft.x();
    const int t = topLeft.y();
    switch (sortState) {
    case SORT_MARK_ASCENDING: return QPolygon({QPoint(l + 1, t + 9), QPoint(l + 8, t + 1), QPoint(l + 15, t + 9)});
    case SORT_MARK_DESCENDING: return QPolygon({QPoint(l + 1, t + 1), QPoint(l + 8, t + 9), QPoint(l + 15, t + 1)});
    default: return QPolygon({QPoint(l + 1, t + 1), QPoint(l + 9, t + 8), QPoint(l + 1, t + 15)});
    }
}

CPLHeaderCtrl::CPLHeaderCtrl(HeaderOwner* owner, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
    , m_pOwner(owner)
{
    setSectionsClickable(true);
    connect(this, &QHeaderView::sectionClicked, this, &CPLHeaderCtrl::OnSectionClicked);
}

void CPLHeaderCtrl::SetSortMark(int column, int sortState)
{
    m_nSortColumn = column;
    m_nSortState = sortState;
    RepaintItem(m_nPrevSortColumn);
    RepaintItem(column);
    m_nPrevSortColumn = column;
}

int CPLHeaderCtrl::HitTest(const QPoint& point) const
{
    std::vector<QRect> items;
    items.reserve(static_cast<size_t>(count()));
    for (int logical = 0; logical < count(); ++logical)
        items.emplace_back(sectionViewportPosition(logical), 0, isSectionHidden(logical) ? 0 : sectionSize(logical), height());
    return HeaderHitTest(items, point);
}

QSize CPLHeaderCtrl::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    size.setHeight(HeaderHeight(size.height()));
    return size;
}

void CPLHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    painter->save();

    // A 3-D frame, and inside it a vertical gradient between the frame's header colours.
    painter->fillRect(QRect(rect.left(), rect.top(), rect.width() - 1, 1), kFrameTopLeft);
    painter->fillRect(QRect(rect.left(), rect.top(), 1, rect.height() - 1), kFrameTopLeft);
    painter->fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), kFrameBottomRight);
    painter->fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), kFrameBottomRight);
    const QRect inside = rect.adjusted(1, 1, -1, -1);
    QLinearGradient gradient(inside.topLeft(), inside.bottomLeft());
    gradient.setColorAt(0, m_pOwner->GetHeaderColor1());
    gradient.setColorAt(1, m_pOwner->GetHeaderColor2());
    painter->fillRect(inside, gradient);

    // The title, centred on one line with an end ellipsis.
    const QRect textRect = rect.adjusted(0, 0, 2, 0);
    const QString title = model() ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString() : QString();
    painter->setPen(m_pOwner->GetTextColor());
    painter->setFont(font());
    painter->drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine,
                      painter->fontMetrics().elidedText(title, Qt::ElideRight, textRect.width()));

    if (logicalIndex == m_nSortColumn) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(m_pOwner->GetSortMarkColor());
        painter->drawPolygon(SortMarkPolygon(rect.topLeft(), m_nSortState));
    }
    if (logicalIndex == m_nPressedItem)
        painter->fillRect(rect, kPressedHighlight);

    painter->restore();
}

void CPLHeaderCtrl::mousePressEvent(QMouseEvent* event)
{
    const int item = event->button() == Qt::LeftButton ? HitTest(event->position().toPoint()) : -1;
    if (item < 0) {
        // The dead zone and other buttons: dividers and column moves work, no sorting.
        QHeaderView::mousePressEvent(event);
        return;
    }
    if (m_pOwner->IsReadOnly()) {
        event->accept(); // no state change, no click, no sorting
        return;
    }
    m_nPressedItem = item;
    RepaintItem(item);
    QHeaderView::mousePressEvent(event);
}

void CPLHeaderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    QHeaderView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || m_nPressedItem < 0)
        return;
    // The highlight ends with every release, wherever the button comes up.
    const int item = m_nPressedItem;
    m_nPressedItem = -1;
    RepaintItem(item);
}

void CPLHeaderCtrl::OnSectionClicked(int logicalIndex)
{
    // Only the press of an item's live zone makes a click; the default processing of a
    // dead-zone press reports one too, which must not sort.
    if (logicalIndex == m_nPressedItem)
        emit ItemClicked(logicalIndex);
}

void CPLHeaderCtrl::RepaintItem(int logicalIndex)
{
    if (logicalIndex >= 0 && logicalIndex < count())
        viewport()->update(QRect(sectionViewportPosition(logicalIndex), 0, sectionSize(logicalIndex), viewport()->height()));
}
