#pragma once
// The current date and time as text, and the date arithmetic of the backup policy.
#include "platform/datevalue.h"

#include <string>

// out = datePart + timePart: "yyyy-mm-dd " (with its trailing blank) and "hh:mm:ss".
std::wstring& GetNowText(std::wstring& out, std::wstring& datePart, std::wstring& timePart);

// The date of a "yyyy-mm-dd hh:mm:ss" text (the time is dropped); invalid when the
// date is no calendar date in the years 100 to 9999.
platform::DateValue& ParseDateTimeText(const std::wstring& text, platform::DateValue& out);

// Leading blanks, an optional sign and digits, read as a 32-bit decimal the way the C
// runtime's wide string-to-long conversion reads it on the platform the date texts
// were designed on: 0 without digits; out-of-range values saturate at INT_MAX / INT_MIN.
int ReadDecimal(const std::wstring& text);

// Whole days from the last backup (g_strLastBackup) to now; 0 when either is no valid date.
int GetDaysSinceLastBackup(const std::wstring& now);
