#include "platform/widgets/printdialog.h"

#include "platform/widgets/modaldialog.h"

#include <QPrintDialog>

namespace platform {
namespace {
PrintHandler g_printHandler;
}

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

} // namespace platform
