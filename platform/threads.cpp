#include "platform/threads.h"

#include <QThread>

namespace platform {

bool IsGuiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace platform
