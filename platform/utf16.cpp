#include "platform/utf16.h"

namespace platform {

std::u16string ToUtf16(const std::wstring& text)
{
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(u'\uFFFD');
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::wstring FromUtf16(const char16_t* text, int length)
{
    std::wstring out;
    AssignFromUtf16(out, text, length);
    return out;
}

void AssignFromUtf16(std::wstring& out, const char16_t* text, int length)
{
    out.clear();
    if (!text)
        return;
    if (length < 0) {
        length = 0;
        while (text[length])
            ++length;
    }
    // A UTF-16 text never has more characters than units: size once, then shrink.
    out.resize(static_cast<size_t>(length));
    size_t n = 0;
    for (int i = 0; i < length; ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            const char32_t hi = c - 0xD800;
            const char32_t lo = text[i + 1] - 0xDC00;
            out[n++] = static_cast<wchar_t>(0x10000 + (hi << 10) + lo);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            out[n++] = L'\uFFFD';
        } else {
            out[n++] = static_cast<wchar_t>(c);
        }
    }
    out.resize(n);
}

std::wstring FromUtf16Bytes(const void* text, int bytes)
{
    return FromUtf16(static_cast<const char16_t*>(text), bytes < 0 ? -1 : bytes / 2);
}

} // namespace platform
