#include "document/report/cmypreviewview.h"

#include "data/formatstring.h"
#include "document/report/creportrenderer.h"
#include "document/report/creportsource.h"
#include "document/report/cwrapperview.h"
#include "platform/utf16.h"
#include "platform/widgets/plaintext.h"

#include <QAbstractScrollArea>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int kMargin = 12;  // around the paper
constexpr int kPageGap = 12; // between two pages side by side

// The area below the bar in which the paper is drawn; the preview does the drawing and
// the page turning, the area its scrolling when zoomed.
class PreviewPageArea : public QAbstractScrollArea {
public:
    explicit PreviewPageArea(CMyPreviewView& preview)
        : QAbstractScrollArea(&preview)
        , m_preview(preview)
    {
        setFocusPolicy(Qt::StrongFocus);
        setFrameShape(QFrame::NoFrame);
        viewport()->setBackgroundRole(QPalette::Dark);
        viewport()->setAutoFillBackground(true);
    }

    // Scroll ranges follow the paper's size at the current zoom.
    void UpdateRanges()
    {
        const QSize view = viewport()->size();
        const QSize paper = m_preview.PaperSize();
        const bool zoomed = m_preview.GetZoom() != PREVIEW_ZOOM_FIT;
        horizontalScrollBar()->setRange(0, zoomed ? std::max(0, paper.width() + 2 * kMargin - view.width()) : 0);
        verticalScrollBar()->setRange(0, zoomed ? std::max(0, paper.height() + 2 * kMargin - view.height()) : 0);
        horizontalScrollBar()->setPageStep(view.width());
        verticalScrollBar()->setPageStep(view.height());
        horizontalScrollBar()->setSingleStep(20);
        verticalScrollBar()->setSingleStep(20);
        viewport()->update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(viewport());
        m_preview.PaintPages(painter, viewport()->rect(),
                             QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QAbstractScrollArea::resizeEvent(event);
        UpdateRanges();
    }
    void scrollContentsBy(int, int) override { viewport()->update(); }
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool zoomed = m_preview.GetZoom() != PREVIEW_ZOOM_FIT;
        switch (event->key()) {
        case Qt::Key_Escape: m_preview.OnPreviewClose(); return;
        case Qt::Key_Home: m_preview.SetCurrentPage(0); return;
        case Qt::Key_End: m_preview.SetCurrentPage(m_preview.GetPageCount() - 1); return;
        case Qt::Key_PageDown:
            if (!zoomed) {
                m_preview.OnNextPage();
                return;
            }
            break;
        case Qt::Key_PageUp:
            if (!zoomed) {
                m_preview.OnPrevPage();
                return;
            }
            break;
        default: break;
        }
        QAbstractScrollArea::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override
    {
        if (m_preview.GetZoom() != PREVIEW_ZOOM_FIT) {
            QAbstractScrollArea::wheelEvent(event);
            return;
        }
        const int delta = event->angleDelta().y();
        if (delta < 0)
            m_preview.OnNextPage();
        else if (delta > 0)
            m_preview.OnPrevPage();
        event->accept();
    }

private:
    CMyPreviewView& m_preview;
};

QPushButton* AddButton(QHBoxLayout* bar, QWidget* parent, const wchar_t* text)
{
    auto* button = new QPushButton(platform::ToQString(text), parent);
    button->setAutoDefault(false);
    bar->addWidget(button);
    return button;
}

} // namespace

CMyPreviewView::CMyPreviewView(CWrapperView& printView, std::unique_ptr<CReportSource> source,
                               std::unique_ptr<CReportRenderer> renderer, const QPageLayout& layout, QWidget* parent)
    : QWidget(parent)
    , m_printView(printView)
    , m_pSource(std::move(source))
    , m_pRenderer(std::move(renderer))
    , m_layout(layout)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* bar = new QWidget(this);
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(6, 4, 6, 4);
    m_pPrint = AddButton(buttons, bar, STR_PREVIEW_PRINT);
    m_pNext = AddButton(buttons, bar, STR_PREVIEW_NEXT);
    m_pPrev = AddButton(buttons, bar, STR_PREVIEW_PREV);
    m_pPages = AddButton(buttons, bar, STR_PREVIEW_TWO_PAGE);
    m_pZoomIn = AddButton(buttons, bar, STR_PREVIEW_ZOOM_IN);
    m_pZoomOut = AddButton(buttons, bar, STR_PREVIEW_ZOOM_OUT);
    m_pClose = AddButton(buttons, bar, STR_PREVIEW_CLOSE);
    buttons->addSpacing(12);
    m_pPageLabel = platform::NewLabel(bar);
    buttons->addWidget(m_pPageLabel, 1);
    column->addWidget(bar);

    m_pArea = new PreviewPageArea(*this);
    column->addWidget(m_pArea, 1);
    setFocusProxy(m_pArea);

    connect(m_pPrint, &QPushButton::clicked, this, &CMyPreviewView::OnPreviewPrint);
    connect(m_pNext, &QPushButton::clicked, this, &CMyPreviewView::OnNextPage);
    connect(m_pPrev, &QPushButton::clicked, this, &CMyPreviewView::OnPrevPage);
    connect(m_pPages, &QPushButton::clicked, this, &CMyPreviewView::OnNumPageChange);
    connect(m_pZoomIn, &QPushButton::clicked, this, &CMyPreviewView::OnZoomIn);
    connect(m_pZoomOut, &QPushButton::clicked, this, &CMyPreviewView::OnZoomOut);
    connect(m_pClose, &QPushButton::clicked, this, &CMyPreviewView::OnPreviewClose);
    UpdateBar();
}

CMyPreviewView::~CMyPreviewView() = default;

int CMyPreviewView::GetPageCount() const { return m_pRenderer->PageCount(); }

int CMyPreviewView::GetPagesShown() const
{
    if (m_nZoom != PREVIEW_ZOOM_FIT || !m_bTwoPages)
        return 1;
    return m_nCurrentPage + 1 < GetPageCount() ? 2 : 1;
}

std::vector<int> CMyPreviewView::VisiblePages() const
{
    std::vector<int> pages;
    for (int i = 0; i < GetPagesShown(); ++i)
        pages.push_back(m_nCurrentPage + i);
    return pages;
}

void CMyPreviewView::OnPreviewPrint()
{
    // The print job first, then the preview closes whatever the dialog's answer.
    m_printView.OnFilePrint(*m_pSource);
    m_printView.EndPrintPreview();
}

void CMyPreviewView::OnPreviewClose() { m_printView.EndPrintPreview(); }

void CMyPreviewView::OnNextPage() { SetCurrentPage(m_nCurrentPage + 1); }

void CMyPreviewView::OnPrevPage() { SetCurrentPage(m_nCurrentPage - 1); }

void CMyPreviewView::OnNumPageChange()
{
    m_bTwoPages = !m_bTwoPages;
    SetCurrentPage(m_nCurrentPage);
}

void CMyPreviewView::OnZoomIn()
{
    m_nZoom = std::min(m_nZoom + 1, PREVIEW_ZOOM_FULL);
    SetCurrentPage(m_nCurrentPage);
}

void CMyPreviewView::OnZoomOut()
{
    m_nZoom = std::max(m_nZoom - 1, PREVIEW_ZOOM_FIT);
    SetCurrentPage(m_nCurrentPage);
}

void CMyPreviewView::SetCurrentPage(int page)
{
    m_nCurrentPage = std::clamp(page, 0, std::max(GetPageCount() - 1, 0));
    // Only the pages on screen keep their texts.
    const std::vector<int> visible = VisiblePages();
    std::erase_if(m_pageCache, [&](const auto& entry) {
        return std::find(visible.begin(), visible.end(), entry.first) == visible.end();
    });
    auto* area = static_cast<PreviewPageArea*>(m_pArea);
    area->horizontalScrollBar()->setValue(0);
    area->verticalScrollBar()->setValue(0);
    area->UpdateRanges();
    UpdateBar();
}

void CMyPreviewView::UpdateBar()
{
    const int count = GetPageCount();
    const int shown = GetPagesShown();
    m_pNext->setEnabled(m_nCurrentPage + shown < count);
    m_pPrev->setEnabled(m_nCurrentPage > 0);
    m_pPages->setText(platform::ToQString(m_bTwoPages ? STR_PREVIEW_ONE_PAGE : STR_PREVIEW_TWO_PAGE));
    m_pPages->setEnabled(m_nZoom == PREVIEW_ZOOM_FIT && count > 1);
    m_pZoomIn->setEnabled(m_nZoom < PREVIEW_ZOOM_FULL);
    m_pZoomOut->setEnabled(m_nZoom > PREVIEW_ZOOM_FIT);
    std::wstring text;
    if (shown == 2)
        FormatString(text, STR_PREVIEW_PAGES, m_nCurrentPage + 1, m_nCurrentPage + 2);
    else
        FormatString(text, STR_PREVIEW_PAGE, m_nCurrentPage + 1);
    m_pPageLabel->setText(platform::ToQString(text));
}

double CMyPreviewView::PageScale() const
{
    const QSize view = static_cast<PreviewPageArea*>(m_pArea)->viewport()->size();
    const int dpi = std::max(m_pRenderer->Device().dpiX, 1);
    const QRect paper = m_layout.fullRectPixels(dpi);
    if (paper.isEmpty())
        return 1.0;
    const int pages = m_bTwoPages && m_nZoom == PREVIEW_ZOOM_FIT ? 2 : 1;
    const double fit =
        std::max(std::min(static_cast<double>(view.width() - 2 * kMargin - (pages - 1) * kPageGap) / (pages * paper.width()),
                          static_cast<double>(view.height() - 2 * kMargin) / paper.height()),
                 0.01);
    const double full = std::max(static_cast<double>(m_pArea->logicalDpiX()) / dpi, fit);
    switch (m_nZoom) {
    case PREVIEW_ZOOM_MIDDLE: return (fit + full) / 2;
    case PREVIEW_ZOOM_FULL: return full;
    default: return fit;
    }
}

QSize CMyPreviewView::PaperSize() const
{
    const QRect paper = m_layout.fullRectPixels(std::max(m_pRenderer->Device().dpiX, 1));
    const double scale = PageScale();
    return QSize(static_cast<int>(paper.width() * scale), static_cast<int>(paper.height() * scale));
}

const std::vector<ReportTextItem>& CMyPreviewView::PageItems(int page)
{
    auto found = m_pageCache.find(page);
    if (found == m_pageCache.end())
        found = m_pageCache.emplace(page, m_pRenderer->PageItems(page)).first;
    return found->second;
}

void CMyPreviewView::PaintPages(QPainter& painter, const QRect& area, const QPoint& scroll)
{
    const int dpi = std::max(m_pRenderer->Device().dpiX, 1);
    const QPoint printable = m_layout.paintRectPixels(dpi).topLeft() - m_layout.fullRectPixels(dpi).topLeft();
    const double scale = PageScale();
    const QSize paper = PaperSize();
    const std::vector<int> pages = VisiblePages();
    const int count = static_cast<int>(pages.size());
    const int total = count * paper.width() + (count - 1) * kPageGap;

    QPoint origin;
    if (m_nZoom == PREVIEW_ZOOM_FIT)
        origin = QPoint((area.width() - total) / 2, std::max((area.height() - paper.height()) / 2, kMargin));
    else
        origin = QPoint(std::max((area.width() - paper.width()) / 2, kMargin), kMargin) - scroll;

    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < count; ++i) {
        const QRect sheet(origin + QPoint(i * (paper.width() + kPageGap), 0), paper);
        painter.fillRect(sheet.translated(3, 3), palette().color(QPalette::Shadow));
        painter.fillRect(sheet, Qt::white);
        painter.setPen(Qt::black);
        painter.drawRect(sheet.adjusted(0, 0, -1, -1));

        painter.save();
        painter.setClipRect(sheet);
        painter.translate(sheet.topLeft());
        painter.scale(scale, scale);
        painter.translate(printable);
        painter.setRenderHint(QPainter::TextAntialiasing);
        m_pRenderer->DrawItems(painter, PageItems(pages[static_cast<size_t>(i)]));
        painter.restore();
    }
}
