#include "platform/widgets/hiddenmenubar.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace platform {

HiddenMenuBar::HiddenMenuBar(QMenuBar* bar)
    : QObject(bar), m_pBar(bar)
{
    m_pBar->hide();
    QApplication::instance()->installEventFilter(this);
    // A menu closed by a click elsewhere, by Escape or by its chosen item.
    for (QAction* action : m_pBar->actions())
        if (QMenu* menu = action->menu())
            connect(menu, &QMenu::aboutToHide, this, &HiddenMenuBar::HideLater);
}

bool HiddenMenuBar::InMyWindow(QObject* watched) const
{
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == m_pBar->window();
}

bool HiddenMenuBar::InUse() const
{
    if (m_pBar->activeAction() || m_pBar->hasFocus())
        return true;
    // An open menu of the bar, or one of its submenus.
    for (QWidget* popup = QApplication::activePopupWidget(); popup; popup = popup->parentWidget())
        if (auto* menu = qobject_cast<QMenu*>(popup); menu && menu->isVisible())
            return true;
    return false;
}

void HiddenMenuBar::HideLater()
{
    QTimer::singleShot(0, this, [this] {
        if (!m_bAltHeld && !InUse())
            m_pBar->hide();
    });
}

bool HiddenMenuBar::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // Shown by someone else (a window that put its bars back): hidden again unless in use.
    if (watched == m_pBar && type == QEvent::Show) {
        HideLater();
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::MouseButtonRelease &&
        type != QEvent::FocusOut)
        return false;
    if (type == QEvent::MouseButtonRelease || type == QEvent::FocusOut) {
        if (m_pBar->isVisible() && !m_bAltHeld)
            HideLater();
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const bool mine = InMyWindow(watched) || qobject_cast<QMenu*>(watched);
    if (!mine || key->isAutoRepeat())
        return false;
    if (key->key() == Qt::Key_Alt) {
        m_bAltHeld = type == QEvent::KeyPress;
        if (m_bAltHeld)
            m_pBar->show();
        else
            HideLater();
        return false;
    }
    if (type == QEvent::KeyPress && key->key() == Qt::Key_F10 && key->modifiers() == Qt::NoModifier &&
        InMyWindow(watched) && !QApplication::activePopupWidget()) {
        m_pBar->show();
        for (QAction* action : m_pBar->actions())
            if (action->isVisible() && action->isEnabled()) {
                m_pBar->setActiveAction(action);
                break;
            }
        return true;
    }
    if (type == QEvent::KeyRelease && m_pBar->isVisible())
        HideLater();
    return false;
}

} // namespace platform
