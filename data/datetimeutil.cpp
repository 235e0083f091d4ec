#include "data/datetimeutil.h"

#include "data/cstringtokenizer.h"
#include "data/formatstring.h"
#include "data/settings.h"
#include "platform/clock.h"

#include <climits>
#include <cwchar>
#include <cwctype>

std::wstring& GetNowText(std::wstring& out, std::wstring& datePart, std::wstring& timePart)
{
    const platform::LocalDateTime now = platform::Now();
    FormatString(datePart, L"%.4d-%.2d-%.2d ", now.year, now.month, now.day);
    FormatString(timePart, L"%.2d:%.2d:%.2d", now.hour, now.minute, now.second);
    out = datePart + timePart;
    return out;
}

int ReadDecimal(const std::wstring& text)
{
    const wchar_t* p = text.c_str();
    while (std::iswspace(*p))
        ++p;
    bool negative = false;
    if (*p == L'-' || *p == L'+')
        negative = *p++ == L'-';
    long long value = 0;
    while (*p >= L'0' && *p <= L'9') {
        value = value * 10 + (*p++ - L'0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

platform::DateValue& ParseDateTimeText(const std::wstring& text, platform::DateValue& out)
{
    const CStringTokenizer parts(text, L" ");
    const CStringTokenizer date(parts.GetToken(0), L"-");
    out = platform::DateValue::FromDate(ReadDecimal(date.GetToken(0)), ReadDecimal(date.GetToken(1)),
                                        ReadDecimal(date.GetToken(2)));
    return out;
}

int GetDaysSinceLastBackup(const std::wstring& now)
{
    platform::DateValue last;
    platform::DateValue current;
    ParseDateTimeText(g_strLastBackup, last);
    ParseDateTimeText(now, current);
    return static_cast<int>(current.DaysSince(last));
}
