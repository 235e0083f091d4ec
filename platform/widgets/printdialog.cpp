#include "platform/widgets/printdialog.h"

#include "platform/widgets/modaldialog.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace platform {
namespace {
PrintHandler g_printHandler;
PageSetupHandler g_pageSetupHandler;
} // namespace

bool RunPrintDialog(const PrintRequest& request)
{
    if (g_printHandler)
        return g_printHandler(request);
    QPrintDialog dialog(request.printer, request.owner);
    dialog.setMinMax(request.minPage, request.maxPage);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    return RunModal(dialog) == QDialog::Accepted;
}

PrintHandler SetPrintHandler(PrintHandler handler)
{
    std::swap(g_printHandler, handler);
    return handler;
}

QPrinter& ApplicationPrinter()
{
    // Lives to the end of the process, as the program's printer settings do.
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
}

bool RunPageSetupDialog(QWidget* owner)
{
    if (g_pageSetupHandler)
        return g_pageSetupHandler(owner, ApplicationPrinter());
    QPageSetupDialog dialog(&ApplicationPrinter(), owner);
    return RunModal(dialog) == QDialog::Accepted;
}

PageSetupHandler SetPageSetupHandler(PageSetupHandler handler)
{
    std::swap(g_pageSetupHandler, handler);
    return handler;
}

} // namespace platform
