#include "document/grid/clistctrlcombo.h"

#include "data/settings.h"
#include "document/strip/cacaptionbar.h"
#include "document/grid/cbuttonplus.h"
#include "document/grid/ccomboboxplus.h"
#include "document/grid/cinlineedit.h"
#include "document/grid/clistframe.h"
#include "document/session/cmainframebase.h"
#include "document/grid/cplheaderctrl.h"
#include "document/grid/griditemmodel.h"
#include "document/grid/gridgeometry.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>

int g_nOpenDatasheets = 0;

namespace {

constexpr wchar_t TXT_DELETE_QUESTION[] = L"Click Yes button to proceed.\nClick No button to cancel.";
constexpr wchar_t TXT_DELETE_CAPTION[] = L"Delete Confirmation";
constexpr wchar_t TXT_BROWSE_BUTTON[] = L"...";
constexpr int REDRAW_AFTER_DELETE = 201; // lines redrawn from the first deleted row on

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

CListCtrlCombo::CListCtrlCombo(CListFrame* ownerFrame)
    : QAbstractScrollArea(ownerFrame)
    , m_pOwnerFrame(ownerFrame)
{
    // The one place the frame's mode matters: it picks the rows the grid is a view of.
    if (ownerFrame->m_nMode == CListFrame::MODE_DATASHEET)
        m_pModel = new DatasheetRows(this);
    else
        m_pModel = new ListRows(this);
    m_pDelegate = new CellDelegate(this);
    setObjectName(QStringLiteral("control%1").arg(GRID_ID));
    m_brCellBorder = QBrush(ownerFrame->m_clrBorder);
    m_strFontFaceApplied = g_strFontFace;
    m_strFontSizeApplied = g_strFontSize;
    setFocusPolicy(Qt::StrongFocus);
    // The grid paints its whole viewport itself (see paintEvent): no background fill first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setBackgroundRole(QPalette::Base);
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
    installEventFilter(this);
}

CListCtrlCombo::~CListCtrlCombo()
{
    if (m_bCountedOpen) {
        m_bCountedOpen = false;
        if (--g_nOpenDatasheets == 0 && MainCaptionBar())
            MainCaptionBar()->Clear();
    }
}

bool CListCtrlCombo::IsReadOnly() const
{
    return m_pOwnerFrame->m_bReadOnly != 0;
}

void CListCtrlCombo::AddColumn(const std::wstring& title, int editorKind, int width, int align, int valueType)
{
    m_arrValueTypes.push_back(valueType);
    GridColumn column;
    column.m_strTitle = title;
    column.m_nEditorKind = static_cast<GridEditorKind>(editorKind);
    column.m_nTextFormat = align == 1 ? Qt::AlignLeft : Qt::AlignRight;
    column.m_nWidth = static_cast<short>(width);
    const int index = static_cast<int>(m_arrColumns.size());
    QWidget* editor = nullptr;
    if (IsEditKind(column.m_nEditorKind)) {
        column.m_pEdit = new CInlineEdit(this, this);
        editor = column.m_pEdit;
    } else if (column.m_nEditorKind == GRID_COMBO) {
        column.m_pCombo = new CComboBoxPlus(this, this);
        editor = column.m_pCombo;
    } else if (column.m_nEditorKind == GRID_BUTTON) {
        column.m_pButton = new CButtonPlus(this, index, this);
        editor = column.m_pButton;
    }
    if (editor) {
        editor->setObjectName(QStringLiteral("control%1").arg(FIRST_EDITOR_ID + index));
        editor->setFont(m_pOwnerFrame->m_fontCell);
        editor->hide();
        editor->installEventFilter(this);
        // The grid gives its editors the focus itself; Tab passes them by.
        editor->setFocusPolicy(Qt::ClickFocus);
    }
    m_arrColumns.push_back(std::move(column));
}

bool CListCtrlCombo::AddComboItem(int column, const std::wstring& text)
{
    if (column < 0 || column >= GetColumnCount() || !m_arrColumns[column].m_pCombo)
        return false;
    m_arrColumns[column].m_pCombo->addItem(platform::ToQString(text));
    return true;
}

bool CListCtrlCombo::AddComboItems(int column, const std::vector<std::wstring>& texts)
{
    for (const std::wstring& text : texts)
        if (!AddComboItem(column, text))
            return false;
    return true;
}

void CListCtrlCombo::CreateColumns()
{
    if (m_bColumnsCreated)
        return;
    m_bColumnsCreated = true;
    m_pHeader = new CPLHeaderCtrl(m_pOwnerFrame, this);
    m_pHeader->setModel(m_pModel);
    m_pHeader->setFont(m_pOwnerFrame->m_fontHeader);
    m_pHeader->setSectionsMovable(true);
    m_pHeader->setSectionsClickable(true);
    m_pHeader->setHighlightSections(false);
    m_pHeader->setSectionResizeMode(QHeaderView::Interactive);
    m_pHeader->setStretchLastSection(false);
    m_pHeader->setDefaultAlignment(Qt::AlignCenter);
    connect(m_pHeader, &CPLHeaderCtrl::ItemClicked, this, &CListCtrlCombo::OnHeaderClicked);
    connect(m_pHeader, &QHeaderView::sectionResized, this, [this](int, int, int) {
        // Only a press on the header drags a divider: a button held elsewhere (the
        // double-click that opened the window) while the columns get their widths is none.
        if (m_bHeaderPressed && (QApplication::mouseButtons() & Qt::LeftButton))
            m_bDividerTracking = 1;
        UpdateGeometries();
        viewport()->update();
    });
    connect(m_pHeader, &QHeaderView::sectionCountChanged, this, [this] { UpdateGeometries(); });
    // A new header font changes its height; the layout follows after the paint that
    // applied it.
    connect(m_pHeader, &QHeaderView::geometriesChanged, this, [this] { UpdateGeometries(); }, Qt::QueuedConnection);
    m_pHeader->viewport()->installEventFilter(this);
    // A column moved under an open cell would leave its editor over another column.
    connect(m_pHeader, &QHeaderView::sectionMoved, this, [this] {
        CloseCell();
        viewport()->update();
    });
    connect(m_pHeader, &QHeaderView::sectionHandleDoubleClicked, this,
            [this](int column) { setColumnWidth(column, std::max(SizeHintForColumn(column), m_pHeader->sectionSizeHint(column))); });

    m_pModel->CreateColumns(GetColumnCount());
    for (int i = 0; i < GetColumnCount(); ++i)
        setColumnWidth(i, m_arrColumns[i].m_nWidth);
    m_bShowGrid = m_pModel->DrawsGridLines();
    m_pHeader->show();
    UpdateGeometries();

    m_pHiddenEditor = new CInlineEdit(this, this);
    m_pHiddenEditor->setObjectName(QStringLiteral("control%1").arg(FIRST_EDITOR_ID + 1 + GetColumnCount()));
    m_pHiddenEditor->setReadOnly(true);
    m_pHiddenEditor->setGeometry(10000, 10000, 20, 20);
    m_pHiddenEditor->setFocusPolicy(Qt::ClickFocus);
    m_pHiddenEditor->show();
    m_pHiddenEditor->installEventFilter(this);
}

QWidget* CListCtrlCombo::GetEditorWidget(int column) const
{
    if (column < 0 || column >= GetColumnCount())
        return nullptr;
    const GridColumn& col = m_arrColumns[column];
    if (col.m_pEdit)
        return col.m_pEdit;
    if (col.m_pCombo)
        return col.m_pCombo;
    return col.m_pButton;
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

bool CListCtrlCombo::IsRowSelected(int row) const
{
    return m_selection.Contains(row);
}

void CListCtrlCombo::SelectRows(int first, int last)
{
    first = std::max(0, first);
    last = std::min(last, GetItemCount() - 1);
    if (first > last)
        return;
    m_selection.Select(first, last);
    m_bSelectionRestart = 1;
    viewport()->update();
}

void CListCtrlCombo::SetCursorCell(int row, int column)
{
    const bool valid = row >= 0 && row < GetItemCount() && column >= 0 && column < GetColumnCount();
    m_nCursorRow = valid ? row : -1;
    m_nCursorColumn = valid ? column : -1;
    viewport()->update();
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

void CListCtrlCombo::OnLinesReordered(const std::vector<int>& newRowOf)
{
    m_selection.Remap(newRowOf);
    m_bSelectionRestart = 1;
    for (int* row : {&m_nCursorRow, &m_nAnchorRow})
        if (*row >= 0 && *row < static_cast<int>(newRowOf.size()))
            *row = newRowOf[*row];
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

void CListCtrlCombo::BeginEdit(int row, int column, bool show)
{
    if (IsReadOnly())
        return;
    m_nCurrentRow = row;
    m_nCurrentColumn = column;
    m_bCellActive = false;
    if (row < 0 || column < 0 || column >= GetColumnCount() || row >= GetItemCount())
        return;
    m_bCellActive = true;
    const QRect rect = GetCellRect(row, column);
    GridColumn& col = m_arrColumns[column];
    const std::wstring text = GetItemText(row, column);
    if (col.m_pEdit) {
        PlaceEditor(col.m_pEdit, rect, show);
        col.m_pEdit->setFocus();
        col.m_pEdit->Bind(row, column, text);
        m_strEditStartText = text;
    } else if (col.m_pCombo) {
        PlaceEditor(col.m_pCombo, rect, show);
        col.m_pCombo->setFocus();
        col.m_pCombo->SelectCellText(text);
        m_strEditStartText = text;
    } else if (col.m_pButton) {
        PlaceEditor(col.m_pButton, rect, show);
    }
    if (!col.m_pEdit && !col.m_pCombo && m_pHiddenEditor)
        m_pHiddenEditor->setFocus();
    ClearSelection();
    m_pOwnerFrame->OnCellSelected(row, column);
}

void CListCtrlCombo::EndEdit(int nextRow)
{
    if (m_nCurrentRow < 0 || m_nCurrentColumn < 0 || m_nCurrentColumn >= GetColumnCount())
        return;
    const int row = m_nCurrentRow;
    const bool rowChanged = nextRow != row;
    GridColumn& col = m_arrColumns[m_nCurrentColumn];
    if (m_bCellActive) {
        m_bCellActive = false;
        if (col.m_pEdit) {
            col.m_pEdit->SetNextRow(nextRow);
            col.m_pEdit->CommitText(m_arrValueTypes[m_nCurrentColumn]);
            col.m_pEdit->SetClean(true);
            col.m_pEdit->hide();
        } else if (col.m_pCombo) {
            // A combo cell changes only by the user's choice, never by being passed through.
            const std::wstring text = platform::FromQString(col.m_pCombo->currentText());
            const bool chosen = col.m_pCombo->HasUserChoice();
            col.m_pCombo->setCurrentIndex(-1);
            col.m_pCombo->hide();
            if (chosen)
                SetCell(row, m_nCurrentColumn, text, rowChanged);
        } else if (col.m_pButton) {
            col.m_pButton->hide();
        }
    }
    RedrawRows(row, row);
}

QWidget* CListCtrlCombo::FocusEditor() const
{
    if (!m_bCellActive || m_nCurrentColumn < 0 || m_nCurrentColumn >= GetColumnCount())
        return nullptr;
    const GridColumn& col = m_arrColumns[m_nCurrentColumn];
    if (col.m_pEdit)
        return col.m_pEdit;
    return col.m_pCombo;
}

void CListCtrlCombo::CloseCell()
{
    if (m_nCurrentRow < 0 && m_nCurrentColumn < 0)
        return;
    const QWidget* focus = QApplication::focusWidget();
    const bool focusInEditor = m_bCellActive && focus && focus != this && isAncestorOf(focus);
    EndEdit(m_nCurrentRow);
    m_bCellActive = false;
    m_nCurrentRow = m_nCurrentColumn = -1;
    if (focusInEditor)
        setFocus();
}

void CListCtrlCombo::CancelCell()
{
    if (!m_bCellActive)
        return;
    m_bCellActive = false;
    const int row = m_nCurrentRow;
    GridColumn& col = m_arrColumns[m_nCurrentColumn];
    if (col.m_pEdit) {
        // Clean first: the focus leaving the box must not store what was typed.
        col.m_pEdit->SetClean(true);
        col.m_pEdit->setText(platform::ToQString(m_strEditStartText));
    } else if (col.m_pCombo) {
        col.m_pCombo->setCurrentIndex(-1);
    }
    m_nCurrentRow = m_nCurrentColumn = -1;
    setFocus();
    if (col.m_pEdit)
        col.m_pEdit->hide();
    else if (col.m_pCombo)
        col.m_pCombo->hide();
    RedrawRows(row, row);
}

void CListCtrlCombo::SetCell(int row, int column, const std::wstring& text, bool rowChanged)
{
    if (row < 0 || column < 0 || column >= GetColumnCount())
        return;
    const bool changed = text != m_strEditStartText || m_bStoreAlways;
    if (m_pModel->StoreCell(row, column, text, changed, rowChanged)) {
        // The new-row line became a row: the new empty line below it is shown. The
        // editor has left the line already (EndEdit, or its own focus-out store), so
        // this scroll ends nothing.
        const int saved = m_bOwnScroll;
        m_bOwnScroll = 1;
        EnsureRowVisible(GetItemCount() - 1);
        m_bOwnScroll = saved;
        // The strip counts the new row at once.
        m_pOwnerFrame->ShowRowPosition(row);
    }
    RedrawRows(row, row);
}

int CListCtrlCombo::GetValueType(int column) const
{
    return column >= 0 && column < static_cast<int>(m_arrValueTypes.size()) ? m_arrValueTypes[column] : -1;
}

void CListCtrlCombo::SetItemCountEx(int count)
{
    m_pModel->SetLineCount(count);
}

int CListCtrlCombo::GetItemCount() const
{
    return m_pModel->LineCount();
}

int CListCtrlCombo::GetRecordCount() const
{
    return HasNewRowLine() ? GetItemCount() - 1 : GetItemCount();
}

bool CListCtrlCombo::HasNewRowLine() const
{
    return m_pModel->HasNewRowLine();
}

void CListCtrlCombo::CountAsOpenDatasheet()
{
    if (m_bCountedOpen || !m_pModel->IsOpenDatasheet() || m_arrColumns.empty())
        return;
    m_bCountedOpen = true;
    ++g_nOpenDatasheets;
}

int CListCtrlCombo::InsertItem(int row, const std::wstring& text)
{
    return m_pModel->InsertLine(row, text);
}

void CListCtrlCombo::SetItemText(int row, int column, const std::wstring& text)
{
    m_pModel->SetText(row, column, text);
}

void CListCtrlCombo::DeleteItem(int row)
{
    if (row == m_nCurrentRow) {
        EndEdit(-1);
        m_nCurrentRow = m_nCurrentColumn = -1;
    }
    m_pModel->RemoveLine(row);
}

void CListCtrlCombo::DeleteAllItems()
{
    EndEdit(-1);
    m_nCurrentRow = m_nCurrentColumn = -1;
    m_pModel->RemoveAll();
}

std::wstring CListCtrlCombo::GetItemText(int row, int column) const
{
    return m_pModel->CellText(row, column);
}

void CListCtrlCombo::RedrawRows(int first, int last)
{
    m_pModel->RefreshLines(first, last);
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

void CListCtrlCombo::PageCurrentRow(bool down, Qt::KeyboardModifiers modifiers)
{
    const int count = GetItemCount();
    if (count == 0)
        return;
    const int page = GetCountPerPage();
    const int from = m_nCursorRow >= 0 ? m_nCursorRow : GetTopIndex();
    if (down)
        PageDown();
    else
        PageUp();
    const int row = std::clamp(from + (down ? page : -page), 0, count - 1);
    PlaceCursor(row, std::max(0, m_nCursorColumn), modifiers & Qt::ShiftModifier, false);
    OnKeyboardRowMoved(row);
}

void CListCtrlCombo::OnKeyboardRowMoved(int row)
{
    EnsureRowVisible(row);
    m_pOwnerFrame->ShowRowPosition(row);
}

void CListCtrlCombo::PlaceCursor(int row, int column, Qt::KeyboardModifiers modifiers, bool toggle)
{
    if (row < 0 || row >= GetItemCount())
        return;
    if (modifiers & Qt::ShiftModifier) {
        if (m_nAnchorRow < 0 || m_nAnchorRow >= GetItemCount())
            m_nAnchorRow = m_nCursorRow >= 0 ? m_nCursorRow : row;
        // Shift selects from the anchor; with Ctrl it adds to what was selected.
        if (!(modifiers & Qt::ControlModifier))
            m_selection.Clear();
        m_selection.Select(m_nAnchorRow, row);
    } else if (toggle) {
        m_selection.Toggle(row);
        m_nAnchorRow = row;
    } else if (!(modifiers & Qt::ControlModifier)) {
        m_selection.Clear();
        m_selection.Select(row, row);
        m_nAnchorRow = row;
    }
    m_bSelectionRestart = 1;
    SetCursorCell(row, column);
}

void CListCtrlCombo::MoveCursor(int key, Qt::KeyboardModifiers modifiers)
{
    const int count = GetItemCount();
    const int columns = GetColumnCount();
    if (count == 0 || columns == 0 || !m_pHeader)
        return;
    const bool homeOrEnd = key == Qt::Key_Home || key == Qt::Key_End;
    const bool noCursor = m_nCursorRow < 0 || m_nCursorColumn < 0;
    // Without a current cell an arrow lands on the first cell; Home and End (with Ctrl,
    // the first and last rows) go where they go from there, the first time.
    if (noCursor && !homeOrEnd) {
        PlaceCursor(0, m_pHeader->logicalIndex(0), modifiers, false);
        OnKeyboardRowMoved(0);
        return;
    }
    int row = noCursor ? 0 : m_nCursorRow;
    int visual = noCursor ? 0 : m_pHeader->visualIndex(m_nCursorColumn);
    const bool control = modifiers & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Up:
        row = std::max(0, row - 1);
        break;
    case Qt::Key_Down:
        row = std::min(count - 1, row + 1);
        break;
    case Qt::Key_Left:
        visual = std::max(0, visual - 1);
        break;
    case Qt::Key_Right:
        visual = std::min(columns - 1, visual + 1);
        break;
    case Qt::Key_Home:
        visual = 0;
        if (control)
            row = 0;
        break;
    case Qt::Key_End:
        visual = columns - 1;
        if (control)
            row = count - 1;
        break;
    default:
        return;
    }
    // Ctrl+Home and Ctrl+End select the row they reach, as the arrows do.
    PlaceCursor(row, m_pHeader->logicalIndex(visual), homeOrEnd ? modifiers & ~Qt::ControlModifier : modifiers, false);
    OnKeyboardRowMoved(row);
    if (key == Qt::Key_Left || key == Qt::Key_Right || homeOrEnd)
        ScrollColumnIntoView(m_nCursorColumn);
}

void CListCtrlCombo::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        MoveCursor(event->key(), modifiers);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        PageCurrentRow(event->key() == Qt::Key_PageDown, modifiers);
        return;
    case Qt::Key_A:
        if (modifiers == Qt::ControlModifier && GetItemCount() > 0) {
            m_selection.Clear();
            SelectRows(0, GetItemCount() - 1);
            return;
        }
        break;
    case Qt::Key_F2:
        if (modifiers == Qt::NoModifier && OpenCursorCell())
            return;
        break;
    default:
        break;
    }
    if (TypeIntoCursorCell(event))
        return;
    QAbstractScrollArea::keyPressEvent(event);
}

bool CListCtrlCombo::OpenCursorCell()
{
    if (IsReadOnly() || m_bCellActive || m_nCursorRow < 0 || m_nCursorColumn < 0 ||
        m_nCursorRow >= GetItemCount() || m_nCursorColumn >= GetColumnCount())
        return false;
    const int row = m_nCursorRow;
    const int column = m_nCursorColumn;
    EnsureRowVisible(row);
    ScrollColumnIntoView(column);
    BeginEdit(row, column, true);
    return m_bCellActive;
}

bool CListCtrlCombo::TypeIntoCursorCell(QKeyEvent* event)
{
    // A character typed on the grid, not a command key.
    const QString text = event->text();
    if (text.isEmpty() || !text.front().isPrint() ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    if (m_nCursorColumn < 0 || m_nCursorColumn >= GetColumnCount())
        return false;
    const GridColumn& col = m_arrColumns[m_nCursorColumn];
    if (!col.m_pEdit && !col.m_pCombo)
        return false;
    if (!OpenCursorCell())
        return false;
    // The character replaces the cell's text, through the editor's own checks.
    SelectOpenCellText();
    if (QWidget* editor = FocusEditor()) {
        QKeyEvent typed(QEvent::KeyPress, event->key(), event->modifiers(), text);
        QCoreApplication::sendEvent(editor, &typed);
    }
    return true;
}

void CListCtrlCombo::focusInEvent(QFocusEvent* event)
{
    // The focus came into the grid itself while a cell is open: not by a click (the
    // click ends the edit by its own rule) nor by a window coming back.
    const Qt::FocusReason reason = event->reason();
    if (m_bCellActive && reason != Qt::MouseFocusReason && reason != Qt::PopupFocusReason &&
        reason != Qt::ActiveWindowFocusReason)
        CloseCell();
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update(); // the focus frame
}

void CListCtrlCombo::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
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

void CListCtrlCombo::ClearSelection()
{
    m_selection.Clear();
    m_nCursorRow = m_nCursorColumn = -1;
    m_nAnchorRow = -1;
    m_bSelectionRestart = 1;
    viewport()->update();
}

void CListCtrlCombo::SelectRow(int row)
{
    CloseCell();
    ClearSelection();
    if (row < 0 || row >= GetItemCount())
        return;
    EnsureRowVisible(row);
    setFocus();
    PlaceCursor(row, 0, Qt::NoModifier, false);
    // The strip names the row now selected (a search hit, Go To).
    m_pOwnerFrame->ShowRowPosition(row);
}

int CListCtrlCombo::GetNextSelectedItem()
{
    const std::vector<RowSelection::Range>& ranges = m_selection.Ranges();
    if (m_bSelectionRestart) {
        m_bSelectionRestart = 0;
        m_nSelectionRange = 0;
        m_nSelectionIter = ranges.empty() ? 0 : ranges.front().first;
    }
    while (m_nSelectionRange < ranges.size() && m_nSelectionIter > ranges[m_nSelectionRange].second) {
        if (++m_nSelectionRange < ranges.size())
            m_nSelectionIter = ranges[m_nSelectionRange].first;
    }
    if (m_nSelectionRange >= ranges.size()) {
        m_bSelectionRestart = 1;
        return -1;
    }
    return m_nSelectionIter++;
}

void CListCtrlCombo::DeleteSelectedRows()
{
    CloseCell();
    if (platform::MessageBox(this, TXT_DELETE_QUESTION, TXT_DELETE_CAPTION,
                             platform::MB_YESNO | platform::MB_ICONWARNING | platform::MB_DEFBUTTON2) != platform::IDYES)
        return;
    m_arrRowsToDelete.clear();
    m_bSelectionRestart = 1;
    for (int row = GetNextSelectedItem(); row >= 0; row = GetNextSelectedItem())
        m_arrRowsToDelete.push_back(row);
    if (m_arrRowsToDelete.empty())
        return;
    const int first = m_arrRowsToDelete.front();
    // From the highest row down: the rows still to go keep their indices.
    const int deleted = m_pModel->DeleteRows(std::vector<int>(m_arrRowsToDelete.rbegin(), m_arrRowsToDelete.rend()));
    RedrawRows(first, first + REDRAW_AFTER_DELETE - 1);
    m_arrRowsToDelete.clear();
    // The strip counts the rows left at once, naming the row now in the first one's place.
    if (deleted > 0)
        m_pOwnerFrame->ShowRowPosition(std::min(first, GetItemCount() - 1));
}

void CListCtrlCombo::UndoRowEdit()
{
    CloseCell();
    const int row = m_pModel->UndoRowEdit();
    if (row < 0)
        return;
    EnsureRowVisible(row);
    RedrawRows(row, row);
}

void CListCtrlCombo::AppendRow()
{
    // Before loading ends there is no new-row line, and the last line is a real row.
    if (!HasNewRowLine())
        return;
    CloseCell();
    const int last = GetItemCount() - 1;
    EnsureRowVisible(last);
    ScrollColumnIntoView(0);
    BeginEdit(last, 0, true);
}

void CListCtrlCombo::OnHeaderClicked(int column)
{
    if (m_bDividerTracking || !m_pModel->IsSortable())
        return;
    CloseCell();
    m_nSortColumn = column;
    m_nSortToggle = !m_nSortToggle;
    m_pHeader->SetSortMark(column, m_nSortToggle ? SORT_MARK_ASCENDING : SORT_MARK_DESCENDING);
    m_pModel->Sort(column, m_nSortToggle != 0);
}

void CListCtrlCombo::OnItemActivate(int row, int column, const QPoint& point)
{
    if (IsReadOnly()) {
        m_pOwnerFrame->OnCellSelected(m_nCurrentRow, m_nCurrentColumn);
        return;
    }
    if (row < 0 || column < 0 || column >= GetColumnCount())
        return;
    if (m_arrColumns[column].m_nEditorKind == GRID_CHECK_BOX &&
        grid::CheckBoxHitBox(GetCellRect(row, column)).contains(point))
        ToggleCheckCell(row, column);
    if (!(m_bCellActive && row == m_nCurrentRow && column == m_nCurrentColumn)) {
        EndEdit(row);
        BeginEdit(row, column, true);
    }
}

void CListCtrlCombo::ToggleCheckCell(int row, int column)
{
    const std::wstring text = GetItemText(row, column) == L"1" ? L"0" : L"1";
    m_bStoreAlways = true;
    SetCell(row, column, text, true);
    m_bStoreAlways = false;
}

bool CListCtrlCombo::PressCellByKey(QObject* watched, bool enter)
{
    int row = -1;
    int column = -1;
    if (watched == m_pHiddenEditor && m_bCellActive) {
        row = m_nCurrentRow;
        column = m_nCurrentColumn;
    } else if (watched == this && !m_bCellActive) {
        row = m_nCursorRow;
        column = m_nCursorColumn;
    }
    if (row < 0 || row >= GetItemCount() || column < 0 || column >= GetColumnCount())
        return false;
    switch (m_arrColumns[column].m_nEditorKind) {
    case GRID_CHECK_BOX:
        if (enter)
            return false;
        ToggleCheckCell(row, column);
        return true;
    case GRID_BUTTON:
        if (enter && !m_pModel->PressesButtonCellsAtOnce())
            return false;
        PressButtonCell(row, column);
        return true;
    default:
        return false;
    }
}

void CListCtrlCombo::PressButtonCell(int row, int column)
{
    if (!(m_bCellActive && row == m_nCurrentRow && column == m_nCurrentColumn)) {
        EndEdit(row);
        BeginEdit(row, column, true);
    }
    if (m_bCellActive)
        platform::SendMessage(this, UM_CELL_BUTTON, static_cast<WPARAM>(column), 0);
}

void CListCtrlCombo::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const int row = rowAt(point.y());
    // Any other button ends the edit as a left click does, at the row clicked.
    if (event->button() != Qt::LeftButton && m_bCellActive) {
        EndEdit(row);
        m_nCurrentRow = m_nCurrentColumn = -1;
    }
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    if (row < 0) {
        // A click below the last line selects nothing.
        if (event->button() == Qt::LeftButton && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
            ClearSelection();
        return;
    }
    const int column = std::max(0, columnAt(point.x()));
    if (event->button() == Qt::RightButton) {
        // A right-click keeps a selection it falls in, as a menu on the selected rows may.
        if (!IsRowSelected(row))
            PlaceCursor(row, column, Qt::NoModifier, false);
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool toggle = (modifiers & Qt::ControlModifier) && !(modifiers & Qt::ShiftModifier);
    PlaceCursor(row, column, modifiers, toggle);
    m_bDragSelecting = !toggle;
}

void CListCtrlCombo::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bDragSelecting || !(event->buttons() & Qt::LeftButton) || GetItemCount() == 0)
        return;
    // A drag selects from where it began to the row under the pointer, as far as the
    // lines on screen go.
    const int y = std::clamp(event->position().toPoint().y(), 0, viewport()->height() - 1);
    const int row = rowAt(y) >= 0 ? rowAt(y) : GetItemCount() - 1;
    if (row != m_nCursorRow)
        PlaceCursor(row, std::max(0, m_nCursorColumn), event->modifiers() | Qt::ShiftModifier, false);
}

void CListCtrlCombo::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_bDragSelecting = false;
    if (m_bSuppressClick) {
        // The release that ends a double-click is no click of its own.
        m_bSuppressClick = false;
        return;
    }
    const QPoint point = event->position().toPoint();
    const int row = rowAt(point.y());
    m_pOwnerFrame->OnRowClicked(row);
    EndEdit(row);
    m_bCellActive = false;
    m_nCurrentRow = m_nCurrentColumn = -1;
    // A plain click on a "..." cell of a form's rows, pressed and released there, presses
    // its button.
    const int column = columnAt(point.x());
    const bool plainClick = !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) &&
                            row == m_nAnchorRow && row == m_nCursorRow && column == m_nCursorColumn;
    if (plainClick && row >= 0 && column >= 0 && column < GetColumnCount() &&
        m_arrColumns[column].m_nEditorKind == GRID_BUTTON && m_pModel->PressesButtonCellsAtOnce())
        PressButtonCell(row, column);
}

void CListCtrlCombo::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_bSuppressClick = true;
    m_bDragSelecting = false;
    const QPoint point = event->position().toPoint();
    const int row = rowAt(point.y());
    OnItemActivate(row, columnAt(point.x()), point);
    m_pOwnerFrame->OnRowOpened(row);
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

bool CListCtrlCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && PreTranslateKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (m_pHeader && watched == m_pHeader->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            m_bHeaderPressed = true;
        if (event->type() == QEvent::MouseButtonRelease) {
            m_bHeaderPressed = false;
            // A divider drag ended: the cell is committed and every line painted again.
            if (m_bDividerTracking)
                QMetaObject::invokeMethod(this, [this] {
                    m_bDividerTracking = 0;
                    EndEdit(m_nCurrentRow);
                    viewport()->update();
                }, Qt::QueuedConnection);
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

bool CListCtrlCombo::PreTranslateKey(QObject* watched, QKeyEvent* event)
{
    if (IsReadOnly())
        return false;
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // The grid itself moves its current row with the page; the view's own paging
        // would move the rows a second time. In an editor the page's scroll closes the
        // cell, and the key has done its part.
        if (watched == this) {
            PageCurrentRow(event->key() == Qt::Key_PageDown, event->modifiers());
            return true;
        }
        if (event->key() == Qt::Key_PageUp)
            PageUp();
        else
            PageDown();
        return true;
    case Qt::Key_Delete:
        // In an open edit box Delete deletes a character; elsewhere it deletes the rows.
        if (m_bCellActive && watched == FocusEditor() && qobject_cast<CInlineEdit*>(FocusEditor()))
            return false;
        DeleteSelectedRows();
        return true;
    case Qt::Key_Escape:
        if (!m_bCellActive || watched != FocusEditor())
            return false;
        CancelCell();
        return true;
    case Qt::Key_Space:
        return event->modifiers() == Qt::NoModifier && PressCellByKey(watched, false);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (PressCellByKey(watched, true))
            return true;
        // On a row that edits nothing Enter opens the row, when the owner opens rows.
        if ((watched == this || watched == m_pHiddenEditor) &&
            m_pOwnerFrame->OnRowOpened(m_bCellActive ? m_nCurrentRow : m_nCursorRow))
            return true;
        // On the grid itself Enter opens the current cell, as F2 does; in an editor it
        // moves on as Tab does.
        if (watched == this)
            return OpenCursorCell();
        [[fallthrough]];
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        const bool left = event->key() == Qt::Key_Backtab ||
                          (event->key() == Qt::Key_Tab && (event->modifiers() & Qt::ShiftModifier));
        // On the grid itself the current cell moves; only an editor takes the pending
        // move, which would otherwise wait for the next editor's first key.
        if (watched == this) {
            MoveCursor(left ? Qt::Key_Left : Qt::Key_Right, Qt::NoModifier);
            return true;
        }
        if (left)
            m_bShiftTabLeftPending = 1;
        else
            m_bTabRightPending = 1;
        QKeyEvent arrow(QEvent::KeyPress, left ? Qt::Key_Left : Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(watched, &arrow);
        return true;
    }
    default:
        return false;
    }
}

LRESULT CListCtrlCombo::OnMessage(UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case UM_CELL_LEFT:
        OnCellMove(grid::CellMove::Left);
        return 0;
    case UM_CELL_RIGHT:
        OnCellMove(grid::CellMove::Right);
        return 0;
    case UM_CELL_UP:
        OnCellMove(grid::CellMove::Up);
        return 0;
    case UM_CELL_DOWN:
        return OnCellMove(grid::CellMove::Down) ? 1 : 0;
    case UM_CELL_BUTTON: {
        const LRESULT result = platform::SendMessage(m_pOwnerFrame, UM_CELL_BUTTON, m_nCurrentColumn, m_nCurrentRow);
        // The press gave the focus to the grid: the button's cell takes it back, so the
        // next arrow key moves the cell.
        if (m_bCellActive && !FocusEditor() && m_pHiddenEditor)
            m_pHiddenEditor->setFocus();
        return result;
    }
    default:
        return 0;
    }
}

bool CListCtrlCombo::OnCellMove(grid::CellMove move)
{
    if (m_nCurrentColumn < 0)
        return false;
    const int from = m_nCurrentRow;
    const int column = m_nCurrentColumn;
    // Down from the new-row line, and on past its last cell, lead to the line that
    // storing the row makes: the fresh new-row line below it.
    const bool fromNewRowLine = HasNewRowLine() && from == GetItemCount() - 1;
    const grid::CellTarget target =
        grid::NavigateCell(move, from, column, GetItemCount() + (fromNewRowLine ? 1 : 0), GetColumnCount());
    if (!target.moves)
        return false;
    EndEdit(target.row);
    if (target.row >= GetItemCount()) {
        // Nothing was stored (the line was empty, or the table refused the row, which the
        // model has said): the editor stays where it was, with the texts typed.
        BeginEdit(from, column, true);
        SelectOpenCellText();
        return false;
    }
    if (move == grid::CellMove::Right && target.wrapped)
        EnsureRowVisible(from);
    EnsureRowVisible(target.row);
    BeginEdit(target.row, target.column, true);
    if (move == grid::CellMove::Left || move == grid::CellMove::Right)
        ScrollColumnIntoView(target.column);
    SelectOpenCellText();
    return true;
}

void CListCtrlCombo::SelectOpenCellText()
{
    // Selected from the end back to the start, so that a text wider than its cell shows
    // its beginning.
    if (auto* edit = qobject_cast<QLineEdit*>(FocusEditor())) {
        const auto length = static_cast<int>(edit->text().size());
        edit->setSelection(length, -length);
    }
}
