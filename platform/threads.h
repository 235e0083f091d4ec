#pragma once
// Which thread is running: the user-interface thread owns every widget.
namespace platform {

// True on the thread of the QCoreApplication; false on other threads and when
// no application object exists.
bool IsGuiThread();

// Runs the function on the user-interface thread, after the events already queued.
// Without an application object the function is dropped. Safe from any thread.
template <typename F> void PostToGuiThread(F&& function);

} // namespace platform

#include <QCoreApplication>
#include <QMetaObject>

template <typename F> void platform::PostToGuiThread(F&& function)
{
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, std::forward<F>(function), Qt::QueuedConnection);
}
