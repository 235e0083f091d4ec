#pragma once
// Splits a text into the maximal runs of characters that are not delimiters.
#include <string>
#include <vector>

class CStringTokenizer {
public:
    CStringTokenizer(const std::wstring& source, const std::wstring& delimiters);

    // Appends the tokens of the source; true when at least one was found.
    bool Tokenize();
    // The token, "" for an index out of range.
    std::wstring GetToken(int index) const;
    int GetTokenCount() const;
    // Index of the first token equal to the text, ASCII letters compared without case; -1 when none.
    int FindToken(const std::wstring& text) const;

    std::vector<std::wstring> m_arrTokens;
    std::wstring m_strDelimiters;
    std::wstring m_strSource;
};
