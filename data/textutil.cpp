#include "data/textutil.h"

#include <Qt>

bool IsDecimalText(const std::wstring& text)
{
    int dots = 0;
    int minuses = 0;
    for (wchar_t c : text) {
        if (c == L'.') {
            if (++dots > 1)
                return false;
        } else if (c == L'-') {
            if (++minuses > 1)
                return false;
        } else if (c < L'0' || c > L'9') {
            return false;
        }
    }
    return true;
}

bool IsEmptyName(const std::wstring& name) { return name.find_first_not_of(L" \t") == std::wstring::npos; }

bool IsIntegerText(const std::wstring& text)
{
    int minuses = 0;
    for (wchar_t c : text) {
        if (c == L'-') {
            if (++minuses > 1)
                return false;
        } else if (c < L'0' || c > L'9') {
            return false;
        }
    }
    return true;
}

bool IsValidDate(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    if (day == 31 && (month == 2 || month == 4 || month == 6 || month == 9 || month == 11))
        return false;
    if (day == 30 && month == 2)
        return false;
    if (day == 29 && month == 2)
        return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return true;
}

void StringToUpper(std::wstring& text)
{
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z')
            c = c - L'a' + L'A';
}

std::wstring NormalizeLineBreaks(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\r')
            out += text[i];
        else if (i + 1 == text.size() || text[i + 1] != L'\n')
            out += L'\n';
    }
    return out;
}

bool MapNavigationKey(UINT key, UINT& code)
{
    code = 0;
    const bool shift = (key & NAVKEY_SHIFT) != 0;
    switch (key & ~NAVKEY_SHIFT) {
    case Qt::Key_Tab: code = shift ? 1 : 2; return true;
    case Qt::Key_Backtab: code = 1; return true; // Qt reports Shift+Tab as its own key
    case Qt::Key_Left: code = 1; return true;
    case Qt::Key_Up: code = 3; return true;
    case Qt::Key_Right: code = 2; return true;
    case Qt::Key_Down: code = 4; return true;
    default: return false;
    }
}
