#include "document/grid/clistctrlcombo.h"

#include "document/grid/cplheaderctrl.h"
#include "document/grid/griditemmodel.h"
#include "document/grid/gridgeometry.h"

#include <QApplication>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyleOptionSlider>

#include <algorithm>

// The grid's geometry and scrolling: where lines and cells lie, the scroll ranges, the
// lines that change, and the scrolls that bring a row or a column into view.

// The vertical scroll bar. A jump moves only its slider, so only the slider's old and
// new places are painted again, not the whole bar: a tall repaint costs more than the
// rows it shows, as the raster engine hands tall fills to worker threads.
class CListCtrlCombo::VerticalScrollBar : public QScrollBar {
public:
    explicit VerticalScrollBar(QWidget* parent)
        : QScrollBar(Qt::Vertical, parent)
    {
    }

protected:
    void sliderChange(SliderChange change) override
    {
        // A press or a drag changes more than the slider's place: the whole bar then.
        if (change != SliderValueChange || m_rectPaintedSlider.isNull() || isSliderDown() ||
            QApplication::mouseButtons() != Qt::NoButton) {
            QScrollBar::sliderChange(change);
            return;
        }
        QRegion dirty = Band(m_rectPaintedSlider);
        dirty += Band(SliderRect());
        update(dirty);
    }

    void paintEvent(QPaintEvent* event) override
    {
        QScrollBar::paintEvent(event);
        m_rectPaintedSlider = SliderRect();
    }

private:
    QRect SliderRect() const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    }

    // The slider's rows across the bar's width, with a margin for the outline a style
    // draws around the slider.
    QRect Band(const QRect& slider) const
    {
        constexpr int margin = 3;
        return QRect(0, slider.top() - margin, width(), slider.height() + 2 * margin);
    }

    QRect m_rectPaintedSlider; // where the last paint put the slider
};

void CListCtrlCombo::InitScrolling()
{
    setVerticalScrollBar(new VerticalScrollBar(this));
    // Rows are fetched when the thumb is released, never while it is dragged.
    verticalScrollBar()->setTracking(false);
    connect(m_pModel, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { OnLinesInserted(first, last); });
    connect(m_pModel, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) { OnLinesRemoved(first, last); });
    connect(m_pModel, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) { OnLinesChanged(from.row(), to.row()); });
    connect(m_pModel, &QAbstractItemModel::layoutChanged, this, [this] { viewport()->update(); });
    // Another grid over the same rows is about to delete or sort them: what this grid's
    // open cell holds goes to its row first.
    connect(m_pModel, &GridItemModel::RowsAboutToChange, this, &CListCtrlCombo::CloseCell);
    connect(m_pModel, &GridItemModel::Sorted, this, &CListCtrlCombo::OnSorted);
}

void CListCtrlCombo::SetRowHeight(int height)
{
    m_nRowHeight = std::max(1, height);
    UpdateGeometries();
    viewport()->update();
}

QRect CListCtrlCombo::GetCellRect(int row, int column) const
{
    if (column < 0 || column >= GetColumnCount() || !m_pHeader)
        return QRect();
    // A grid line takes the last pixel row and column of each cell.
    const int line = m_bShowGrid ? 1 : 0;
    return QRect(columnViewportPosition(column), (row - GetTopIndex()) * m_nRowHeight, columnWidth(column) - line,
                 m_nRowHeight - line);
}

int CListCtrlCombo::GetTopIndex() const
{
    return GetItemCount() > 0 ? verticalScrollBar()->value() : 0;
}

int CListCtrlCombo::GetCountPerPage() const
{
    return std::max(1, viewport()->height() / m_nRowHeight);
}

int CListCtrlCombo::rowAt(int y) const
{
    if (y < 0)
        return -1;
    const long long row = GetTopIndex() + static_cast<long long>(y / m_nRowHeight);
    return row < GetItemCount() ? static_cast<int>(row) : -1;
}

int CListCtrlCombo::columnAt(int x) const
{
    return m_pHeader ? m_pHeader->logicalIndexAt(x) : -1;
}

int CListCtrlCombo::columnViewportPosition(int column) const
{
    return m_pHeader ? m_pHeader->sectionViewportPosition(column) : -1;
}

int CListCtrlCombo::columnWidth(int column) const
{
    return m_pHeader ? m_pHeader->sectionSize(column) : 0;
}

void CListCtrlCombo::setColumnWidth(int column, int width)
{
    if (m_pHeader)
        m_pHeader->resizeSection(column, width);
}

void CListCtrlCombo::scrollToTop()
{
    verticalScrollBar()->setValue(0);
}

void CListCtrlCombo::UpdateGeometries()
{
    const int headerHeight = m_pHeader && !m_pHeader->isHidden() ? m_pHeader->sizeHint().height() : 0;
    if (viewportMargins().top() != headerHeight)
        setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    if (m_pHeader)
        m_pHeader->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);
    // The top line scrolls, so the last line can be the last one fully shown.
    const int page = GetCountPerPage();
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(page);
    bar->setSingleStep(1);
    bar->setRange(0, std::max(0, GetItemCount() - page));
    QScrollBar* across = horizontalScrollBar();
    const int length = m_pHeader ? m_pHeader->length() : 0;
    across->setPageStep(area.width());
    across->setSingleStep(std::max(2, area.width() / 20));
    across->setRange(0, std::max(0, length - area.width()));
    if (m_pHeader && m_pHeader->offset() != across->value())
        m_pHeader->setOffset(across->value());
}

void CListCtrlCombo::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateGeometries();
}

QRect CListCtrlCombo::LinesRect(int first, int last) const
{
    const int top = GetTopIndex();
    first = std::max(first, top);
    last = std::min(last, top + GetCountPerPage());
    if (first > last)
        return QRect();
    return QRect(0, (first - top) * m_nRowHeight, viewport()->width(), (last - first + 1) * m_nRowHeight);
}

void CListCtrlCombo::OnLinesInserted(int first, int last)
{
    const int count = last - first + 1;
    if (first < GetItemCount() - count) {
        // Lines came between others: the rows below them move down.
        m_selection.InsertLines(first, count);
        if (m_nCursorRow >= first)
            m_nCursorRow += count;
        if (m_nAnchorRow >= first)
            m_nAnchorRow += count;
        viewport()->update();
    } else {
        viewport()->update(LinesRect(first, last));
    }
    UpdateGeometries();
}

void CListCtrlCombo::OnLinesRemoved(int first, int last)
{
    m_selection.RemoveLines(first, last);
    m_bSelectionRestart = 1;
    const int count = last - first + 1;
    for (int* row : {&m_nCursorRow, &m_nAnchorRow}) {
        if (*row > last)
            *row -= count;
        else if (*row >= first)
            *row = std::min(first, GetItemCount() - 1);
    }
    if (m_nCursorRow < 0)
        m_nCursorColumn = -1;
    UpdateGeometries();
    viewport()->update();
}

void CListCtrlCombo::OnLinesChanged(int first, int last)
{
    viewport()->update(LinesRect(first, last));
}

void CListCtrlCombo::PlaceEditor(QWidget* editor, const QRect& rect, bool show)
{
    editor->setGeometry(rect.translated(viewport()->geometry().topLeft()));
    editor->setVisible(show);
    editor->raise();
}

void CListCtrlCombo::EnsureRowVisible(int row)
{
    if (row < 0 || row >= GetItemCount())
        return;
    const int top = GetTopIndex();
    const int page = GetCountPerPage();
    QScrollBar* bar = verticalScrollBar();
    if (row < top)
        bar->setValue(row);
    else if (row >= top + page)
        bar->setValue(row - page + 1);
}

void CListCtrlCombo::ScrollColumnIntoView(int column)
{
    if (column < 0 || column >= GetColumnCount())
        return;
    QScrollBar* bar = horizontalScrollBar();
    const int scrollPos = bar->value();
    const int left = columnViewportPosition(column) + scrollPos;
    const int right = left + columnWidth(column);
    const int delta = grid::ColumnScrollDelta(left, right, scrollPos, viewport()->width());
    if (delta == 0)
        return;
    m_bOwnScroll = 1;
    bar->setValue(scrollPos + delta);
    // The scroll has ended: the current cell's editor follows its cell.
    m_bOwnScroll = 0;
    if (m_bCellActive)
        BeginEdit(m_nCurrentRow, m_nCurrentColumn, m_nCurrentRow >= GetTopIndex());
}

void CListCtrlCombo::scrollContentsBy(int dx, int dy)
{
    // A scroll the grid did not start for its open cell ends the edit first, so that no
    // editor is ever left over a row it does not edit.
    if (!m_bOwnScroll && (dx != 0 || dy != 0) && m_bCellActive) {
        const bool focused = FocusEditor() && FocusEditor()->hasFocus();
        EndEdit(-1);
        m_nCurrentRow = m_nCurrentColumn = -1;
        if (focused)
            setFocus();
    }
    if (dx != 0 && m_pHeader)
        m_pHeader->setOffset(horizontalScrollBar()->value());
    viewport()->update();
}

void CListCtrlCombo::PageUp()
{
    EnsureRowVisible(grid::PageUpTarget(GetTopIndex(), GetCountPerPage()));
}

void CListCtrlCombo::PageDown()
{
    EnsureRowVisible(grid::PageDownTarget(GetTopIndex(), GetCountPerPage(), GetItemCount()));
}
