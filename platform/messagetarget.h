#pragma once
// Window messages between the program's objects. A send is a direct call; a post is
// queued to the user-interface thread and delivered in posting order. A post to a
// target that is destroyed before delivery is dropped, and posting is safe from any
// thread, because the target pointer is only looked up, never followed, off the
// user-interface thread.
#include "platform/wintypes.h"

#include <cstdint>

namespace platform {

class MessageTarget {
public:
    MessageTarget();
    virtual ~MessageTarget();
    MessageTarget(const MessageTarget&) = delete;
    MessageTarget& operator=(const MessageTarget&) = delete;

    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

private:
    std::uint64_t m_id;
};

// Calls the target's handler now, on the calling thread. A NULL target gives 0.
LRESULT SendMessage(MessageTarget* target, UINT message, WPARAM wParam, LPARAM lParam);

// Queues the message for the target; false when the target is not alive now.
bool PostMessage(MessageTarget* target, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform
