#include "platform/datevalue.h"

namespace platform {
namespace {

bool IsLeap(long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Days from 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm).
long DaysFromCivil(long y, long m, long d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

} // namespace

DateValue DateValue::FromDate(int year, int month, int day)
{
    DateValue value;
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1)
        return value;
    static const int daysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int last = daysIn[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
    if (day > last)
        return value;
    value.m_valid = true;
    value.m_day = DaysFromCivil(year, month, day) - DaysFromCivil(1899, 12, 30);
    return value;
}

long DateValue::DaysSince(const DateValue& other) const
{
    if (!m_valid || !other.m_valid)
        return 0;
    return m_day - other.m_day;
}

} // namespace platform
