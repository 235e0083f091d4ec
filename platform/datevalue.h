#pragma once
// A calendar date held as a whole day number, with the validity rules and day
// arithmetic of the date type the program's date texts were designed around:
// day 0 is 1899-12-30 and valid dates lie in the years 100 to 9999.
namespace platform {

class DateValue {
public:
    DateValue() = default; // invalid

    // The date, or an invalid value when it is no calendar date in range.
    static DateValue FromDate(int year, int month, int day);

    bool IsValid() const { return m_valid; }
    // Days since 1899-12-30 (negative before it); 0 for an invalid value.
    long DayNumber() const { return m_day; }

    // Whole days from other to this; 0 when either is invalid.
    long DaysSince(const DateValue& other) const;

private:
    bool m_valid = false;
    long m_day = 0;
};

} // namespace platform
