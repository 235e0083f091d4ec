#pragma once
// A wait on the user-interface thread that keeps the window painting. The widget layer
// installs a pump that handles every event but the user's input between the checks;
// without it, and off the user-interface thread, the wait simply blocks.
#include <functional>

namespace platform {

// ready(true) waits a short time and says whether the awaited state is reached;
// ready(false) waits until it is reached.
using ReadyCheck = std::function<bool(bool brief)>;

// Asks the awaited work to stop; called on the user-interface thread, at most once per
// wait, when the user presses Escape. The wait still lasts until ready says so.
using StopRequest = std::function<void()>;

// Returns once ready says so. With a stop, the user can ask the work to stop.
void WaitResponsively(const ReadyCheck& ready, const StopRequest& stop = {});

// The pump calls ready(true) until it answers true. Returns the old pump.
using WaitPump = std::function<void(const ReadyCheck& ready, const StopRequest& stop)>;
WaitPump SetWaitPump(WaitPump pump);

} // namespace platform
