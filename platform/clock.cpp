#include "platform/clock.h"

#include <QDateTime>

namespace platform {
namespace {
Clock g_clock;
}

LocalDateTime Now()
{
    if (g_clock)
        return g_clock();
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

Clock SetClock(Clock clock)
{
    std::swap(g_clock, clock);
    return clock;
}

} // namespace platform
