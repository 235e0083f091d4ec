#pragma once
// Draws the pages of a report on any painter: the header band with the header text and
// the title, the column titles and rows of the page's band and block, and the footer band
// with the footer text and "Page %d of %d". The fonts, geometry and pagination are made
// once for one device when the renderer is made, for the rows the source holds then.
#include "document/report/reportlayout.h"

#include <QFont>

#include <string>
#include <vector>

class CReportSource;
class QPaintDevice;
class QPainter;

inline constexpr wchar_t STR_REPORT_FONT_FACE[] = L"Tahoma";
inline constexpr wchar_t STR_REPORT_PAGE_NUMBER[] = L"Page %d of %d %s";
inline constexpr wchar_t STR_REPORT_CONTINUED[] = L"Continued...";

// What a report takes from the settings when it begins.
struct ReportSettings {
    std::wstring header;
    std::wstring footer;
    int columnWidth = REPORT_COL_WIDTH_DEFAULT;
    // The height of the default GUI font, negative as a font height in pixels at 96 dpi.
    int guiFontHeight = -11;
};

// The report settings as they stand now (g_strReportHeader, g_strReportFooter,
// g_nReportColWidth) with the application's font as the default GUI font.
ReportSettings CurrentReportSettings();

// The cell height of the report fonts on a device of dpiY pixels per inch: 13/72 inch for
// an 8-point default GUI font, two points more than that font.
int ReportFontHeight(int dpiY, int guiFontHeight);

// One text of a page: drawn in its rectangle with its alignment and text flags, clipped
// to the rectangle.
struct ReportTextItem {
    ReportRect rect;
    std::wstring text;
    bool bold = false;
    int flags = 0;
};

class CReportRenderer {
public:
    CReportRenderer(CReportSource& source, const QPaintDevice& device, const ReportSettings& settings);

    int PageCount() const { return m_pagination.PageCount(); }
    const ReportGeometry& Geometry() const { return m_geometry; }
    const ReportPagination& Pagination() const { return m_pagination; }
    const ReportDeviceMetrics& Device() const { return m_device; }
    int NormalLineHeight() const { return m_nNormalLineHeight; }
    int BoldLineHeight() const { return m_nBoldLineHeight; }
    const QFont& NormalFont() const { return m_normalFont; }
    const QFont& BoldFont() const { return m_boldFont; }

    // The texts of a page in drawing order; none for an index past the last page.
    std::vector<ReportTextItem> PageItems(int index) const;
    // Draws texts (of PageItems) in device pixels of the report's device; the painter's
    // transform maps them onto its own device.
    void DrawItems(QPainter& painter, const std::vector<ReportTextItem>& items) const;
    void DrawPage(QPainter& painter, int index) const;

private:
    CReportSource& m_source;
    ReportSettings m_settings;
    ReportDeviceMetrics m_device;
    ReportGeometry m_geometry;
    QFont m_normalFont;
    QFont m_boldFont;
    int m_nNormalLineHeight = 1;
    int m_nBoldLineHeight = 1;
    ReportPagination m_pagination;
};
