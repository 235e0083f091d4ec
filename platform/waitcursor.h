#pragma once
// Shows the wait cursor for the life of the object. The widget layer installs the
// cursor at start-up; without it, and off the user-interface thread, it does nothing.
#include <functional>

namespace platform {

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_shown = false;
};

// show(true) sets the wait cursor, show(false) takes it back. Returns the old hook.
using WaitCursorHook = std::function<void(bool show)>;
WaitCursorHook SetWaitCursorHook(WaitCursorHook hook);

} // namespace platform
