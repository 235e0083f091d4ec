#include "platform/waitcursor.h"

#include "platform/threads.h"

namespace platform {
namespace {
WaitCursorHook g_hook; // set and used on the user-interface thread only
}

WaitCursor::WaitCursor()
{
    if (g_hook && IsGuiThread()) {
        g_hook(true);
        m_shown = true;
    }
}

WaitCursor::~WaitCursor()
{
    if (m_shown && g_hook)
        g_hook(false);
}

WaitCursorHook SetWaitCursorHook(WaitCursorHook hook)
{
    std::swap(g_hook, hook);
    return hook;
}

} // namespace platform
