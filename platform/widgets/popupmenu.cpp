#include "platform/widgets/popupmenu.h"

#include <QMenu>

namespace platform {
namespace {
PopupMenuHandler g_popupMenuHandler;
}

QAction* RunPopupMenu(QMenu& menu, const QPoint& globalPos)
{
    if (!g_popupMenuHandler)
        return menu.exec(globalPos);
    const PopupMenuHandler handler = g_popupMenuHandler;
    return handler(menu, globalPos);
}

PopupMenuHandler SetPopupMenuHandler(PopupMenuHandler handler)
{
    std::swap(g_popupMenuHandler, handler);
    return handler;
}

} // namespace platform
