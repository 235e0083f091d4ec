#include "document/report/cchildview.h"

#include "data/constants.h"
#include "data/formatstring.h"
#include "document/report/creportrenderer.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/waitcursor.h"
#include "platform/widgets/presenters.h"
#include "platform/widgets/printdialog.h"

#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>

#include <algorithm>

CChildView::CChildView(QWidget* parent)
    : CWrapperView(parent)
{
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    // The report view only lends the preview and the print job its report; it never shows.
    hide();
}

QPrinter& CChildView::GetPrinter() { return platform::ApplicationPrinter(); }

std::unique_ptr<CReportRenderer> CChildView::OnBeginPrinting(CReportSource& source, const QPaintDevice& device)
{
    m_bPrinting = true;
    return std::make_unique<CReportRenderer>(source, device, CurrentReportSettings());
}

void CChildView::OnEndPrinting() { m_bPrinting = false; }

bool CChildView::OnFilePrint(CReportSource& source)
{
    // The dialog offers the pages of the report as the printer is set up now.
    const int pages = CReportRenderer(source, GetPrinter(), CurrentReportSettings()).PageCount();
    platform::PrintRequest request;
    request.owner = platform::MainWindow();
    request.printer = &GetPrinter();
    request.maxPage = std::max(pages, 1);
    if (!platform::RunPrintDialog(request))
        return false;
    return PrintJob(source);
}

bool CChildView::PrintJob(CReportSource& source)
{
    const platform::WaitCursor wait;
    QPrinter& printer = GetPrinter();
    m_bPrinting = true;
    // The printer chosen may differ from the one previewed: the layout is made anew for it.
    const CReportRenderer renderer(source, printer, CurrentReportSettings());
    const int count = renderer.PageCount();
    const int first = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
    const int last = std::min(printer.toPage() > 0 ? printer.toPage() - 1 : count - 1, count - 1);
    if (first > last) {
        m_bPrinting = IsPreviewShowing();
        return false;
    }

    QPainter painter;
    if (!painter.begin(&printer)) {
        m_bPrinting = IsPreviewShowing();
        platform::MessageBox(nullptr, STR_PRINT_FAILED, STR_ERROR_CAPTION, platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }
    // A long job can be cancelled; the dialog shows only when the job takes a while.
    QProgressDialog progress(platform::MainWindow());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setRange(first, last + 1);
    bool cancelled = false;
    for (int page = first; page <= last; ++page) {
        std::wstring text;
        progress.setLabelText(platform::ToQString(FormatString(text, STR_PRINTING_PAGE, page + 1, count)));
        progress.setValue(page);
        if (progress.wasCanceled()) {
            cancelled = true;
            break;
        }
        if (page > first)
            printer.newPage();
        renderer.DrawPage(painter, page);
    }
    if (cancelled)
        printer.abort();
    painter.end();
    progress.setValue(last + 1);
    m_bPrinting = IsPreviewShowing();
    return !cancelled;
}
