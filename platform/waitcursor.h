#pragma once
// Shows the wait cursor for the life of the object. Harmless without a GUI and off
// the user-interface thread, where it does nothing.
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

} // namespace platform
