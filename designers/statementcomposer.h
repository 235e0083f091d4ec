#pragma once
// Composing a statement from pieces, the one rule for a piece that is written only when
// its value is set, and the quoting of every name.
#include <string>
#include <vector>

// A value counts as set unless it is empty or the one blank that a value list starts
// with: a collation, sort order or conflict clause left at that entry writes nothing.
bool IsSet(const std::wstring& value);

// Composes a statement from pieces, one after the other. A piece that carries a value is
// written only when the value is set; a name always goes through the quoting helper, so
// "[%s]" stays bracketed unless the name holds "]".
class StatementComposer {
public:
    // Written as it stands.
    StatementComposer& Text(const std::wstring& text);
    // Written when the condition holds.
    StatementComposer& TextIf(bool condition, const wchar_t* text);
    // The format with the value in its %s, only when the value is set.
    StatementComposer& Piece(const wchar_t* format, const std::wstring& value);
    // The format with the quoted name in its "[%s]", always.
    StatementComposer& Name(const wchar_t* format, const std::wstring& name);
    // The same, only when the name is set.
    StatementComposer& NameIfSet(const wchar_t* format, const std::wstring& name);
    // Every name quoted, with the separator between two of them.
    StatementComposer& NameList(const std::vector<std::wstring>& names, const wchar_t* separator);

    const std::wstring& Result() const { return m_text; }

private:
    std::wstring m_text;
};
