#include "data/csplitpath.h"

CSplitPath::CSplitPath(const wchar_t* path)
{
    if (!path)
        return;
    m_szPath = path;
    const size_t slash = m_szPath.find_last_of(L"/\\");
    const size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    m_szDir = m_szPath.substr(0, nameStart);
    const std::wstring last = m_szPath.substr(nameStart);
    const size_t dot = last.rfind(L'.');
    if (dot == std::wstring::npos) {
        m_szFileName = last;
    } else {
        m_szFileName = last.substr(0, dot);
        m_szExt = last.substr(dot);
    }
}
