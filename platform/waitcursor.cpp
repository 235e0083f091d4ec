#include "platform/waitcursor.h"

#include "platform/threads.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

WaitCursor::WaitCursor()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && IsGuiThread()) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_shown = true;
    }
}

WaitCursor::~WaitCursor()
{
    if (m_shown)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace platform
