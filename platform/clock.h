#pragma once
// The local date and time, replaceable in tests.
#include <functional>

namespace platform {

struct LocalDateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
};

LocalDateTime Now();

// Replaces the clock (tests); an empty function restores the real one. Returns the old one.
using Clock = std::function<LocalDateTime()>;
Clock SetClock(Clock clock);

} // namespace platform
