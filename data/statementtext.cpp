#include "data/statementtext.h"

#include "data/textutil.h"
#include "platform/utf16.h"

#include <sqlite3.h>

#include <algorithm>
#include <cwctype>

namespace {

constexpr std::size_t kOpeningLength = 40;

bool IsWordChar(wchar_t c) { return std::iswalnum(c) || c == L'_' || c == L'$' || c >= 0x80; }

// White space, and a NUL character: the engine reads nothing after one, so a text that
// holds one is refused when it runs (CADbSqlDb::ExecuteStmt); read past it here, the
// statements after it are still seen and said.
bool IsBlank(wchar_t c) { return std::iswspace(c) || c == L'\0'; }

// Steps through the words of a text; each call gives the next word's bounds.
class WordReader {
public:
    explicit WordReader(const std::wstring& text)
        : m_text(text)
    {
    }

    bool Next(std::size_t& begin, std::size_t& end)
    {
        SkipSpaceAndComments();
        if (m_at >= m_text.size())
            return false;
        begin = m_at;
        const wchar_t c = m_text[m_at];
        if (c == L'\'' || c == L'"' || c == L'`' || c == L'[')
            SkipQuoted(c == L'[' ? L']' : c);
        else if (IsWordChar(c))
            while (m_at < m_text.size() && IsWordChar(m_text[m_at]))
                ++m_at;
        else
            ++m_at;
        end = m_at;
        return true;
    }

private:
    void SkipSpaceAndComments()
    {
        while (m_at < m_text.size()) {
            if (IsBlank(m_text[m_at])) {
                ++m_at;
            } else if (m_text.compare(m_at, 2, L"--") == 0) {
                const std::size_t line = m_text.find(L'\n', m_at);
                m_at = line == std::wstring::npos ? m_text.size() : line + 1;
            } else if (m_text.compare(m_at, 2, L"/*") == 0) {
                const std::size_t close = m_text.find(L"*/", m_at + 2);
                m_at = close == std::wstring::npos ? m_text.size() : close + 2;
            } else {
                return;
            }
        }
    }

    // From the opening quote past the closing one; a doubled quote stays inside.
    void SkipQuoted(wchar_t close)
    {
        ++m_at;
        while (m_at < m_text.size()) {
            if (m_text[m_at++] != close)
                continue;
            if (close == L']' || m_at >= m_text.size() || m_text[m_at] != close)
                return;
            ++m_at;
        }
    }

    const std::wstring& m_text;
    std::size_t m_at = 0;
};

// The bounds of the text's first word after any empty statements (semicolons); false
// when there is none. The reader stands after that word.
bool LeadingWord(WordReader& reader, const std::wstring& text, std::size_t& begin, std::size_t& end)
{
    while (reader.Next(begin, end))
        if (text[begin] != L';')
            return true;
    return false;
}

bool IsComplete(const std::wstring& text)
{
    std::u16string text16 = platform::ToUtf16(text);
    // The engine's check would stop at a NUL character.
    std::replace(text16.begin(), text16.end(), u'\0', u' ');
    return sqlite3_complete16(text16.c_str()) == 1;
}

} // namespace

std::vector<std::wstring> StatementWords(const std::wstring& text, std::size_t maxWords)
{
    std::vector<std::wstring> words;
    WordReader reader(text);
    std::size_t begin = 0;
    std::size_t end = 0;
    while (words.size() < maxWords && reader.Next(begin, end))
        words.push_back(text.substr(begin, end - begin));
    return words;
}

std::wstring FirstStatementWord(const std::wstring& text)
{
    std::vector<std::wstring> words = StatementWords(text, 1);
    if (words.empty())
        return L"";
    StringToUpper(words.front());
    return words.front();
}

std::wstring LeadingSqlWord(const std::wstring& sql)
{
    WordReader reader(sql);
    std::size_t begin = 0;
    std::size_t end = 0;
    // A quote or a sign is no keyword.
    if (!LeadingWord(reader, sql, begin, end) || !IsWordChar(sql[begin]))
        return L"";
    std::wstring word = sql.substr(begin, end - begin);
    StringToUpper(word);
    return word;
}

bool IsTransactionControl(const std::wstring& sql)
{
    const std::wstring word = LeadingSqlWord(sql);
    for (const wchar_t* keyword : {L"BEGIN", L"COMMIT", L"END", L"ROLLBACK", L"SAVEPOINT", L"RELEASE"})
        if (word == keyword)
            return true;
    return false;
}

std::wstring AsTemporaryCreate(const std::wstring& sql)
{
    WordReader reader(sql);
    std::size_t begin = 0;
    std::size_t createEnd = 0;
    if (!LeadingWord(reader, sql, begin, createEnd) ||
        !EqualsAsciiNoCase(sql.substr(begin, createEnd - begin), L"CREATE"))
        return sql;
    std::size_t end = 0;
    if (reader.Next(begin, end)) {
        const std::wstring next = sql.substr(begin, end - begin);
        if (EqualsAsciiNoCase(next, L"TEMP") || EqualsAsciiNoCase(next, L"TEMPORARY"))
            return sql;
    }
    return sql.substr(0, createEnd) + L" TEMP" + sql.substr(createEnd);
}

std::wstring UnquoteName(const std::wstring& word)
{
    if (word.size() < 2)
        return word;
    const wchar_t open = word.front();
    const wchar_t close = open == L'[' ? L']' : open;
    if ((open != L'"' && open != L'`' && open != L'\'' && open != L'[') || word.back() != close)
        return word;
    std::wstring name;
    for (std::size_t i = 1; i + 1 < word.size(); ++i) {
        name.push_back(word[i]);
        if (open != L'[' && word[i] == close && i + 2 < word.size() && word[i + 1] == close)
            ++i;
    }
    return name;
}

std::vector<StatementPiece> SplitStatements(const std::wstring& text)
{
    std::vector<StatementPiece> pieces;
    const auto addPiece = [&](std::size_t from, std::size_t to) {
        const std::wstring piece = text.substr(from, to - from);
        const std::vector<std::wstring> first = StatementWords(piece, 1);
        if (first.empty() || first.front() == L";")
            return; // an empty statement
        std::size_t lead = 0;
        while (lead < piece.size() && std::iswspace(piece[lead]))
            ++lead;
        std::size_t tail = piece.size();
        while (tail > lead && std::iswspace(piece[tail - 1]))
            --tail;
        pieces.push_back(StatementPiece{piece.substr(lead, tail - lead), from + lead});
    };
    WordReader reader(text);
    std::size_t start = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
    while (reader.Next(begin, end)) {
        // A semicolon ends a statement where the engine agrees that it does: not one
        // inside a trigger's BEGIN ... END.
        if (text[begin] != L';' || !IsComplete(text.substr(start, end - start)))
            continue;
        addPiece(start, end);
        start = end;
    }
    addPiece(start, text.size());
    return pieces;
}

std::wstring StatementOpening(const std::wstring& statement)
{
    std::size_t begin = 0;
    std::size_t end = 0;
    WordReader reader(statement);
    if (!reader.Next(begin, end))
        return L"";
    std::wstring opening;
    bool blank = false;
    for (std::size_t i = begin; i < statement.size(); ++i) {
        if (IsBlank(statement[i])) {
            blank = true;
            continue;
        }
        if (opening.size() >= kOpeningLength)
            return opening + L"...";
        if (blank)
            opening.push_back(L' ');
        blank = false;
        opening.push_back(statement[i]);
    }
    return opening;
}
