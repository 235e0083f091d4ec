#include "platform/names.h"

namespace platform {

bool EqualsAsciiNoCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    const auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}

int FindName(int count, const NameEntry& entry, const std::wstring& name)
{
    int folded = -1;
    for (int i = 0; i < count; ++i) {
        const std::wstring text = entry(i);
        if (text == name)
            return i;
        if (folded < 0 && EqualsAsciiNoCase(text, name))
            folded = i;
    }
    return folded;
}

} // namespace platform
