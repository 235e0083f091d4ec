// The print preview inside the main window: what it replaces and gives back, the pages
// it reads, its commands, the print job through the answered dialog, and the close guard.
#include "data/constants.h"
#include "document/report/cchildview.h"
#include "document/session/cmainframebase.h"
#include "document/report/cmypreviewview.h"
#include "document/report/creportrenderer.h"
#include "fakereportsource.h"
#include "platform/widgets/presenters.h"
#include "scopedhandlers.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>

#include <algorithm>
#include <set>

namespace {

// Pages of a PDF file: its page objects, not the page tree.
int PdfPageCount(const std::wstring& path)
{
    QFile file(platform::ToQString(path));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

class PrintPreview : public testing::Test {
protected:
    void SetUp() override
    {
        m_central = new QLabel(QStringLiteral("data windows"));
        m_frame.setCentralWidget(m_central);
        m_toolBar = m_frame.addToolBar(QStringLiteral("Standard"));
        m_toolBar->addAction(QStringLiteral("Open"));
        m_dock = new QDockWidget(QStringLiteral("Workspace"), &m_frame);
        m_frame.addDockWidget(Qt::LeftDockWidgetArea, m_dock);
        m_frame.resize(1000, 800);
        m_frame.show();
        platform::SetMainWindow(&m_frame);
        g_pMainFrame = &m_base;
        m_view = new CChildView(m_central);
        m_base.m_pReportView = m_view;
    }
    void TearDown() override
    {
        platform::SetMainWindow(nullptr);
        g_pMainFrame = nullptr;
    }

    // Opens the preview over a made-up report; the source stays readable by the test.
    CMyPreviewView* Open(int rows, int columns)
    {
        auto source = std::make_unique<FakeReportSource>(rows, columns);
        m_source = source.get();
        EXPECT_TRUE(m_view->PrintPreview(std::move(source)));
        CMyPreviewView* preview = m_view->GetPreview();
        if (preview)
            preview->grab(); // lays the preview out and paints it once
        return preview;
    }

    // Rows per page of the preview's printer as it is set up now.
    int RowsPerPage()
    {
        FakeReportSource probe(0, 1);
        return CReportRenderer(probe, m_view->GetPrinter(), CurrentReportSettings()).Pagination().RowsPerPage();
    }

    std::set<int> RowsRead() const { return {m_source->m_arrRowsRead.begin(), m_source->m_arrRowsRead.end()}; }

    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    QMainWindow m_frame;
    QLabel* m_central = nullptr;
    QToolBar* m_toolBar = nullptr;
    QDockWidget* m_dock = nullptr;
    CMainFrameBase m_base;
    testing_support::BoxRecorder m_boxes;
    testing_support::TempFolder m_folder;
    CChildView* m_view = nullptr;
    FakeReportSource* m_source = nullptr;
};

} // namespace

// The preview takes the main window's place, its bars and panes step aside, and Close
// gives everything back as it was.
TEST_F(PrintPreview, ReplacesTheMainWindowContentsUntilClosed)
{
    EXPECT_FALSE(m_view->isVisible());
    CMyPreviewView* preview = Open(120, 3);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(m_frame.centralWidget(), preview);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_FALSE(m_toolBar->isVisible());
    EXPECT_FALSE(m_dock->isVisible());
    EXPECT_TRUE(m_view->m_bPrinting);
    EXPECT_FALSE(m_view->PrintPreview(std::make_unique<FakeReportSource>(1, 1))) << "one preview at a time";

    Click(preview->GetCloseButton());
    EXPECT_FALSE(m_view->IsPreviewShowing());
    EXPECT_FALSE(m_view->m_bPrinting);
    EXPECT_EQ(m_frame.centralWidget(), m_central);
    EXPECT_TRUE(m_central->isVisible());
    EXPECT_TRUE(m_toolBar->isVisible());
    EXPECT_TRUE(m_dock->isVisible());
    QPointer<CMyPreviewView> gone(preview);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(m_boxes.Count(), 0u);

    // Escape closes a preview as well.
    ASSERT_NE(Open(10, 1), nullptr);
    QTest::keyClick(m_view->GetPreview()->GetPageArea(), Qt::Key_Escape);
    EXPECT_FALSE(m_view->IsPreviewShowing());
    EXPECT_EQ(m_frame.centralWidget(), m_central);
}

// A report of six million rows previews at once: only the rows of the pages on screen
// are read, whichever page is shown.
TEST_F(PrintPreview, ReadsOnlyThePagesOnScreen)
{
    CMyPreviewView* preview = Open(6000000, 4);
    ASSERT_NE(preview, nullptr);
    const int perPage = preview->Renderer().Pagination().RowsPerPage();
    ASSERT_GT(perPage, 10);
    const int pages = preview->GetPageCount();
    EXPECT_EQ(pages, (6000000 + perPage - 1) / perPage);
    EXPECT_GT(preview->PageScale(), 0.0);

    auto rows = [](int first, int last) {
        std::set<int> set;
        for (int row = first; row <= last; ++row)
            set.insert(row);
        return set;
    };
    EXPECT_EQ(RowsRead(), rows(0, perPage - 1));

    Click(preview->GetNextButton());
    preview->grab();
    EXPECT_EQ(preview->GetCurrentPage(), 1);
    std::set<int> expected = rows(0, 2 * perPage - 1);
    EXPECT_EQ(RowsRead(), expected);

    QTest::keyClick(preview->GetPageArea(), Qt::Key_End);
    preview->grab();
    EXPECT_EQ(preview->GetCurrentPage(), pages - 1);
    for (int row = (pages - 1) * perPage; row < 6000000; ++row)
        expected.insert(row);
    EXPECT_EQ(RowsRead(), expected);
    EXPECT_FALSE(preview->GetNextButton()->isEnabled());
    EXPECT_TRUE(preview->GetPrevButton()->isEnabled());
    // Shown again, a page is drawn from the texts already read.
    const size_t reads = m_source->m_arrRowsRead.size();
    preview->grab();
    EXPECT_EQ(m_source->m_arrRowsRead.size(), reads);
}

// Next and Prev stop at the ends; Two Page shows a pair and says so; zooming shows one
// page larger and turns back to the whole pages.
TEST_F(PrintPreview, PageAndZoomCommands)
{
    CMyPreviewView* preview = Open(3 * RowsPerPage(), 2);
    ASSERT_NE(preview, nullptr);
    ASSERT_EQ(preview->GetPageCount(), 3);
    EXPECT_FALSE(preview->GetPrevButton()->isEnabled());
    EXPECT_TRUE(preview->GetNextButton()->isEnabled());
    EXPECT_FALSE(preview->GetZoomOutButton()->isEnabled());
    EXPECT_EQ(preview->GetPagesButton()->text().toStdWString(), STR_PREVIEW_TWO_PAGE);

    Click(preview->GetPagesButton());
    EXPECT_EQ(preview->VisiblePages(), (std::vector<int>{0, 1}));
    EXPECT_EQ(preview->GetPagesButton()->text().toStdWString(), STR_PREVIEW_ONE_PAGE);
    const double pairScale = preview->PageScale();
    Click(preview->GetNextButton());
    EXPECT_EQ(preview->VisiblePages(), (std::vector<int>{1, 2}));
    EXPECT_FALSE(preview->GetNextButton()->isEnabled()) << "the last page is on screen";
    Click(preview->GetPagesButton());
    EXPECT_EQ(preview->VisiblePages(), (std::vector<int>{1}));
    EXPECT_GE(preview->PageScale(), pairScale);

    const double fit = preview->PageScale();
    Click(preview->GetZoomInButton());
    EXPECT_EQ(preview->GetZoom(), PREVIEW_ZOOM_MIDDLE);
    Click(preview->GetZoomInButton());
    EXPECT_EQ(preview->GetZoom(), PREVIEW_ZOOM_FULL);
    EXPECT_FALSE(preview->GetZoomInButton()->isEnabled());
    EXPECT_FALSE(preview->GetPagesButton()->isEnabled());
    EXPECT_GT(preview->PageScale(), fit);
    preview->grab();
    Click(preview->GetZoomOutButton());
    Click(preview->GetZoomOutButton());
    EXPECT_EQ(preview->GetZoom(), PREVIEW_ZOOM_FIT);
    EXPECT_DOUBLE_EQ(preview->PageScale(), fit);

    QTest::keyClick(preview->GetPageArea(), Qt::Key_PageUp);
    EXPECT_EQ(preview->GetCurrentPage(), 0);
    QTest::keyClick(preview->GetPageArea(), Qt::Key_PageUp);
    EXPECT_EQ(preview->GetCurrentPage(), 0);
    QTest::keyClick(preview->GetPageArea(), Qt::Key_PageDown);
    EXPECT_EQ(preview->GetCurrentPage(), 1);

    // A look at the preview as a user sees it (print_preview.png).
    Click(preview->GetPagesButton());
    m_frame.grab().save(QStringLiteral(TABULON_BINARY_DIR "/print_preview.png"));
}

// Print in the preview: the dialog offers the report's pages, the job prints them to the
// chosen printer (a PDF file here), and the preview closes; a cancelled dialog prints
// nothing and closes the preview all the same.
TEST_F(PrintPreview, PrintsThroughTheAnsweredDialog)
{
    const std::wstring pdf = m_folder.Path(L"report.pdf");
    std::vector<platform::PrintRequest> requests;
    bool printingDuringJob = false;
    bool answer = true;
    ScopedPrintHandler handler([&](const platform::PrintRequest& request) {
        requests.push_back(request);
        printingDuringJob = m_view->m_bPrinting;
        request.printer->setOutputFormat(QPrinter::PdfFormat);
        request.printer->setOutputFileName(platform::ToQString(pdf));
        return answer;
    });

    CMyPreviewView* preview = Open(RowsPerPage() + 1, 3);
    ASSERT_NE(preview, nullptr);
    ASSERT_EQ(preview->GetPageCount(), 2);
    Click(preview->GetPrintButton());
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].minPage, 1);
    EXPECT_EQ(requests[0].maxPage, 2);
    EXPECT_EQ(requests[0].owner, &m_frame);
    EXPECT_TRUE(printingDuringJob);
    EXPECT_EQ(PdfPageCount(pdf), 2);
    EXPECT_FALSE(m_view->IsPreviewShowing());
    EXPECT_FALSE(m_view->m_bPrinting);
    EXPECT_EQ(m_frame.centralWidget(), m_central);

    QFile::remove(platform::ToQString(pdf));
    answer = false;
    ASSERT_NE(Open(5, 1), nullptr);
    Click(m_view->GetPreview()->GetPrintButton());
    EXPECT_EQ(requests.size(), 2u);
    EXPECT_FALSE(QFile::exists(platform::ToQString(pdf)));
    EXPECT_FALSE(m_view->IsPreviewShowing());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A page range reaching past the last page ends with the last page; a range wholly past
// it prints nothing.
TEST_F(PrintPreview, PageRangeEndsAtTheLastPage)
{
    const std::wstring pdf = m_folder.Path(L"range.pdf");
    int from = 2;
    ScopedPrintHandler handler([&](const platform::PrintRequest& request) {
        request.printer->setOutputFormat(QPrinter::PdfFormat);
        request.printer->setOutputFileName(platform::ToQString(pdf));
        request.printer->setFromTo(from, 9);
        return true;
    });
    const int rows = 3 * RowsPerPage();
    FakeReportSource source(rows, 2);
    EXPECT_TRUE(m_view->OnFilePrint(source));
    EXPECT_EQ(PdfPageCount(pdf), 2);
    QFile::remove(platform::ToQString(pdf));
    from = 4;
    EXPECT_FALSE(m_view->OnFilePrint(source));
    EXPECT_FALSE(QFile::exists(platform::ToQString(pdf)));
    EXPECT_FALSE(m_view->m_bPrinting);
}

// The main window refuses to close while the preview shows, with the box that points at
// Close; after Close it may close again.
TEST_F(PrintPreview, CloseGuard)
{
    EXPECT_TRUE(m_base.CanCloseFrame());
    ASSERT_NE(Open(10, 2), nullptr);
    EXPECT_TRUE(m_base.IsReportPrinting());
    EXPECT_FALSE(m_base.CanCloseFrame());
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, STR_CLOSE_PRINT_PREVIEW_FIRST);
    EXPECT_EQ(m_boxes.Last().caption, STR_INVALID_OPERATION_CAPTION);
    EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONINFORMATION);

    Click(m_view->GetPreview()->GetCloseButton());
    EXPECT_FALSE(m_base.IsReportPrinting());
    EXPECT_TRUE(m_base.CanCloseFrame());
    EXPECT_EQ(m_boxes.Count(), 1u);

    // The frame's pointer lets go of a report view that is gone.
    delete m_view;
    EXPECT_TRUE(m_base.m_pReportView.isNull());
    EXPECT_TRUE(m_base.CanCloseFrame());
}

// A preview without a main window to host it fails with "Command failed." and changes
// nothing; a report view that goes while its preview shows gives the window back first.
TEST_F(PrintPreview, FailureAndTeardown)
{
    platform::SetMainWindow(nullptr);
    EXPECT_FALSE(m_view->PrintPreview(std::make_unique<FakeReportSource>(5, 1)));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, STR_COMMAND_FAILED);
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
    EXPECT_FALSE(m_view->m_bPrinting);
    EXPECT_EQ(m_frame.centralWidget(), m_central);
    EXPECT_FALSE(m_view->PrintPreview(static_cast<CDataAccess*>(nullptr)));
    EXPECT_EQ(m_boxes.Count(), 2u);

    platform::SetMainWindow(&m_frame);
    ASSERT_NE(Open(5, 1), nullptr);
    delete m_view;
    EXPECT_EQ(m_frame.centralWidget(), m_central);
    EXPECT_TRUE(m_toolBar->isVisible());
}
