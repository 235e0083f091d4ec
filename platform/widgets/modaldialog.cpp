#include "platform/widgets/modaldialog.h"

#include <QDialog>

namespace platform {
namespace {
DialogHandler g_dialogHandler;
}

int RunModal(QDialog& dialog)
{
    if (!g_dialogHandler)
        return dialog.exec();
    // Copied, so that a handler may install another one for a nested dialog.
    const DialogHandler handler = g_dialogHandler;
    dialog.show();
    const int result = handler(dialog);
    dialog.hide();
    return result;
}

DialogHandler SetDialogHandler(DialogHandler handler)
{
    std::swap(g_dialogHandler, handler);
    return handler;
}

} // namespace platform
