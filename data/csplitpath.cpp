#include "data/csplitpath.h"

#include <algorithm>
#include <cwchar>

namespace {

// Copies as much of the text as fits, always terminated.
template <size_t N> void CopyPart(wchar_t (&into)[N], const std::wstring& text)
{
    const size_t n = std::min(text.size(), N - 1);
    std::wmemcpy(into, text.data(), n);
    into[n] = 0;
}

} // namespace

CSplitPath::CSplitPath(const wchar_t* path)
{
    std::wmemset(m_szPath, 0, 260);
    std::wmemset(m_szDrive, 0, 3);
    std::wmemset(m_szDir, 0, 256);
    std::wmemset(m_szFileName, 0, 256);
    std::wmemset(m_szExt, 0, 256);
    if (!path)
        return;
    CopyPart(m_szPath, path);
    const std::wstring whole = m_szPath;
    const size_t slash = whole.find_last_of(L"/\\");
    const size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    CopyPart(m_szDir, whole.substr(0, nameStart));
    const std::wstring last = whole.substr(nameStart);
    const size_t dot = last.rfind(L'.');
    if (dot == std::wstring::npos) {
        CopyPart(m_szFileName, last);
    } else {
        CopyPart(m_szFileName, last.substr(0, dot));
        CopyPart(m_szExt, last.substr(dot));
    }
}
