#include "document/grid/clistctrlcombo.h"

#include "data/settings.h"
#include "document/grid/clistframe.h"
#include "document/grid/cplheaderctrl.h"
#include "document/grid/griditemmodel.h"
#include "document/grid/gridgeometry.h"
#include "platform/utf16.h"

#include <QPainter>
#include <QPaintEvent>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>

// The grid's painting: the cell painter, the paint of the lines on screen, the cell
// font and the width a column's visible texts need.

namespace {

constexpr wchar_t TXT_BROWSE_BUTTON[] = L"...";

QColor FromColorRef(unsigned ref)
{
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

} // namespace

// Paints every cell itself: stripes, borders, selection, check boxes, browse buttons and
// texts. The current cell shows its content only; its editor covers it.
class CListCtrlCombo::CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(CListCtrlCombo* grid)
        : QStyledItemDelegate(grid)
        , m_pGrid(grid)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        CListCtrlCombo* grid = m_pGrid;
        CListFrame* frame = grid->m_pOwnerFrame;
        const int row = index.row();
        const int column = index.column();
        if (column < 0 || column >= grid->GetColumnCount())
            return;
        const GridColumn& col = grid->m_arrColumns[column];
        const bool current = grid->m_bCellActive && row == grid->m_nCurrentRow && column == grid->m_nCurrentColumn;
        QRect rect = option.rect;
        if (grid->horizontalHeader()->visualIndex(column) == 0 && rect.left() > 1)
            rect.setLeft(rect.left() - 2);

        // Plain fills only: a selected cell is the highlight colour in a border, any
        // other the stripe colour of its row, in a border unless a divider is dragged.
        if (!current) {
            if (option.state & QStyle::State_Selected)
                FillFramed(painter, rect, grid->palette().color(QPalette::Active, QPalette::Highlight),
                           grid->m_brCellBorder.color());
            else if (!grid->m_bDividerTracking && frame->m_bCellBorder)
                FillFramed(painter, rect, FromColorRef(row % 2 == 0 ? g_clrEvenRow : g_clrOddRow),
                           grid->m_brCellBorder.color());
            else
                painter->fillRect(rect, FromColorRef(row % 2 == 0 ? g_clrEvenRow : g_clrOddRow));
        }

        const QString text = index.data(Qt::DisplayRole).toString();
        if (col.m_nEditorKind == GRID_CHECK_BOX) {
            if (!grid->m_bDividerTracking) {
                QStyleOptionButton check;
                check.rect = grid::CheckBoxDrawBox(rect);
                check.state = QStyle::State_Enabled | (text == QLatin1String("1") ? QStyle::State_On : QStyle::State_Off);
                painter->save();
                grid->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &check, painter, grid);
                painter->restore();
            }
        } else if (col.m_nEditorKind == GRID_BUTTON) {
            const QRect inner = rect.adjusted(1, 1, -1, -1);
            QStyleOptionButton button;
            button.rect = inner;
            button.text = platform::ToQString(TXT_BROWSE_BUTTON);
            button.state = QStyle::State_Enabled | QStyle::State_Raised;
            if (current)
                button.state |= QStyle::State_MouseOver;
            painter->save();
            grid->style()->drawControl(QStyle::CE_PushButton, &button, painter, grid);
            painter->restore();
            FillFrame(painter, inner, grid->m_brCellBorder.color());
        } else {
            // The painter keeps the cell font and text colour from one cell to the next.
            if (painter->font() != frame->m_fontCell)
                painter->setFont(frame->m_fontCell);
            const QColor textColor = FromColorRef(g_clrText);
            if (painter->pen().color() != textColor || painter->pen().style() != Qt::SolidLine)
                painter->setPen(textColor);
            const QRect textRect = rect.adjusted(frame->m_nTextMargin, 0, 0, 0);
            const FontMeasures& measures = Measures(painter);
            // Laying out the elided text costs more than the drawing: only a text that
            // may not fit is measured.
            const bool mayNotFit = static_cast<qint64>(text.size()) * measures.maxCharWidth > textRect.width();
            const QString shown =
                mayNotFit ? painter->fontMetrics().elidedText(text, Qt::ElideRight, textRect.width()) : text;
            if (col.m_nTextFormat == Qt::AlignLeft && IsPlainLine(shown) &&
                measures.lineHeight <= textRect.height()) {
                // A plain line drawn at the baseline a rectangle would give it: the same
                // glyphs in the same place, without the line layout.
                const qreal top = textRect.top() + (textRect.height() - measures.lineHeight) / 2;
                painter->drawText(QPointF(textRect.left(), top + measures.baselineFromTop), shown);
            } else {
                painter->drawText(textRect, col.m_nTextFormat | Qt::AlignVCenter | Qt::TextSingleLine, shown);
            }
        }
        // The keyboard's current cell, while the grid has the focus, is framed.
        if (!current && (option.state & QStyle::State_HasFocus) && rect.width() > 4 && rect.height() > 4) {
            painter->save();
            QPen pen(FromColorRef(g_clrText));
            pen.setStyle(Qt::DotLine);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(rect.adjusted(1, 1, -2, -2));
            painter->restore();
        }
    }

    // The width a cell's content needs: its text in the cell font with the margins, a
    // check box or a browse button.
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        const int height = m_pGrid->GetRowHeight();
        const int column = index.column();
        if (column < 0 || column >= m_pGrid->GetColumnCount())
            return QSize(0, height);
        const CListFrame* frame = m_pGrid->m_pOwnerFrame;
        const GridEditorKind kind = m_pGrid->m_arrColumns[column].m_nEditorKind;
        if (kind == GRID_CHECK_BOX)
            return QSize(grid::CheckBoxDrawBox(QRect(0, 0, 100, height)).width() + 2 * frame->m_nTextMargin, height);
        const QFontMetrics metrics(frame->m_fontCell, m_pGrid);
        const QString text =
            kind == GRID_BUTTON ? platform::ToQString(TXT_BROWSE_BUTTON) : index.data(Qt::DisplayRole).toString();
        return QSize(metrics.horizontalAdvance(text) + 2 * frame->m_nTextMargin + 2, height);
    }

private:
    // rect filled with a one-pixel border: the inside and the four edges, each pixel
    // written once.
    static void FillFramed(QPainter* painter, const QRect& rect, const QColor& fill, const QColor& border)
    {
        if (rect.width() <= 2 || rect.height() <= 2) {
            painter->fillRect(rect, border);
            return;
        }
        painter->fillRect(rect.adjusted(1, 1, -1, -1), fill);
        FillFrame(painter, rect, border);
    }

    // The one-pixel outline a 1-pixel pen draws around rect.adjusted(0, 0, -1, -1),
    // as four fills: the same pixels without the raster engine's stroker.
    static void FillFrame(QPainter* painter, const QRect& rect, const QColor& color)
    {
        if (rect.width() <= 0 || rect.height() <= 0)
            return;
        painter->fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), color);
        painter->fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), color);
        painter->fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), color);
        painter->fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), color);
    }

    // What the text drawing needs of the painter's font, measured once per font.
    struct FontMeasures {
        int maxCharWidth = 0;   // the widest character
        qreal lineHeight = 0;   // a laid-out line: leading above, ascent and descent
        qreal baselineFromTop = 0;
    };

    const FontMeasures& Measures(QPainter* painter) const
    {
        if (painter->font() != m_fontMeasured) {
            m_fontMeasured = painter->font();
            const QFontMetricsF metrics(m_fontMeasured, painter->device());
            m_measures.maxCharWidth = painter->fontMetrics().maxWidth();
            // A rectangle's line starts below the leading, rounded up to a whole pixel.
            const qreal leading = std::ceil(static_cast<qreal>(painter->fontMetrics().leading()));
            m_measures.baselineFromTop = leading + metrics.ascent();
            m_measures.lineHeight = leading + metrics.ascent() + metrics.descent();
        }
        return m_measures;
    }

    // A single line that a rectangle's layout would draw as one left-to-right run of
    // glyphs: printable Latin-1 and the ellipsis of an elided text, no line breaks, tabs
    // or control characters.
    static bool IsPlainLine(const QString& text)
    {
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x20 || (u >= 0x7F && u < 0xA0) || (u > 0xFF && u != 0x2026))
                return false;
        }
        return true;
    }

    CListCtrlCombo* m_pGrid;
    mutable QFont m_fontMeasured;
    mutable FontMeasures m_measures;
};

void CListCtrlCombo::InitPainting()
{
    m_pDelegate = new CellDelegate(this);
    // The grid paints its whole viewport itself (see paintEvent): no background fill first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setBackgroundRole(QPalette::Base);
}

void CListCtrlCombo::paintEvent(QPaintEvent* event)
{
    UpdateFonts();
    const GridItemModel::ViewportScope read(*m_pModel);
    QPainter painter(viewport());
    const QRegion region = event->region();
    const QBrush background = viewport()->palette().brush(viewport()->backgroundRole());
    const int lines = GetItemCount();
    const int columns = m_pModel->columnCount();
    const int top = GetTopIndex();
    if (lines == 0 || columns == 0 || !m_pHeader) {
        for (const QRect& rect : region)
            painter.fillRect(rect, background);
        return;
    }
    // The lines and columns the region touches.
    const QRect bounds = region.boundingRect();
    const int firstRow = top + std::max(0, bounds.top()) / m_nRowHeight;
    const int lastRow = std::min(lines - 1, top + std::max(0, bounds.bottom()) / m_nRowHeight);
    int firstVisual = m_pHeader->visualIndexAt(bounds.left());
    int lastVisual = m_pHeader->visualIndexAt(bounds.right());
    if (firstVisual < 0)
        firstVisual = 0;
    if (lastVisual < 0)
        lastVisual = columns - 1;

    // Every cell is painted whole by the cell painter, but for the current cell; the
    // rest of the region gets the viewport's background.
    QRegion uncovered = region;
    const int left = -m_pHeader->offset();
    const int right = m_pHeader->length() - m_pHeader->offset();
    uncovered -= QRect(left, 0, right - left, std::min(lines - top, GetCountPerPage() + 1) * m_nRowHeight);
    if (m_bCellActive && m_nCurrentRow >= 0 && m_nCurrentRow < lines && m_nCurrentColumn >= 0 &&
        m_nCurrentColumn < columns)
        uncovered += GetCellRect(m_nCurrentRow, m_nCurrentColumn) & bounds;
    for (const QRect& rect : uncovered)
        painter.fillRect(rect, background);

    QStyleOptionViewItem option;
    option.initFrom(this);
    option.state &= ~QStyle::State_HasFocus;
    const bool focused = hasFocus();
    for (int row = firstRow; row <= lastRow; ++row) {
        option.state.setFlag(QStyle::State_Selected, IsRowSelected(row));
        for (int visual = firstVisual; visual <= lastVisual; ++visual) {
            const int column = m_pHeader->logicalIndex(visual);
            if (m_pHeader->isSectionHidden(column))
                continue;
            option.rect = GetCellRect(row, column);
            const bool cursor = focused && row == m_nCursorRow && column == m_nCursorColumn;
            option.state.setFlag(QStyle::State_HasFocus, cursor);
            m_pDelegate->paint(&painter, option, m_pModel->index(row, column));
        }
    }
    if (m_bShowGrid) {
        QStyleOption gridOption;
        gridOption.initFrom(this);
        painter.setPen(QColor::fromRgba(static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &gridOption, this))));
        const int bottom = (lastRow - top + 1) * m_nRowHeight - 1;
        for (int row = firstRow; row <= lastRow; ++row) {
            const int y = (row - top + 1) * m_nRowHeight - 1;
            painter.drawLine(left, y, right - 1, y);
        }
        for (int visual = firstVisual; visual <= lastVisual; ++visual) {
            const int column = m_pHeader->logicalIndex(visual);
            if (m_pHeader->isSectionHidden(column))
                continue;
            const int x = columnViewportPosition(column) + columnWidth(column) - 1;
            painter.drawLine(x, (firstRow - top) * m_nRowHeight, x, bottom);
        }
    }
}

void CListCtrlCombo::UpdateFonts()
{
    if (g_strFontFace == m_strFontFaceApplied && g_strFontSize == m_strFontSizeApplied)
        return;
    m_pOwnerFrame->MakeCellFont();
    setFont(m_pOwnerFrame->m_fontCell);
    if (m_pHeader)
        m_pHeader->setFont(m_pOwnerFrame->m_fontHeader);
    m_strFontFaceApplied = g_strFontFace;
    m_strFontSizeApplied = g_strFontSize;
    for (int i = 0; i < GetColumnCount(); ++i)
        if (QWidget* editor = GetEditorWidget(i))
            editor->setFont(m_pOwnerFrame->m_fontCell);
}

int CListCtrlCombo::SizeHintForColumn(int column) const
{
    const GridItemModel::ViewportScope read(*m_pModel);
    const int top = GetTopIndex();
    const int last = std::min(GetItemCount() - 1, top + GetCountPerPage());
    QStyleOptionViewItem option;
    option.initFrom(this);
    int widest = 0;
    for (int row = top; row <= last; ++row)
        widest = std::max(widest, m_pDelegate->sizeHint(option, m_pModel->index(row, column)).width());
    return widest + (m_bShowGrid ? 1 : 0);
}
