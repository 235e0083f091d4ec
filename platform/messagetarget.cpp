#include "platform/messagetarget.h"

#include "platform/threads.h"

#include <mutex>
#include <unordered_map>

namespace platform {
namespace {

// Live targets by address and by id. An id is never reused, so a post to a target
// that died is not delivered to a new object at the same address.
struct Registry {
    std::mutex mutex;
    std::uint64_t nextId = 1;
    std::unordered_map<const MessageTarget*, std::uint64_t> idOf;
    std::unordered_map<std::uint64_t, MessageTarget*> targetOf;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

} // namespace

MessageTarget::MessageTarget()
{
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    m_id = r.nextId++;
    r.idOf[this] = m_id;
    r.targetOf[m_id] = this;
}

MessageTarget::~MessageTarget()
{
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.idOf.erase(this);
    r.targetOf.erase(m_id);
}

LRESULT SendMessage(MessageTarget* target, UINT message, WPARAM wParam, LPARAM lParam)
{
    return target ? target->OnMessage(message, wParam, lParam) : 0;
}

bool PostMessage(MessageTarget* target, UINT message, WPARAM wParam, LPARAM lParam)
{
    Registry& r = TheRegistry();
    std::uint64_t id = 0;
    {
        std::lock_guard lock(r.mutex);
        auto it = r.idOf.find(target);
        if (it == r.idOf.end())
            return false;
        id = it->second;
    }
    PostToGuiThread([id, message, wParam, lParam] {
        MessageTarget* live = nullptr;
        {
            Registry& reg = TheRegistry();
            std::lock_guard lock(reg.mutex);
            auto it = reg.targetOf.find(id);
            if (it != reg.targetOf.end())
                live = it->second;
        }
        // Targets are destroyed on this thread only, so the target stays alive here.
        if (live)
            live->OnMessage(message, wParam, lParam);
    });
    return true;
}

} // namespace platform
