#include "document/report/reportlayout.h"

#include <algorithm>
#include <climits>

ReportGeometry ComputeReportGeometry(const ReportDeviceMetrics& device, int columnWidthSetting)
{
    const int w = device.horzRes - 1;
    const int h = device.vertRes - 1;
    ReportGeometry g;
    g.topBand = device.dpiY / 5;
    g.bottomBand = device.dpiY / 5;
    g.leftMargin = device.dpiY / 10;
    g.gap = device.dpiY / 12;
    g.columnWidth = device.dpiX + device.dpiX / 4;
    if (columnWidthSetting == REPORT_COL_WIDTH_SHORTER)
        g.columnWidth /= 2;
    else if (columnWidthSetting == REPORT_COL_WIDTH_LONGER)
        g.columnWidth *= 2;
    g.columnGap = device.dpiX / 18;

    // The header and footer texts take four fifths of the width, the title and the page
    // number the rest.
    const int split = 4 * (w / 5);
    g.page = {0, 0, w, h};
    g.headerText = {g.leftMargin, 0, split, g.topBand};
    g.title = {split, 0, w, g.topBand};
    g.body = {g.leftMargin, g.topBand + g.gap, w, h - g.bottomBand - g.gap};
    g.footerText = {g.leftMargin, h - g.bottomBand, split, h};
    g.pageNumber = {split, h - g.bottomBand, w, h};
    return g;
}

void FitPageNumber(ReportGeometry& geometry, int textWidth)
{
    const int left = std::max(geometry.page.right - textWidth, geometry.leftMargin);
    if (left >= geometry.pageNumber.left)
        return;
    geometry.pageNumber.left = left;
    geometry.footerText.right = left;
}

ReportPagination::ReportPagination(const ReportGeometry& geometry, int normalLineHeight, int boldLineHeight, int rows,
                                   int columns)
    : m_nRows(std::max(rows, 0))
{
    // The column titles take one bold line; the rest of the body holds the rows.
    const int lineHeight = std::max(normalLineHeight, 1);
    m_nRowsPerPage = std::max((geometry.body.Height() - boldLineHeight) / lineHeight, 1);
    m_nBlocks = m_nRows == 0 ? 1 : (m_nRows - 1) / m_nRowsPerPage + 1;

    const long long step = static_cast<long long>(geometry.columnWidth) + geometry.columnGap;
    const long long width = geometry.body.Width();
    if (columns > 0)
        m_arrBands.clear();
    for (int first = 0; first < columns;) {
        // A band ends with the column that fills the body exactly, or before the column
        // that overflows it; a column wider than the body makes a band of its own.
        int last = first;
        long long sum = 0;
        for (int k = first; k < columns; ++k) {
            sum += step;
            if (sum == width) {
                last = k;
                break;
            }
            if (sum > width) {
                last = std::max(k - 1, first);
                break;
            }
            last = k;
        }
        m_arrBands.push_back({first, last});
        first = last + 1;
    }
}

int ReportPagination::PageCount() const
{
    const long long pages = static_cast<long long>(m_nBlocks) * static_cast<long long>(m_arrBands.size());
    return static_cast<int>(std::min<long long>(pages, INT_MAX));
}

ReportPage ReportPagination::Page(int index) const
{
    const int bands = static_cast<int>(m_arrBands.size());
    const int block = index / bands;
    const ReportColumnBand& band = m_arrBands[static_cast<size_t>(index % bands)];
    ReportPage page;
    page.firstRow = static_cast<int>(std::min<long long>(static_cast<long long>(block) * m_nRowsPerPage, INT_MAX));
    page.lastRow = static_cast<int>(std::min<long long>(static_cast<long long>(page.firstRow) + m_nRowsPerPage, m_nRows)) - 1;
    page.firstColumn = band.firstColumn;
    page.lastColumn = band.lastColumn;
    page.continued = index % bands == 0 ? 0 : 1;
    return page;
}
