#include "designers/statementcomposer.h"

#include "data/formatstring.h"

bool IsSet(const std::wstring& value) { return !value.empty() && value != L" "; }

StatementComposer& StatementComposer::Text(const std::wstring& text)
{
    m_text += text;
    return *this;
}

StatementComposer& StatementComposer::TextIf(bool condition, const wchar_t* text)
{
    if (condition)
        m_text += text;
    return *this;
}

StatementComposer& StatementComposer::Piece(const wchar_t* format, const std::wstring& value)
{
    if (IsSet(value)) {
        std::wstring piece;
        m_text += FormatString(piece, format, value);
    }
    return *this;
}

StatementComposer& StatementComposer::Name(const wchar_t* format, const std::wstring& name)
{
    std::wstring piece;
    m_text += FormatString(piece, format, SqlName{name});
    return *this;
}

StatementComposer& StatementComposer::NameIfSet(const wchar_t* format, const std::wstring& name)
{
    return IsSet(name) ? Name(format, name) : *this;
}

StatementComposer& StatementComposer::NameList(const std::vector<std::wstring>& names, const wchar_t* separator)
{
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            m_text += separator;
        Name(L"[%s]", names[i]);
    }
    return *this;
}
