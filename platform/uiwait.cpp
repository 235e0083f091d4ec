#include "platform/uiwait.h"

#include "platform/threads.h"

namespace platform {
namespace {
WaitPump g_pump; // set and used on the user-interface thread only
}

void WaitResponsively(const ReadyCheck& ready, const StopRequest& stop)
{
    if (g_pump && IsGuiThread())
        g_pump(ready, stop);
    else
        ready(false);
}

WaitPump SetWaitPump(WaitPump pump)
{
    std::swap(g_pump, pump);
    return pump;
}

} // namespace platform
