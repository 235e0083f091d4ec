#include "platform/messagebox.h"

#include "platform/threads.h"

#include <mutex>

namespace platform {
namespace {

std::mutex g_handlerMutex;
MessageBoxHandler g_handler;

int Deliver(const MessageBoxRequest& request)
{
    MessageBoxHandler handler;
    {
        std::lock_guard lock(g_handlerMutex);
        handler = g_handler;
    }
    return handler ? handler(request) : DefaultAnswer(request.style);
}

} // namespace

int DefaultAnswer(UINT style)
{
    switch (style & MB_BUTTONMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    default: return IDCANCEL;
    }
}

int MessageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption, UINT style)
{
    MessageBoxRequest request{owner, text, caption, style, false};
    if (IsGuiThread())
        return Deliver(request);
    // A worker never touches a widget: the box is owned by the main window as it
    // stands when the box is shown.
    request.fromWorkerThread = true;
    request.owner = nullptr;
    PostToGuiThread([request] { Deliver(request); });
    return IDOK;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard lock(g_handlerMutex);
    std::swap(g_handler, handler);
    return handler;
}

} // namespace platform
