// The report's geometry and pagination as pure functions, the texts the renderer draws
// on a page, and the datasheet as a report source over a table and a query.
#include "data/constants.h"
#include "document/datasheet/cdataaccess.h"
#include "document/datasheet/cdatainterface.h"
#include "document/report/cdatasheetreportsource.h"
#include "document/report/creportrenderer.h"
#include "document/datasheet/datasheetlines.h"
#include "document/report/reportlayout.h"
#include "databasefixture.h"
#include "fakereportsource.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <climits>

namespace {

// A body 1000 pixels wide and 512 high, columns of 100 with gaps of 10: with lines of 10
// (titles 12) a page holds 50 rows and a band 9 columns (990 pixels; a tenth overflows).
ReportGeometry Body(int width = 1000, int height = 512)
{
    ReportGeometry g;
    g.columnWidth = 100;
    g.columnGap = 10;
    g.body = {0, 0, width, height};
    return g;
}

std::vector<ReportPage> Pages(const ReportPagination& pagination)
{
    std::vector<ReportPage> pages;
    for (int i = 0; i < pagination.PageCount(); ++i)
        pages.push_back(pagination.Page(i));
    return pages;
}

} // namespace

// Rows fill whole pages and the last page takes the rest: no page without rows, no row
// twice, and an empty datasheet still gets its one page.
TEST(ReportPagination, RowBlocksCoverEveryRowOnce)
{
    struct Case {
        int rows;
        std::vector<ReportPage> pages;
    };
    const Case cases[] = {
        {120, {{0, 49, 0, 2, 0}, {50, 99, 0, 2, 0}, {100, 119, 0, 2, 0}}},
        {99, {{0, 49, 0, 2, 0}, {50, 98, 0, 2, 0}}},
        {100, {{0, 49, 0, 2, 0}, {50, 99, 0, 2, 0}}},
        {50, {{0, 49, 0, 2, 0}}},
        {1, {{0, 0, 0, 2, 0}}},
        {0, {{0, -1, 0, 2, 0}}},
    };
    for (const Case& c : cases) {
        const ReportPagination pagination(Body(), 10, 12, c.rows, 3);
        EXPECT_EQ(pagination.RowsPerPage(), 50);
        EXPECT_EQ(Pages(pagination), c.pages) << c.rows << " rows";
    }
}

// Two bands and two blocks print block by block, each band in turn; every band after
// the first of its block is a continued page.
TEST(ReportPagination, BandsRepeatWithinEachBlock)
{
    const ReportPagination pagination(Body(), 10, 12, 60, 12);
    EXPECT_EQ(pagination.Bands(), (std::vector<ReportColumnBand>{{0, 8}, {9, 11}}));
    EXPECT_EQ(Pages(pagination), (std::vector<ReportPage>{
                                     {0, 49, 0, 8, 0}, {0, 49, 9, 11, 1}, {50, 59, 0, 8, 0}, {50, 59, 9, 11, 1}}));
}

// A column that ends exactly at the body's right edge stays in its band; without columns
// there is one empty band.
TEST(ReportPagination, ColumnBandEdges)
{
    EXPECT_EQ(ReportPagination(Body(1100), 10, 12, 1, 20).Bands(),
              (std::vector<ReportColumnBand>{{0, 9}, {10, 19}}));
    EXPECT_EQ(ReportPagination(Body(1099), 10, 12, 1, 20).Bands(),
              (std::vector<ReportColumnBand>{{0, 8}, {9, 17}, {18, 19}}));
    EXPECT_EQ(ReportPagination(Body(), 10, 12, 1, 0).Bands(), (std::vector<ReportColumnBand>{{0, -1}}));
}

// Pages too small for one column or one row still progress: a column and a row per page.
TEST(ReportPagination, DegenerateSizesEnd)
{
    struct Case {
        int width, height, normal, bold;
    };
    const Case cases[] = {{50, 512, 10, 12}, {0, 0, 10, 12}, {-30, -40, 10, 12}, {1000, 512, 0, 0}, {1000, 5, 10, 12}};
    for (const Case& c : cases) {
        const ReportPagination pagination(Body(c.width, c.height), c.normal, c.bold, 7, 5);
        EXPECT_GE(pagination.RowsPerPage(), 1);
        ASSERT_GE(pagination.PageCount(), 1);
        const ReportPage last = pagination.Page(pagination.PageCount() - 1);
        EXPECT_EQ(last.lastRow, 6) << c.width << "x" << c.height;
        EXPECT_EQ(last.lastColumn, 4) << c.width << "x" << c.height;
    }
    // One row and one column a page.
    EXPECT_EQ(ReportPagination(Body(50, 5), 10, 12, 7, 5).PageCount(), 35);
}

// Millions of rows cost nothing: pages are computed from their number.
TEST(ReportPagination, LargeReports)
{
    const ReportPagination six(Body(), 10, 12, 6000000, 3);
    ASSERT_EQ(six.PageCount(), 120000);
    EXPECT_EQ(six.Page(119999), (ReportPage{5999950, 5999999, 0, 2, 0}));
    // A count past the int range is held at its largest value.
    const ReportPagination huge(Body(50, 5), 10, 12, INT_MAX, 1000);
    EXPECT_EQ(huge.PageCount(), INT_MAX);
    EXPECT_EQ(huge.Page(INT_MAX - 1).firstColumn, (INT_MAX - 1) % 1000);
}

// At 600 pixels per inch: bands of a fifth of an inch, columns of an inch and a quarter
// (halved for Shorter, doubled for Longer, unchanged for anything else) with gaps of 33.
TEST(ReportGeometry, MetricsAt600Dpi)
{
    const ReportDeviceMetrics device{4800, 6600, 600, 600};
    const ReportGeometry g = ComputeReportGeometry(device, REPORT_COL_WIDTH_SHORTER);
    EXPECT_EQ(g.columnWidth, 375);
    EXPECT_EQ(g.columnGap, 33);
    EXPECT_EQ(g.topBand, 120);
    EXPECT_EQ(g.bottomBand, 120);
    EXPECT_EQ(g.leftMargin, 60);
    EXPECT_EQ(g.gap, 50);
    EXPECT_EQ(g.page, (ReportRect{0, 0, 4799, 6599}));
    EXPECT_EQ(g.headerText, (ReportRect{60, 0, 3836, 120}));
    EXPECT_EQ(g.title, (ReportRect{3836, 0, 4799, 120}));
    EXPECT_EQ(g.body, (ReportRect{60, 170, 4799, 6429}));
    EXPECT_EQ(g.footerText, (ReportRect{60, 6479, 3836, 6599}));
    EXPECT_EQ(g.pageNumber, (ReportRect{3836, 6479, 4799, 6599}));
    const std::pair<int, int> widths[] = {
        {REPORT_COL_WIDTH_DEFAULT, 750}, {REPORT_COL_WIDTH_LONGER, 1500}, {0, 750}, {7, 750}};
    for (const auto& [setting, width] : widths)
        EXPECT_EQ(ComputeReportGeometry(device, setting).columnWidth, width) << setting;
    // The fonts: two points taller than an 8-point default GUI font (11 pixels high).
    EXPECT_EQ(ReportFontHeight(600, -11), 108);
    EXPECT_EQ(ReportFontHeight(96, -11), 17);
}

namespace {

// An A4 sheet at 300 pixels per inch.
QImage Sheet()
{
    QImage image(2480, 3508, QImage::Format_RGB32);
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(11811);
    image.fill(Qt::white);
    return image;
}

ReportSettings Settings()
{
    ReportSettings settings;
    settings.header = L"Quarterly list";
    settings.footer = L"Confidential";
    settings.columnWidth = REPORT_COL_WIDTH_SHORTER;
    return settings;
}

std::vector<std::wstring> Texts(const std::vector<ReportTextItem>& items)
{
    std::vector<std::wstring> texts;
    for (const ReportTextItem& item : items)
        texts.push_back(item.text);
    return texts;
}

} // namespace

// The second of three pages: header text and title, the column titles, that page's rows
// cell by cell and the footer with "Page 2 of 3" and its blank.
TEST(ReportRenderer, TextsOfAPage)
{
    const QImage sheet = Sheet();
    FakeReportSource probe(0, 2);
    const int perPage = CReportRenderer(probe, sheet, Settings()).Pagination().RowsPerPage();
    ASSERT_GT(perPage, 10);

    FakeReportSource source(2 * perPage + 5, 2);
    const CReportRenderer renderer(source, sheet, Settings());
    ASSERT_EQ(renderer.PageCount(), 3);
    EXPECT_EQ(renderer.Device().dpiY, 300);
    EXPECT_EQ(renderer.Geometry().columnWidth, 187);

    std::vector<std::wstring> expected = {L"Quarterly list", L"people", L"col0", L"col1"};
    for (int row = perPage; row < 2 * perPage; ++row)
        for (int column = 0; column < 2; ++column)
            expected.push_back(FakeReportSource::Cell(row, column));
    expected.push_back(L"Confidential");
    expected.push_back(L"Page 2 of 3  ");
    const std::vector<ReportTextItem> items = renderer.PageItems(1);
    EXPECT_EQ(Texts(items), expected);

    // Title cells start at the body's top left, one normal line high; rows follow below
    // them, one line each, the next column one width and gap to the right.
    const ReportGeometry& g = renderer.Geometry();
    const int line = renderer.NormalLineHeight();
    EXPECT_EQ(items[2].rect, (ReportRect{g.body.left, g.body.top, g.body.left + 187, g.body.top + line}));
    EXPECT_TRUE(items[2].bold);
    EXPECT_EQ(items[3].rect.left, g.body.left + 187 + g.columnGap);
    EXPECT_EQ(items[4].rect, (ReportRect{g.body.left, g.body.top + line, g.body.left + 187, g.body.top + 2 * line}));
    EXPECT_FALSE(items[4].bold);
    EXPECT_EQ(items[1].rect, g.title);
    EXPECT_EQ(items.back().rect, g.pageNumber);

    // The last page holds the rest; no page past it.
    EXPECT_EQ(Texts(renderer.PageItems(2)).size(), 4u + 5u * 2u + 2u);
    EXPECT_TRUE(renderer.PageItems(3).empty());

    // An empty datasheet: one page with its bands and column titles, and no rows.
    FakeReportSource empty(0, 2);
    const CReportRenderer blank(empty, sheet, Settings());
    ASSERT_EQ(blank.PageCount(), 1);
    EXPECT_EQ(Texts(blank.PageItems(0)), (std::vector<std::wstring>{L"Quarterly list", L"people", L"col0", L"col1",
                                                                     L"Confidential", L"Page 1 of 1  "}));
}

// Columns across two bands: every page of the second band says "Continued...".
TEST(ReportRenderer, ContinuedBandsSayContinued)
{
    const QImage sheet = Sheet();
    FakeReportSource probe(0, 100);
    const CReportRenderer sizing(probe, sheet, Settings());
    const int perBand = sizing.Pagination().Bands()[0].lastColumn + 1;
    ASSERT_GT(perBand, 1);
    FakeReportSource source(sizing.Pagination().RowsPerPage() + 1, perBand + 1);
    const CReportRenderer renderer(source, sheet, Settings());
    ASSERT_EQ(renderer.PageCount(), 4);
    const std::wstring footers[] = {L"Page 1 of 4  ", L"Page 2 of 4 Continued...", L"Page 3 of 4  ",
                                    L"Page 4 of 4 Continued..."};
    for (int page = 0; page < 4; ++page)
        EXPECT_EQ(renderer.PageItems(page).back().text, footers[page]);
    // The continued page shows the last column alone, titled as on the first band.
    const std::vector<std::wstring> texts = Texts(renderer.PageItems(1));
    EXPECT_EQ(texts[2], L"col" + std::to_wstring(perBand));
}

// The page number's area holds the report's widest number ("Page 130 of 130
// Continued..." is wider than the fifth of the page it starts with); the footer text
// gives up the room. A short report keeps the fifth.
TEST(ReportRenderer, ThePageNumberAreaHoldsTheWidestNumber)
{
    const QImage sheet = Sheet();
    FakeReportSource probe(0, 100);
    const CReportRenderer sizing(probe, sheet, Settings());
    const int perBand = sizing.Pagination().Bands()[0].lastColumn + 1;
    const ReportGeometry fifth = ComputeReportGeometry(sizing.Device(), Settings().columnWidth);

    FakeReportSource source(sizing.Pagination().RowsPerPage() * 65, perBand + 1);
    const CReportRenderer renderer(source, sheet, Settings());
    ASSERT_EQ(renderer.PageCount(), 130);
    const std::vector<ReportTextItem> last = renderer.PageItems(129);
    ASSERT_EQ(last.back().text, L"Page 130 of 130 Continued...");
    const int needed = QFontMetrics(renderer.NormalFont(), &sheet).horizontalAdvance(QStringLiteral("Page 130 of 130 Continued..."));
    ASSERT_GT(needed, fifth.pageNumber.Width()) << "the fixture must need more than the fifth";
    const ReportGeometry& g = renderer.Geometry();
    EXPECT_GE(last.back().rect.Width(), needed);
    EXPECT_EQ(g.pageNumber.right, fifth.pageNumber.right);
    EXPECT_EQ(g.pageNumber.top, fifth.pageNumber.top);
    EXPECT_EQ(g.footerText.right, g.pageNumber.left);
    EXPECT_EQ(g.footerText.left, fifth.footerText.left);

    FakeReportSource small(3, 2);
    EXPECT_EQ(CReportRenderer(small, sheet, Settings()).Geometry().pageNumber, fifth.pageNumber);
}

// A cell text longer than its column is cut at the column's right edge: the gap to the
// next column stays blank. The page is saved for a look (report_page.png).
TEST(ReportRenderer, LongCellsAreCutAtTheColumnEdge)
{
    class WideSource : public FakeReportSource {
    public:
        WideSource() : FakeReportSource(40, 6, L"SELECT name, street, city\nFROM people WHERE city <> ''") {}
        void ReadCells(int firstRow, int lastRow, int firstColumn, int lastColumn, std::vector<std::wstring>& out) override
        {
            FakeReportSource::ReadCells(firstRow, lastRow, firstColumn, lastColumn, out);
            out[0] = std::wstring(80, L'W'); // row 0, column 0
            out[1] = L"";
        }
    } source;
    QImage sheet = Sheet();
    const CReportRenderer renderer(source, sheet, Settings());
    {
        QPainter painter(&sheet);
        renderer.DrawPage(painter, 0);
    }
    sheet.save(QStringLiteral(TABULON_BINARY_DIR "/report_page.png"));

    const ReportGeometry& g = renderer.Geometry();
    const int line = renderer.NormalLineHeight();
    const QRect firstCell(g.body.left, g.body.top + line, g.columnWidth, line);
    const QRect gap(firstCell.right() + 1, firstCell.top(), g.columnGap + g.columnWidth, line);
    auto dark = [&](const QRect& area) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += qGray(sheet.pixel(x, y)) < 128;
        return count;
    };
    EXPECT_GT(dark(firstCell), 100);
    EXPECT_EQ(dark(gap), 0);
}

namespace {

// The lines as the bridge tells them.
class CountingLines : public DatasheetLines {
public:
    void UpdateLineCount(int count) override { m_nLast = count; }
    int m_nLast = -1;
};

class DatasheetReport : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        ResetDatabaseGlobals();
        ASSERT_NO_FATAL_FAILURE(OpenDatabase(
            L"people.db", "CREATE TABLE people(id INTEGER PRIMARY KEY, name TEXT, city TEXT);"
                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 120)"
                          "  INSERT INTO people SELECT i, 'name' || i, CASE WHEN i % 2 THEN 'Oslo' END FROM n;"
                          "CREATE VIEW oslo AS SELECT name, city FROM people WHERE city = 'Oslo';"));
        m_bridge.m_pLines = &m_shownLines;
    }
    void TearDown() override
    {
        m_model.reset();
        DatabaseFixture::TearDown();
    }

    CDataAccess& Open(const std::wstring& source, int mode)
    {
        m_model = std::make_unique<CDataAccess>();
        m_model->m_pDataInterface = &m_bridge;
        m_bridge.m_pDataAccess = m_model.get();
        EXPECT_TRUE(m_model->Open(source, mode));
        m_model->InitRowBuffers();
        EXPECT_TRUE(QTest::qWaitFor([this] { return m_model->IsLoadEnded(); }, 10000));
        return *m_model;
    }

    CountingLines m_shownLines;
    CDataInterface m_bridge;
    std::unique_ptr<CDataAccess> m_model;
};

} // namespace

// A table, a query and a view report alike: the title is the window's source (the table
// name, the statement, the view's SELECT), the rows are the record set's rows in both of
// its modes, and the cells are the datasheet's texts.
TEST_F(DatasheetReport, TableQueryAndViewAreReportSources)
{
    struct Case {
        std::wstring source;
        int mode;
        std::wstring title;
        int rows;
        std::vector<std::wstring> firstRows; // rows 0 and 1, columns 1 and 2 of the table, 0 and 1 otherwise
    };
    const Case cases[] = {
        {L"people", RECSET_MODE_TABLE, L"people", 120, {L"name1", L"Oslo", L"name2", L""}},
        {L"SELECT name, city FROM people WHERE id > 100", RECSET_MODE_QUERY, L"SELECT name, city FROM people WHERE id > 100", 20,
         {L"name101", L"Oslo", L"name102", L""}},
        {L"oslo", RECSET_MODE_VIEW, L"SELECT name, city FROM people WHERE city = 'Oslo'", 60, {L"name1", L"Oslo", L"name3", L"Oslo"}},
    };
    for (const Case& c : cases) {
        CDataAccess& data = Open(c.source, c.mode);
        CDatasheetReportSource source(data);
        EXPECT_EQ(source.GetTitle(), c.title);
        EXPECT_EQ(source.GetRowCount(), c.rows);
        const int first = c.mode == RECSET_MODE_TABLE ? 1 : 0;
        EXPECT_EQ(source.GetColumnCount(), c.mode == RECSET_MODE_TABLE ? 3 : 2);
        EXPECT_EQ(source.GetColumnName(first), L"name");
        std::vector<std::wstring> cells;
        source.ReadCells(0, 1, first, first + 1, cells);
        EXPECT_EQ(cells, c.firstRows) << testing_support::Utf8(c.source);
        // The last row is read as well as the first.
        source.ReadCells(c.rows - 1, c.rows - 1, first, first, cells);
        EXPECT_EQ(cells.size(), 1u);
        EXPECT_FALSE(cells[0].empty());
        m_model.reset();
    }
}
