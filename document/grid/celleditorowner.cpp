#include "document/grid/celleditorowner.h"

#include "data/textutil.h"

#include <QKeyEvent>

QKeyEvent* CellTabKey(QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return nullptr;
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return key;
    return nullptr;
}

UINT CellNavigationCode(const QKeyEvent& event)
{
    if (event.modifiers() & Qt::AltModifier)
        return 0;
    UINT key = static_cast<UINT>(event.key());
    if (event.modifiers() & Qt::ShiftModifier)
        key |= NAVKEY_SHIFT;
    UINT code = 0;
    return MapNavigationKey(key, code) ? code : 0;
}
