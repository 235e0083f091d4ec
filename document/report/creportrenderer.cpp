#include "document/report/creportrenderer.h"

#include "data/formatstring.h"
#include "data/settings.h"
#include "document/report/creportsource.h"
#include "platform/utf16.h"
#include "platform/widgets/fontface.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Texts of a cell: one line, vertically centred, no mnemonic prefixes.
constexpr int kCellFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
// Texts of a band: from the top left, breaking lines only where the text has them.
constexpr int kBandFlags = Qt::AlignLeft | Qt::AlignTop;

// The report font on the device: the application font's attributes with the report's
// face, sized so that its cell height (ascent and descent) is the height asked for.
QFont MakeReportFont(const QPaintDevice& device, int cellHeight, bool bold)
{
    QFont font = QApplication::font();
    font.setFamily(platform::ToQString(STR_REPORT_FONT_FACE));
    if (bold)
        font.setWeight(QFont::Bold);
    platform::SetCellHeight(font, cellHeight, &device);
    return font;
}

} // namespace

ReportSettings CurrentReportSettings()
{
    ReportSettings settings;
    settings.header = g_strReportHeader;
    settings.footer = g_strReportFooter;
    settings.columnWidth = g_nReportColWidth;
    // The application font's em height in pixels at 96 dpi, as a font height is given.
    const QFont font = QApplication::font();
    const double pixels = font.pointSizeF() > 0 ? font.pointSizeF() * 96.0 / 72.0 : font.pixelSize();
    settings.guiFontHeight = -std::max(1, static_cast<int>(std::lround(pixels)));
    return settings;
}

int ReportFontHeight(int dpiY, int guiFontHeight) { return dpiY * (guiFontHeight - 2) / -72; }

CReportRenderer::CReportRenderer(CReportSource& source, const QPaintDevice& device, const ReportSettings& settings)
    : m_source(source)
    , m_settings(settings)
{
    m_device = {device.width(), device.height(), device.logicalDpiX(), device.logicalDpiY()};
    const int fontHeight = ReportFontHeight(m_device.dpiY, settings.guiFontHeight);
    m_normalFont = MakeReportFont(device, fontHeight, false);
    m_boldFont = MakeReportFont(device, fontHeight, true);
    m_geometry = ComputeReportGeometry(m_device, settings.columnWidth);
    m_nNormalLineHeight = QFontMetrics(m_normalFont, &device).lineSpacing();
    m_nBoldLineHeight = QFontMetrics(m_boldFont, &device).lineSpacing();
    m_pagination = ReportPagination(m_geometry, m_nNormalLineHeight, m_nBoldLineHeight, source.GetRowCount(),
                                    source.GetColumnCount());
    // The widest page number of this report: the last page's, followed by "Continued..."
    // when some page is a further column band.
    std::wstring widest;
    FormatString(widest, STR_REPORT_PAGE_NUMBER, PageCount(), PageCount(),
                 m_pagination.Bands().size() > 1 ? STR_REPORT_CONTINUED : L" ");
    FitPageNumber(m_geometry, QFontMetrics(m_normalFont, &device).horizontalAdvance(platform::ToQString(widest)));
}

std::vector<ReportTextItem> CReportRenderer::PageItems(int index) const
{
    std::vector<ReportTextItem> items;
    if (index < 0 || index >= PageCount())
        return items;
    const ReportPage page = m_pagination.Page(index);
    const ReportGeometry& g = m_geometry;
    const int step = g.columnWidth + g.columnGap;

    items.push_back({g.headerText, m_settings.header, false, kBandFlags});
    items.push_back({g.title, m_source.GetTitle(), true, kBandFlags});

    ReportRect cell{g.body.left, g.body.top, g.body.left + g.columnWidth, g.body.top + m_nNormalLineHeight};
    for (int column = page.firstColumn; column <= page.lastColumn; ++column) {
        items.push_back({cell, m_source.GetColumnName(column), true, kCellFlags});
        cell.left += step;
        cell.right += step;
    }

    std::vector<std::wstring> texts;
    m_source.ReadCells(page.firstRow, page.lastRow, page.firstColumn, page.lastColumn, texts);
    size_t next = 0;
    for (int row = page.firstRow; row <= page.lastRow; ++row) {
        cell.left = g.body.left;
        cell.right = g.body.left + g.columnWidth;
        cell.top = cell.bottom;
        cell.bottom = cell.top + m_nNormalLineHeight;
        for (int column = page.firstColumn; column <= page.lastColumn; ++column) {
            items.push_back({cell, next < texts.size() ? texts[next] : std::wstring(), false, kCellFlags});
            ++next;
            cell.left += step;
            cell.right += step;
        }
    }

    items.push_back({g.footerText, m_settings.footer, false, kCellFlags});
    std::wstring number;
    FormatString(number, STR_REPORT_PAGE_NUMBER, index + 1, PageCount(), page.continued ? STR_REPORT_CONTINUED : L" ");
    items.push_back({g.pageNumber, number, false, kBandFlags});
    return items;
}

void CReportRenderer::DrawItems(QPainter& painter, const std::vector<ReportTextItem>& items) const
{
    painter.save();
    painter.setClipRect(m_geometry.page.ToQRect(), Qt::IntersectClip);
    painter.setPen(Qt::black);
    for (const ReportTextItem& item : items) {
        painter.setFont(item.bold ? m_boldFont : m_normalFont);
        painter.drawText(item.rect.ToQRect(), item.flags, platform::ToQString(item.text));
    }
    painter.restore();
}

void CReportRenderer::DrawPage(QPainter& painter, int index) const { DrawItems(painter, PageItems(index)); }
