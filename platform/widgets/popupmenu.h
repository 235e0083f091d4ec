#pragma once
// Context menus. Every popup menu of the program goes through RunPopupMenu, so that
// the program shows it with exec() and tests pick an entry through a handler.
#include <functional>

class QAction;
class QMenu;
class QPoint;

namespace platform {

// A test's answer to a menu: the entry it picks (it may read the menu's enabled states
// first), or null for a menu closed without a choice. The menu is not shown.
using PopupMenuHandler = std::function<QAction*(QMenu& menu, const QPoint& globalPos)>;

// Shows the menu at the screen position and returns the entry the user picked, null
// when none was.
QAction* RunPopupMenu(QMenu& menu, const QPoint& globalPos);

// Replaces the real menu loop (tests); an empty handler restores it. Returns the old one.
PopupMenuHandler SetPopupMenuHandler(PopupMenuHandler handler);

} // namespace platform
