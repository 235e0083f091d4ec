#include "data/textutil.h"

#include <algorithm>

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

namespace {

// Where the next word of an SQL text may begin: after any blanks, line breaks, comments and
// semicolons from pos on; the text's size when nothing else follows.
size_t SkipSqlSpace(const std::wstring& sql, size_t pos)
{
    size_t i = pos;
    while (i < sql.size()) {
        if (sql[i] == L' ' || sql[i] == L'\t' || sql[i] == L'\r' || sql[i] == L'\n' || sql[i] == L'\f' ||
            sql[i] == L'\v' || sql[i] == L';') {
            ++i;
        } else if (sql.compare(i, 2, L"--") == 0) {
            i = sql.find(L'\n', i);
        } else if (sql.compare(i, 2, L"/*") == 0) {
            i = sql.find(L"*/", i + 2);
            if (i != std::wstring::npos)
                i += 2;
        } else {
            break;
        }
    }
    return std::min(i, sql.size());
}

// The end of the word (letters, digits and underscores) that begins at pos.
size_t SqlWordEnd(const std::wstring& sql, size_t pos)
{
    const auto isWordChar = [](wchar_t c) {
        return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_';
    };
    size_t i = pos;
    while (i < sql.size() && isWordChar(sql[i]))
        ++i;
    return i;
}

} // namespace

std::wstring LeadingSqlWord(const std::wstring& sql)
{
    const size_t begin = SkipSqlSpace(sql, 0);
    std::wstring word = sql.substr(begin, SqlWordEnd(sql, begin) - begin);
    StringToUpper(word);
    return word;
}

std::wstring AsTemporaryCreate(const std::wstring& sql)
{
    const size_t create = SkipSqlSpace(sql, 0);
    const size_t createEnd = SqlWordEnd(sql, create);
    if (!EqualsAsciiNoCase(sql.substr(create, createEnd - create), L"CREATE"))
        return sql;
    const size_t next = SkipSqlSpace(sql, createEnd);
    const std::wstring word = sql.substr(next, SqlWordEnd(sql, next) - next);
    if (EqualsAsciiNoCase(word, L"TEMP") || EqualsAsciiNoCase(word, L"TEMPORARY"))
        return sql;
    return sql.substr(0, createEnd) + L" TEMP" + sql.substr(createEnd);
}

bool IsTransactionControl(const std::wstring& sql)
{
    const std::wstring word = LeadingSqlWord(sql);
    for (const wchar_t* keyword : {L"BEGIN", L"COMMIT", L"END", L"ROLLBACK", L"SAVEPOINT", L"RELEASE"})
        if (word == keyword)
            return true;
    return false;
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
