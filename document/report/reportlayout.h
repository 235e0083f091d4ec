#pragma once
// The geometry and pagination of a printed report, as pure functions of the device's
// metrics, the line heights of the report fonts and the size of the datasheet. All
// values are device pixels; divisions truncate toward zero.
#include <QRect>

#include <cstdint>
#include <vector>

// The report column width setting (g_nReportColWidth).
inline constexpr int REPORT_COL_WIDTH_SHORTER = 1;
inline constexpr int REPORT_COL_WIDTH_DEFAULT = 2;
inline constexpr int REPORT_COL_WIDTH_LONGER = 3;

// A rectangle by its edges; right and bottom lie just outside it.
struct ReportRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    QRect ToQRect() const { return QRect(left, top, Width(), Height()); }
    bool operator==(const ReportRect&) const = default;
};

// What the report needs to know of the device it is drawn on.
struct ReportDeviceMetrics {
    int horzRes = 0; // printable width in pixels
    int vertRes = 0; // printable height in pixels
    int dpiX = 0;
    int dpiY = 0;
};

struct ReportGeometry {
    int topBand = 0;
    int bottomBand = 0;
    int gap = 0; // between a band and the body
    int leftMargin = 0;
    int columnWidth = 0;
    int columnGap = 0;
    ReportRect page;
    ReportRect headerText;
    ReportRect title;
    ReportRect body;
    ReportRect footerText;
    ReportRect pageNumber;
};

ReportGeometry ComputeReportGeometry(const ReportDeviceMetrics& device, int columnWidthSetting);

// Widens the page number's area leftwards, at the footer text's cost, to hold a text of
// that width; an area wide enough already stays as it is.
void FitPageNumber(ReportGeometry& geometry, int textWidth);

// Consecutive columns that fit across the body.
struct ReportColumnBand {
    int firstColumn = 0;
    int lastColumn = -1;
    bool operator==(const ReportColumnBand&) const = default;
};

// One page: a block of rows and a band of columns. continued is 1 for every band after
// the first of its row block. An empty block or band has last = first - 1.
struct ReportPage {
    int firstRow = 0;
    int lastRow = -1;
    int firstColumn = 0;
    int lastColumn = -1;
    int continued = 0;
    bool operator==(const ReportPage&) const = default;
};

// The pages of a report in printing order: each row block with every column band in
// turn. Pages are computed from their index, so a report of millions of rows costs no
// memory. Every band holds at least one column and every block at least one row, so
// pagination always progresses, however small the page.
class ReportPagination {
public:
    ReportPagination() = default;
    ReportPagination(const ReportGeometry& geometry, int normalLineHeight, int boldLineHeight, int rows, int columns);

    int RowsPerPage() const { return m_nRowsPerPage; }
    const std::vector<ReportColumnBand>& Bands() const { return m_arrBands; }
    int BlockCount() const { return m_nBlocks; }
    // Limited to the largest int; a report that large never ends anyway.
    int PageCount() const;
    // The page of a zero-based index below PageCount().
    ReportPage Page(int index) const;

private:
    int m_nRows = 0;
    int m_nRowsPerPage = 1;
    int m_nBlocks = 1;
    std::vector<ReportColumnBand> m_arrBands{ReportColumnBand{}};
};
