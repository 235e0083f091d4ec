#include "data/cstringtokenizer.h"

CStringTokenizer::CStringTokenizer(const std::wstring& source, const std::wstring& delimiters)
    : m_strDelimiters(delimiters)
    , m_strSource(source)
{
    Tokenize();
}

bool CStringTokenizer::Tokenize()
{
    if (m_strSource.empty() || m_strDelimiters.empty())
        return false;
    bool found = false;
    size_t start = m_strSource.find_first_not_of(m_strDelimiters);
    while (start != std::wstring::npos) {
        const size_t end = m_strSource.find_first_of(m_strDelimiters, start);
        m_arrTokens.push_back(m_strSource.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        found = true;
        if (end == std::wstring::npos)
            break;
        start = m_strSource.find_first_not_of(m_strDelimiters, end);
    }
    return found;
}

std::wstring CStringTokenizer::GetToken(int index) const
{
    if (index < 0 || index >= GetTokenCount())
        return L"";
    return m_arrTokens[static_cast<size_t>(index)];
}

int CStringTokenizer::GetTokenCount() const { return static_cast<int>(m_arrTokens.size()); }

static wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }

int CStringTokenizer::FindToken(const std::wstring& text) const
{
    for (size_t i = 0; i < m_arrTokens.size(); ++i) {
        const std::wstring& token = m_arrTokens[i];
        if (token.size() != text.size())
            continue;
        bool same = true;
        for (size_t k = 0; k < token.size() && same; ++k)
            same = AsciiLower(token[k]) == AsciiLower(text[k]);
        if (same)
            return static_cast<int>(i);
    }
    return -1;
}
